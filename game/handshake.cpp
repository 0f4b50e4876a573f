#include "game/handshake.h"

#include "irc/client_state.h"
#include "shell/seam.h"

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
