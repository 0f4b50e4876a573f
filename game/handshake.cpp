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
