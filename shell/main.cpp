// The entry point and the main loop (Win32).
#include <windows.h>

#include "config/connection_file.h"
#include "config/settings.h"
#include "game/game_window.h"
#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/receive.h"
#include "shell/commands.h"
#include "shell/dialogs.h"
#include "shell/help_window.h"
#include "shell/main_window.h"
#include "shell/redraw.h"

namespace {

// Socket data and the server's hang-up are announced to the main window, so
// that an idle loop can wait for them together with window messages.
const UINT WM_SOCKET_NOTIFY = WM_APP + 1;
SOCKET sockWatched = INVALID_SOCKET;

void RegisterClass(const char* szName, WNDPROC pfnProc, const char* szMenu)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = pfnProc;
    wc.hInstance = client.hInstance;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = szMenu;
    wc.lpszClassName = szName;
    RegisterClassA(&wc);
}

void RegisterWindowClasses()
{
    if (client.bClassesRegistered) return;
    RegisterClass(szMainWindowClass, MainWndProc, "Main");
    RegisterClass(szGameWindowClass, GoMokuWndProc, nullptr);
    client.bClassesRegistered = 1;
}

void WatchServerSocket()
{
    if (!client.bConnected) {
        sockWatched = INVALID_SOCKET;
        return;
    }
    if (client.sockServer == sockWatched) return;
    sockWatched = client.sockServer;
    WSAAsyncSelect(sockWatched, client.hMainWnd, WM_SOCKET_NOTIFY, FD_READ | FD_CLOSE);
}

bool ServerDataWaiting()
{
    u_long nWaiting = 0;
    return client.bConnected && ioctlsocket(client.sockServer, FIONREAD, &nWaiting) == 0 && nWaiting > 0;
}

// Waits for the next window message, which socket data also brings. Not
// every platform announces every end of a connection (under Wine a reset may
// go unannounced), so while connected the wait is bounded and the next
// pass's receive finds a dead connection within a fraction of a second.
const DWORD CONNECTED_WAIT_MS = 250;

void WaitForWork()
{
    if (ServerDataWaiting()) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, client.bConnected ? CONNECTED_WAIT_MS : INFINITE, QS_ALLINPUT);
}

// The first pass: Welcome, then the connection file named on the command line.
void FirstPass(const char* szConnectionFile)
{
    RunAboutDialog("Startup");
    client.bShowWelcome = 0;
    if (szConnectionFile[0] != '\0') ReadConnectionFile(szConnectionFile);
}

// One receive while connected; a broken connection is closed on the same
// pass.
void ReceiveOnce()
{
    if (client.bConnected && PollReceive() != 0) Disconnect();
    WatchServerSocket();
}

// What the lines received changed is drawn once the server has nothing
// more waiting, and during a long flood at least every 50 ms.
void DrawWhenBurstEnds()
{
    if (!ServerDataWaiting() || RedrawOverdue()) RedrawHeld();
}

void HandleMessage(MSG& msg)
{
    if (client.hListDlg != nullptr && IsDialogMessageA(client.hListDlg, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
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
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
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
    client.hMainWnd = CreateWindowExA(0, szMainWindowClass, "KELVA", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                                      nullptr, hInstance, nullptr);
    if (client.hMainWnd == nullptr) return 0;
    ShowWindow(client.hMainWnd, nCmdShow);
    UpdateWindow(client.hMainWnd);

    WPARAM nExitCode = RunMainLoop(CommandLineArgument(GetCommandLineA()));
    CloseHelp();
    NetShutdown();
    return static_cast<int>(nExitCode);
}
