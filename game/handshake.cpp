#include "game/handshake.h"

#include <cstring>

#include "irc/client_state.h"
#include "irc/send.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "shell/seam.h"

namespace {

void LeaveGameWithPartner()
{
    SendText("!L\r\n");
    client.szPartner[0] = '\0';
    NickListClearSelection();
    client.nGameState = GAME_IDLE;
    SendGameReset();
}

void SelectedOwnName()
{
    NickListClearSelection();
    AppendOutput(client.nGameState != GAME_OFF
                     ? "<KELVA> Please select someone other than yourself with which to play a game.\r\n"
                     : "<KELVA> Please select someone other than yourself with which to have a private "
                       "conversation.\r\n");
    if (client.szPartner[0] != '\0') NickListSelectName(client.szPartner);
}

void StartPrivateConversation(const char* szName)
{
    CopyField(client.szPartner, szName);
    AppendOutput("<KELVA> Private conversation with ");
    AppendOutput(client.szPartner);
    AppendOutput(" on.\r\n");
}

// Invites the person selected, leaving the current partner first unless the
// user says No; false when the user keeps the current game.
bool Invite(const char* szName)
{
    if (client.szPartner[0] != '\0') {
        if (ShowMessageDialog(client.hMainWnd, client.szPartner, "But wait...", IDS_LEAVE_GAME) == IDNO_BUTTON) {
            NickListSelectName(client.szPartner);
            return false;
        }
        SendText("!L\r\n");
        SendGameReset();
    }
    CopyField(client.szPartner, szName);
    client.nGameState = GAME_INVITING;
    SendText("!I\r\n");
    AppendOutput("<KELVA> Please wait while inviting ");
    AppendOutput(client.szPartner);
    AppendOutput("...\r\n");
    return true;
}

}  // namespace

void ToggleGameMode()
{
    if (client.nGameState == GAME_OFF) {
        client.nGameState = GAME_IDLE;
        SendGameReset();
        ShowGameWindow(1);
    } else {
        client.nGameState = GAME_OFF;
        ShowGameWindow(0);
    }
    LayoutMainWindow();
    ScrollOutputToEnd();
}

void OnNickListSelect()
{
    TextField szName;
    if (!NickListGetSelected(szName)) {
        FocusInputLine();
        return;
    }
    bool bGameMode = client.nGameState != GAME_OFF;
    if (std::strcmp(szName, client.szPartner) == 0) {
        if (!bGameMode) {
            client.szPartner[0] = '\0';
            NickListClearSelection();
            AppendOutput("<KELVA> Private conversation off.\r\n");
        } else if (ShowMessageDialog(client.hMainWnd, client.szPartner, "But wait...", IDS_LEAVE_GAME) ==
                   IDYES_BUTTON) {
            LeaveGameWithPartner();
        }
    } else if (std::strcmp(szName, client.szNickname) == 0) {
        SelectedOwnName();
    } else if (!bGameMode) {
        StartPrivateConversation(szName);
    } else if (!Invite(szName)) {
        return;
    }
    FocusInputLine();
}

// The game itself is not built yet: game messages are dropped, as a message
// that fits no rule of the handshake is.
void HandleGameMessage(const char*, const char*, short) {}

void OnPartnerDeparture()
{
    client.szPartner[0] = '\0';
    NickListClearSelection();
    if (client.nGameState == GAME_OFF) {
        AppendOutput("<KELVA> Private conversation off.\r\n");
        return;
    }
    AppendOutput("<KELVA> Your opponent has left.\r\n");
    client.nGameState = GAME_IDLE;
    SendGameReset();
}
