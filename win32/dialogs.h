// The modal message dialogs, About and Welcome (Win32).
#pragma once

#include <windows.h>

// Keeps the window's size and centres it on the screen, without repainting:
// the placement of every dialog.
void CenterWindow(HWND hWnd);

INT_PTR CALLBACK MsgBoxDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
// "About" and the Welcome dialog "Startup".
INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Runs "About" or "Startup" modally, owned by the main window.
void RunAboutDialog(const char* szTemplate);
