// The game board window (Win32): the class "KELVA Game Window".
#pragma once

#include <windows.h>

extern const WCHAR szGameWindowClass[];

LRESULT CALLBACK GoMokuWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
