#include "game/handshake.h"

#include <cstring>

#include "game/client_game.h"
#include "game/vocabulary.h"
#include "irc/client_state.h"
#include "irc/transmit.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "irc/seam.h"

namespace {

void ShowWithPartner(const char* szBefore, const char* szAfter)
{
    AppendOutput(szBefore);
    AppendOutput(client.szPartner);
    AppendOutput(szAfter);
}

void LeaveGameWithPartner()
{
    SendToConversation(MessageOf(LETTER_LEAVE).szText);
    client.szPartner[0] = '\0';
    NickListClearSelection();
    client.nGameState = GAME_IDLE;
    OnGameReset();
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
    ShowWithPartner("<KELVA> Private conversation with ", " on.\r\n");
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
        SendToConversation(MessageOf(LETTER_LEAVE).szText);
        OnGameReset();
    }
    CopyField(client.szPartner, szName);
    client.nGameState = GAME_INVITING;
    SendToConversation(MessageOf(LETTER_INVITE).szText);
    ShowWithPartner("<KELVA> Please wait while inviting ", "...\r\n");
    return true;
}

// The invited will not play: the invitation ends.
void EndInvitation()
{
    NickListClearSelection();
    client.nGameState = GAME_IDLE;
    client.szPartner[0] = '\0';
}

// The opponent's leave or busy reply ends the game as their departure does.
void FromOpponent(const char* szLine, short nLetter)
{
    char cLetter = szLine[nLetter];
    if (cLetter == LETTER_LEAVE || IsBusyReply(cLetter))
        OnPartnerDeparture();
    else
        OnGameCommand(nLetter, szLine);
}

void FromInvited(const char* szLine, short nLetter)
{
    switch (szLine[nLetter]) {
    case LETTER_ACCEPT:
        client.nGameState = GAME_PLAYING;
        ShowWithPartner("<KELVA> ", " has accepted.\r\n");
        OnGameCommand(nLetter, szLine);
        break;
    case LETTER_DECLINE:
        ShowWithPartner("<KELVA> ", " has declined to play.\r\n");
        EndInvitation();
        break;
    case LETTER_BUSY_PLAYING:
        EndInvitation();
        AppendOutput("<KELVA> The person you invited is currently playing someone else.\r\n");
        break;
    case LETTER_BUSY_INVITING:
        EndInvitation();
        AppendOutput("<KELVA> The person you invited has just invited someone else.\r\n");
        break;
    // Both invited each other: the game starts when the partner's own "!A" comes.
    case LETTER_INVITE: SendToConversation(MessageOf(LETTER_ACCEPT).szText); break;
    }
}

void FromPartner(const char* szLine, short nLetter)
{
    if (client.nGameState == GAME_PLAYING)
        FromOpponent(szLine, nLetter);
    else if (client.nGameState == GAME_INVITING)
        FromInvited(szLine, nLetter);
}

void AnswerInvitation(const char* szSender)
{
    AskForAttention();
    if (ShowMessageDialog(client.hMainWnd, szSender, "Hey...", IDS_PLAY_GAME) != IDYES_BUTTON) {
        SendMessageTo(szSender, MessageOf(LETTER_DECLINE).szText);
        return;
    }
    client.nGameState = GAME_PLAYING;
    CopyField(client.szPartner, szSender);
    NickListSelectName(client.szPartner);
    SendToConversation(MessageOf(LETTER_ACCEPT).szText);
}

// Busy replies are never answered: two clients busy with others would
// otherwise answer each other's without end. A line without a sender has
// nobody to answer; with an empty partner the reply would go to the channel.
void FromSomebodyElse(const char* szSender, char cLetter)
{
    if (client.nGameState == GAME_IDLE) {
        if (cLetter == LETTER_INVITE) AnswerInvitation(szSender);
        return;
    }
    if (IsBusyReply(cLetter) || szSender[0] == '\0') return;
    if (client.nGameState == GAME_INVITING) SendMessageTo(szSender, MessageOf(LETTER_BUSY_INVITING).szText);
    if (client.nGameState == GAME_PLAYING) SendMessageTo(szSender, MessageOf(LETTER_BUSY_PLAYING).szText);
}

}  // namespace

void ToggleGameMode()
{
    if (client.nGameState == GAME_OFF) {
        client.nGameState = GAME_IDLE;
        OnGameReset();
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

void HandleGameMessage(const char* szSender, const char* szLine, short nLetter)
{
    if (std::strcmp(szSender, client.szPartner) == 0)
        FromPartner(szLine, nLetter);
    else
        FromSomebodyElse(szSender, szLine[nLetter]);
}

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
    OnGameReset();
}
