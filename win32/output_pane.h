// The output pane and the input line of the main window (Win32).
#pragma once

#include <windows.h>

// Both are created empty; the input line takes at most 510 characters and is
// subclassed so that Enter sends it.
HWND CreateOutputPane(HWND hParent);
HWND CreateInputLine(HWND hParent);

// Gives the pane what the appends held during a burst left for it (see
// output_burst.h): all of it when the burst is over, otherwise what a redraw
// during the burst needs. Nothing when no appends are held.
void FeedOutputPane(bool bBurstOver);

// IDC_SEND: each line of the input line's text goes to SendText with its
// "\r\n" (a paste may hold several), and the input line is emptied.
void OnSendCommand();

LRESULT CALLBACK InputEditProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
