#include "win32/redraw.h"

#include "win32/list_dialog.h"
#include "win32/nick_list.h"
#include "win32/output_pane.h"

namespace {

const DWORD REDRAW_AT_LEAST_EVERY_MS = 50;

// The output pane, the nick list and the channel list's rows.
const int MAX_HELD = 4;
HWND hHeld[MAX_HELD];
int nHeld = 0;
DWORD nHeldSince = 0;
bool bInBurst = false;
bool bHeldBack = false;

void StartClock()
{
    if (nHeld == 0 && !bHeldBack) nHeldSince = GetTickCount();
}

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
// drawing is the cost. Drawing comes back on while the control still counts
// as hidden, so that the list box's scroll bar, brought up to date then, is
// drawn once, by the redraw that follows, rather than twice.
void SetDrawing(HWND hControl, bool bOn)
{
    LONG_PTR nStyle = GetWindowLongPtrA(hControl, GWL_STYLE);
    if (bOn) {
        SendMessageA(hControl, WM_SETREDRAW, TRUE, 0);
        SetWindowLongPtrA(hControl, GWL_STYLE, nStyle | WS_VISIBLE);
    } else {
        SendMessageA(hControl, WM_SETREDRAW, FALSE, 0);
        SetWindowLongPtrA(hControl, GWL_STYLE, nStyle & ~static_cast<LONG_PTR>(WS_VISIBLE));
    }
}

// What the burst held goes into the controls, and every held control draws
// again, at once, with all its changes.
void FeedAndDraw(bool bBurstOver)
{
    bHeldBack = false;
    FeedOutputPane(bBurstOver);
    FeedNickList();
    FeedChannelList(bBurstOver);
    for (int i = 0; i < nHeld; ++i) {
        // The channel list may have been closed meanwhile.
        if (!IsWindow(hHeld[i])) continue;
        SetDrawing(hHeld[i], true);
        RedrawWindow(hHeld[i], nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    }
    nHeld = 0;
}

}  // namespace

void BeginBurst() { bInBurst = true; }

bool InBurst() { return bInBurst; }

void HoldBack()
{
    StartClock();
    bHeldBack = true;
}

void HoldRedraw(HWND hControl)
{
    if (hControl == nullptr || IsHeld(hControl) || nHeld == MAX_HELD) return;
    // A control that is not shown (the channel list being made) has nothing
    // to hold, and must not be shown at the end.
    if (!IsWindowVisible(hControl)) return;
    StartClock();
    SetDrawing(hControl, false);
    hHeld[nHeld++] = hControl;
}

void RedrawHeld()
{
    bInBurst = false;
    FeedAndDraw(true);
}

void RedrawDuringBurst() { FeedAndDraw(false); }

bool RedrawOverdue() { return (nHeld > 0 || bHeldBack) && GetTickCount() - nHeldSince >= REDRAW_AT_LEAST_EVERY_MS; }
