// What the protocol and game code ask of the windows, in their own words.
// The Win32 shell implements each operation in a line or two over the real
// controls (seam_win32.cpp); the native tests link a fake that records the
// calls. Keep it narrow: an operation exists because a caller in the core
// needs it.
#pragma once

// Output pane: shows the text as it is; callers put in their own "\r\n".
void AppendOutput(const char* szText);
// Puts the caret at the end of the output pane and scrolls it into view.
void ScrollOutputToEnd();

// Nick list: a list box that keeps its entries sorted.
void NickListRemoveAll();

// Main window.
void SetMainTitle(const char* szTitle);
// Sends IDC_GAMEMODE to the main window and returns when it has been handled.
void SendGameModeCommand();
// Lays the main window out again for the current nGameState, at its last size.
void LayoutMainWindow();

// Game window.
void ShowGameWindow(int bShow);
// Sends GWM_RESET to the game window: abandon the game shown there.
void SendGameReset();
