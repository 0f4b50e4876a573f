// The seam over the real windows. The output pane, the nick list, the
// channel list and the dialogs implement their operations in their own
// modules.
#include "irc/seam.h"

#include <ctime>

#include "irc/client_state.h"
#include "resources/resource.h"
#include "win32/main_window.h"
#include "win32/wide_text.h"

void SetMainTitle(const char* szTitle) { SetWindowTextW(client.hMainWnd, Widen(szTitle).c_str()); }

void LayoutMainWindow()
{
    SendMessageA(client.hMainWnd, WM_SIZE, 0,
                 MAKELPARAM(static_cast<WORD>(nClientWidth), static_cast<WORD>(nClientHeight)));
}

void SetConnectionControls(int nControls)
{
    bool bConnected = nControls == CONTROLS_CONNECTED;
    CheckMenuItem(GetMenu(client.hMainWnd), IDM_CONNECT, MF_BYCOMMAND | (bConnected ? MF_CHECKED : MF_UNCHECKED));
    const char* szLabel = nControls == CONTROLS_CONNECTING ? "Cancel" : bConnected ? "Disconnect" : "Connect";
    SetWindowTextA(client.hConnectButton, szLabel);
}

void FocusInputLine() { SetFocus(client.hInputEdit); }

// The flashing stops by itself when the window comes to the foreground.
void AskForAttention()
{
    if (GetForegroundWindow() == client.hMainWnd) return;
    FLASHWINFO info = {};
    info.cbSize = sizeof info;
    info.hwnd = client.hMainWnd;
    info.dwFlags = FLASHW_ALL | FLASHW_TIMERNOFG;
    FlashWindowEx(&info);
}

void ShowGameWindow(int bShow) { ShowWindow(client.hGameWnd, bShow ? SW_SHOW : SW_HIDE); }

void SystemBeep() { MessageBeep(0xFFFFFFFF); }

unsigned TickCount() { return GetTickCount(); }

long long CurrentTime() { return static_cast<long long>(std::time(nullptr)); }
