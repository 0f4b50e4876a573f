// Drawing put off during a burst of server data (Win32). Under Wine every
// change to a visible control is drawn at once, scroll bar and all, at the
// price of many round trips to the wineserver and the X server; a flood
// changes the output pane and the lists thousands of times a second. So a
// control that the handling of server lines changes stops drawing at its
// first change and draws once, with all its changes, when the burst is over.
#pragma once

#include <windows.h>

// Called before each change to the control: its drawing is off from the
// first change until RedrawHeld.
void HoldRedraw(HWND hControl);
// Every held control draws again, at once, with all its changes.
void RedrawHeld();
// Whether drawing has been held for 50 ms or more: a long flood still shows
// its progress, and the window stays alive.
bool RedrawOverdue();
