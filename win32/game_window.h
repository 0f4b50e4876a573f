// The game board window (Win32): the class "KELVA Game Window".
#pragma once

#include <windows.h>

// Abandon the game shown: wParam and lParam 0.
#define GWM_RESET (WM_USER)
// A game message from the opponent: wParam the index of its letter, lParam
// the whole received line, valid only during the call.
#define GWM_COMMAND (WM_USER + 1)

extern const WCHAR szGameWindowClass[];

LRESULT CALLBACK GoMokuWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
