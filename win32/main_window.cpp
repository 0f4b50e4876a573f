#include "win32/main_window.h"

#include "win32/background_connect.h"
#include "win32/game_window.h"
#include "game/handshake.h"
#include "irc/client_state.h"
#include "resources/resource.h"
#include "shell/commands.h"
#include "win32/dialogs.h"
#include "win32/help_window.h"
#include "shell/layout.h"
#include "win32/list_dialog.h"
#include "win32/output_pane.h"
#include "win32/redraw.h"

const WCHAR szMainWindowClass[] = L"KELVA Window";

short nClientWidth = 0;
short nClientHeight = 0;

namespace {

HWND CreateChild(HWND hParent, const WCHAR* szClass, const WCHAR* szText, DWORD dwStyle, int nId, int x, int y,
                 int cx, int cy)
{
    return CreateWindowExW(0, szClass, szText, WS_CHILD | dwStyle, x, y, cx, cy, hParent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)), client.hInstance, nullptr);
}

LRESULT OnCreate(HWND hWnd)
{
    Placement place = MainWindowPlacement(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN),
                                          GetSystemMetrics(SM_CYMENU));
    MoveWindow(hWnd, place.x, place.y, place.cx, place.cy, FALSE);

    client.hOutputEdit = CreateOutputPane(hWnd);
    client.hInputEdit = CreateInputLine(hWnd);
    client.hNickList = CreateChild(hWnd, L"LISTBOX", L"",
                                   WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS |
                                       LBS_NOINTEGRALHEIGHT,
                                   IDC_NICKLIST, 0, 0, 0, 0);
    CreateChild(hWnd, L"BUTTON", L"Setup", WS_VISIBLE, IDM_SETUP, 5, 5, 85, 20);
    client.hConnectButton = CreateChild(hWnd, L"BUTTON", L"Connect", WS_VISIBLE, IDM_CONNECT, 95, 5, 85, 20);
    CreateChild(hWnd, L"BUTTON", L"List", WS_VISIBLE, IDM_LIST, 185, 5, 85, 20);
    client.hGameWnd = CreateChild(hWnd, szGameWindowClass, L"", WS_BORDER, 0, 0, 0, 0, 0);
    return 0;
}

void MoveChild(HWND hChild, const ChildRect& rc) { MoveWindow(hChild, rc.x, rc.y, rc.cx, rc.cy, TRUE); }

// In chat mode a child is moved only once it exists: the first WM_SIZE comes
// from WM_CREATE's move, before any child does.
LRESULT OnSize(LPARAM lParam)
{
    // Controls that are not drawing would leave their old place unpainted.
    RedrawHeld();
    short nWidth = static_cast<short>(LOWORD(lParam));
    short nHeight = static_cast<short>(HIWORD(lParam));
    int bGameMode = client.nGameState != GAME_OFF;
    MainLayout layout = ComputeLayout(nWidth, nHeight, bGameMode);
    if (bGameMode || client.hNickList) MoveChild(client.hNickList, layout.rcNickList);
    if (bGameMode || client.hOutputEdit) MoveChild(client.hOutputEdit, layout.rcOutput);
    if (bGameMode || client.hInputEdit) MoveChild(client.hInputEdit, layout.rcInput);
    if (bGameMode) MoveChild(client.hGameWnd, layout.rcGame);
    nClientWidth = nWidth;
    nClientHeight = nHeight;
    return 0;
}

LRESULT OnGetMinMaxInfo(MINMAXINFO* pInfo)
{
    pInfo->ptMinTrackSize.x = MIN_TRACK_WIDTH;
    pInfo->ptMinTrackSize.y = MIN_TRACK_HEIGHT;
    return 0;
}

LRESULT OnPaint(HWND hWnd)
{
    PAINTSTRUCT ps;
    BeginPaint(hWnd, &ps);
    EndPaint(hWnd, &ps);
    return 0;
}

// The word parameter is compared whole: a notification other than the
// nick list's selection change matches nothing.
LRESULT OnCommand(WPARAM wParam)
{
    switch (wParam) {
    case IDC_SEND: OnSendCommand(); break;
    case IDC_CLOSELIST: CloseChannelList(); break;
    case IDC_NICKLIST_SELCHANGE: OnNickListSelect(); break;
    case IDM_EXIT: PostQuitMessage(0); break;
    case IDM_ABOUT: RunAboutDialog("About"); break;
    case IDM_HELP: OpenHelp(); break;
    case IDM_SETUP: OnSetupCommand(); break;
    case IDM_CONNECT: OnConnectCommand(); break;
    case IDM_LIST: OnListCommand(); break;
    }
    return 0;
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE: return OnCreate(hWnd);
    case WM_SIZE: return OnSize(lParam);
    case WM_GETMINMAXINFO: return OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_PAINT: return OnPaint(hWnd);
    case WM_SETFOCUS: SetFocus(client.hInputEdit); return 0;
    case WM_CLOSE: PostQuitMessage(0); return 0;
    case WM_COMMAND: return OnCommand(wParam);
    case WM_SERVER_RESOLVED: return OnNameLookedUp(lParam);
    case WM_CONNECT_NOTIFY: return OnConnectNotify(wParam, lParam);
    }
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}
