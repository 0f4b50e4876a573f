// The seam over the real windows. AppendOutput and ScrollOutputToEnd live
// with the output pane.
#include "shell/seam.h"

#include "game/game_window.h"
#include "irc/client_state.h"
#include "resources/resource.h"
#include "shell/main_window.h"

void NickListRemoveAll() { SendMessageA(client.hNickList, LB_RESETCONTENT, 0, 0); }

void SetMainTitle(const char* szTitle) { SetWindowTextA(client.hMainWnd, szTitle); }

void SendGameModeCommand() { SendMessageA(client.hMainWnd, WM_COMMAND, IDC_GAMEMODE, 0); }

void LayoutMainWindow()
{
    SendMessageA(client.hMainWnd, WM_SIZE, 0,
                 MAKELPARAM(static_cast<WORD>(nClientWidth), static_cast<WORD>(nClientHeight)));
}

void ShowGameWindow(int bShow) { ShowWindow(client.hGameWnd, bShow ? SW_SHOW : SW_HIDE); }

void SendGameReset() { SendMessageA(client.hGameWnd, GWM_RESET, 0, 0); }
