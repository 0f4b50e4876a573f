// The entry point and the main loop (Win32).
#include <windows.h>

#include "config/connection_file.h"
#include "config/settings.h"
#include "win32/game_window.h"
#include "irc/client_state.h"
#include "irc/connection.h"
#include "shell/commands.h"
#include "win32/dialogs.h"
#include "win32/help_window.h"
#include "win32/main_window.h"
#include "win32/redraw.h"

namespace {

// Socket data and the server's hang-up are announced to the main window, so
// that an idle loop can wait for them together with window messages.
const UINT WM_SOCKET_NOTIFY = WM_APP + 1;
SOCKET sockWatched = INVALID_SOCKET;

void RegisterClass(const WCHAR* szName, WNDPROC pfnProc, const WCHAR* szMenu)
{
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = pfnProc;
    wc.hInstance = client.hInstance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = szMenu;
    wc.lpszClassName = szName;
    RegisterClassW(&wc);
}

void RegisterWindowClasses()
{
    RegisterClass(szMainWindowClass, MainWndProc, L"Main");
    RegisterClass(szGameWindowClass, GoMokuWndProc, nullptr);
}

// Socket data and the hang-up are announced while the loop may wait for
// them. During a burst the announcements are off: the loop receives on every
// pass anyway, and each one would be another message to take. Switched on
// again, they announce at once what arrived meanwhile.
bool bAnnouncing = false;

void WatchServerSocket()
{
    if (!client.bConnected) {
        sockWatched = INVALID_SOCKET;
        return;
    }
    bool bAnnounce = !MoreServerDataLikely();
    if (client.sockServer == sockWatched && bAnnounce == bAnnouncing) return;
    sockWatched = client.sockServer;
    bAnnouncing = bAnnounce;
    WSAAsyncSelect(sockWatched, client.hMainWnd, bAnnounce ? WM_SOCKET_NOTIFY : 0, bAnnounce ? FD_READ | FD_CLOSE : 0);
}

// Waits for the next window message, which socket data also brings. Not
// every platform announces every end of a connection (under Wine a reset may
// go unannounced), so while connected the wait is bounded and the next
// pass's receive finds a dead connection within a fraction of a second; so
// it is while waiting to connect again, whose time nothing announces.
const DWORD CONNECTED_WAIT_MS = 250;

void WaitForWork()
{
    if (MoreServerDataLikely()) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ConnectionNeedsPasses() ? CONNECTED_WAIT_MS : INFINITE, QS_ALLINPUT);
}

// The first pass: Welcome, then the connection file named on the command line.
void FirstPass(const char* szConnectionFile)
{
    RunAboutDialog("Startup");
    client.bShowWelcome = 0;
    if (szConnectionFile[0] != '\0') ReadConnectionFile(szConnectionFile);
}

// The connection's pass: one receive while connected. The bounded wait
// while connected brings a pass, and so a look at the silence, at least
// every 250 ms.
void ReceiveOnce()
{
    if (client.bConnected) BeginBurst();
    PumpConnection();
    WatchServerSocket();
}

// What the lines received changed is drawn once the server has nothing
// more waiting, and during a long flood at least every 50 ms.
void DrawWhenBurstEnds()
{
    if (!MoreServerDataLikely())
        RedrawHeld();
    else if (RedrawOverdue())
        RedrawDuringBurst();
}

// Each look at the queue is a request to the window system that costs about
// as much as the receive. During a burst the queue is looked at on every
// 16th pass, a fraction of a millisecond apart, and otherwise on every pass.
const int BURST_PASSES_PER_LOOK = 16;
int nBurstPasses = 0;

bool TimeToLookAtQueue()
{
    if (!MoreServerDataLikely()) {
        nBurstPasses = 0;
        return true;
    }
    return ++nBurstPasses % BURST_PASSES_PER_LOOK == 0;
}

void HandleMessage(MSG& msg)
{
    if (client.hListDlg != nullptr && IsDialogMessageW(client.hListDlg, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

// Each pass makes one receive while connected and then handles at most one
// window message.
WPARAM RunMainLoop(const char* szConnectionFile)
{
    MSG msg;
    for (;;) {
        if (client.bShowWelcome) FirstPass(szConnectionFile);
        ReceiveOnce();
        DrawWhenBurstEnds();
        if (!TimeToLookAtQueue()) continue;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            WaitForWork();
            continue;
        }
        if (msg.message == WM_QUIT) return msg.wParam;
        HandleMessage(msg);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    // Stored first: the start-up notices are dialogs of this program.
    client.hInstance = hInstance;
    ReadSettings();
    client.szChannel[0] = '\0';
    if (NetStartup() != 0) return 0;
    RegisterWindowClasses();
    client.hMainWnd = CreateWindowExW(0, szMainWindowClass, L"KELVA", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                                      nullptr, hInstance, nullptr);
    if (client.hMainWnd == nullptr) return 0;
    ShowWindow(client.hMainWnd, nCmdShow);
    UpdateWindow(client.hMainWnd);

    WPARAM nExitCode = RunMainLoop(CommandLineArgument(GetCommandLineA()));
    CloseHelp();
    NetShutdown();
    return static_cast<int>(nExitCode);
}
