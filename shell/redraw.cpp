#include "shell/redraw.h"

namespace {

const DWORD REDRAW_AT_LEAST_EVERY_MS = 50;

// The output pane, the nick list and the channel list's rows.
const int MAX_HELD = 4;
HWND hHeld[MAX_HELD];
int nHeld = 0;
DWORD nHeldSince = 0;

bool IsHeld(HWND hControl)
{
    for (int i = 0; i < nHeld; ++i)
        if (hHeld[i] == hControl) return true;
    return false;
}

// WM_SETREDRAW as the platform has long defined it: the control counts as
// hidden, so no change draws anything, while the pixels it last drew stay on
// the screen. The message alone is not enough: Wine's edit control keeps
// drawing its scroll bar at every change whatever it is told, and that
// drawing is the cost.
void SetDrawing(HWND hControl, bool bOn)
{
    LONG_PTR nStyle = GetWindowLongPtrA(hControl, GWL_STYLE);
    if (bOn) {
        SetWindowLongPtrA(hControl, GWL_STYLE, nStyle | WS_VISIBLE);
        SendMessageA(hControl, WM_SETREDRAW, TRUE, 0);
    } else {
        SendMessageA(hControl, WM_SETREDRAW, FALSE, 0);
        SetWindowLongPtrA(hControl, GWL_STYLE, nStyle & ~static_cast<LONG_PTR>(WS_VISIBLE));
    }
}

}  // namespace

void HoldRedraw(HWND hControl)
{
    if (hControl == nullptr || IsHeld(hControl) || nHeld == MAX_HELD) return;
    // A control that is not shown (the channel list being made) has nothing
    // to hold, and must not be shown at the end.
    if (!IsWindowVisible(hControl)) return;
    if (nHeld == 0) nHeldSince = GetTickCount();
    SetDrawing(hControl, false);
    hHeld[nHeld++] = hControl;
}

void RedrawHeld()
{
    for (int i = 0; i < nHeld; ++i) {
        // The channel list may have been closed meanwhile.
        if (!IsWindow(hHeld[i])) continue;
        SetDrawing(hHeld[i], true);
        RedrawWindow(hHeld[i], nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    }
    nHeld = 0;
}

bool RedrawOverdue() { return nHeld > 0 && GetTickCount() - nHeldSince >= REDRAW_AT_LEAST_EVERY_MS; }
