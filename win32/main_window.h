// The main window, class "KELVA Window" (Win32).
#pragma once

#include <windows.h>

extern const WCHAR szMainWindowClass[];

// The last client size seen in WM_SIZE, to lay the window out again after a
// change of mode.
extern short nClientWidth;
extern short nClientHeight;

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
