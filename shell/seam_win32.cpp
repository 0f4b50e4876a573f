// The seam over the real windows. The output pane, the channel list and the
// dialogs implement their operations in their own modules.
#include "shell/seam.h"

#include "game/game_window.h"
#include "irc/client_state.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "shell/main_window.h"
#include "shell/redraw.h"

void NickListRemoveAll()
{
    HoldRedraw(client.hNickList);
    SendMessageA(client.hNickList, LB_RESETCONTENT, 0, 0);
}

void NickListAdd(const char* szName)
{
    HoldRedraw(client.hNickList);
    SendMessageA(client.hNickList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szName));
}

short NickListFindExact(const char* szName)
{
    LRESULT nIndex = SendMessageA(client.hNickList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(szName));
    return nIndex == LB_ERR ? -1 : static_cast<short>(nIndex);
}

void NickListDeleteAt(short nIndex)
{
    HoldRedraw(client.hNickList);
    SendMessageA(client.hNickList, LB_DELETESTRING, static_cast<WPARAM>(nIndex), 0);
}

void NickListClearSelection() { SendMessageA(client.hNickList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0); }

bool NickListGetSelected(TextField& szName)
{
    LRESULT nSelected = SendMessageA(client.hNickList, LB_GETCURSEL, 0, 0);
    if (nSelected == LB_ERR) return false;
    // Entries come from server lines, so a whole one fits in a line's length.
    LRESULT nLen = SendMessageA(client.hNickList, LB_GETTEXTLEN, static_cast<WPARAM>(nSelected), 0);
    if (nLen == LB_ERR || nLen > MAX_LINE_LENGTH) return false;
    char szEntry[MAX_LINE_LENGTH + 1];
    SendMessageA(client.hNickList, LB_GETTEXT, static_cast<WPARAM>(nSelected), reinterpret_cast<LPARAM>(szEntry));
    CopyField(szName, szEntry);
    return true;
}

void NickListSelectName(const char* szName)
{
    SendMessageA(client.hNickList, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(szName));
}

void SetMainTitle(const char* szTitle) { SetWindowTextA(client.hMainWnd, szTitle); }

void SendGameModeCommand() { SendMessageA(client.hMainWnd, WM_COMMAND, IDC_GAMEMODE, 0); }

void LayoutMainWindow()
{
    SendMessageA(client.hMainWnd, WM_SIZE, 0,
                 MAKELPARAM(static_cast<WORD>(nClientWidth), static_cast<WORD>(nClientHeight)));
}

void SetConnectionControls(int bConnected)
{
    CheckMenuItem(GetMenu(client.hMainWnd), IDM_CONNECT, MF_BYCOMMAND | (bConnected ? MF_CHECKED : MF_UNCHECKED));
    SetWindowTextA(client.hConnectButton, bConnected ? "Disconnect" : "Connect");
}

void FocusInputLine() { SetFocus(client.hInputEdit); }

void ShowGameWindow(int bShow) { ShowWindow(client.hGameWnd, bShow ? SW_SHOW : SW_HIDE); }

void SendGameReset() { SendMessageA(client.hGameWnd, GWM_RESET, 0, 0); }

void SendGameCommand(short nLetter, const char* szLine)
{
    SendMessageA(client.hGameWnd, GWM_COMMAND, static_cast<WPARAM>(nLetter), reinterpret_cast<LPARAM>(szLine));
}

void SystemBeep() { MessageBeep(0xFFFFFFFF); }

unsigned TickCount() { return GetTickCount(); }
