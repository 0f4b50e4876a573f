// Drawing put off during a burst of server data (Win32). Under Wine every
// change to a visible control is drawn at once, scroll bar and all, at the
// price of many round trips to the wineserver and the X server; a flood
// changes the output pane and the lists thousands of times a second. So a
// control that the handling of server lines changes stops drawing at its
// first change and draws once, with all its changes, when the burst is over.
#pragma once

#include <windows.h>

// A burst of server data begins at a receive and lasts until RedrawHeld.
// Meanwhile the output pane and the lists hold their changes back
// (output_burst.h, list_batch.h) and take them at once at its end.
void BeginBurst();
bool InBurst();
// Changes held back other than a control's drawing (entries for a list):
// a redraw during the burst is due 50 ms later all the same.
void HoldBack();

// Called before each change to the control: its drawing is off from the
// first change until RedrawHeld.
void HoldRedraw(HWND hControl);
// Ends the burst: what the pane and the lists held goes into them, and
// every held control draws again, at once, with all its changes.
void RedrawHeld();
// The same while the burst goes on: the pane gets only what it needs to show
// the burst's progress, and a long list may wait (see output_burst.h and
// list_batch.h).
void RedrawDuringBurst();
// Whether drawing has been held for 50 ms or more: a long flood still shows
// its progress, and the window stays alive.
bool RedrawOverdue();
