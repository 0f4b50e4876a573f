// The entry point and the main loop (Win32).
#include <windows.h>

#include "game/game_window.h"
#include "irc/client_state.h"
#include "shell/main_window.h"

namespace {

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
    RegisterClass(szMainWindowClass, MainWndProc, nullptr);
    RegisterClass(szGameWindowClass, GoMokuWndProc, nullptr);
    client.bClassesRegistered = 1;
}

WPARAM RunMainLoop()
{
    MSG msg;
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT) return msg.wParam;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    client.szChannel[0] = '\0';
    client.hInstance = hInstance;
    RegisterWindowClasses();
    client.hMainWnd = CreateWindowExA(0, szMainWindowClass, "KELVA", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr,
                                      nullptr, hInstance, nullptr);
    if (!client.hMainWnd) return 0;
    ShowWindow(client.hMainWnd, nCmdShow);
    UpdateWindow(client.hMainWnd);
    return static_cast<int>(RunMainLoop());
}
