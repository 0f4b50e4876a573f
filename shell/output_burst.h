// The appends of a burst of server data, held back from the output pane and
// given to it in one insert when the burst is over, and during a long burst
// at each redraw. Portable: the caller measures text and talks to the control.
// Each append is decoded once (encoding.h), as it is held, into the UTF-16
// text the pane is given.
//
// The edit control lays out every text it takes, and under Wine it does so
// again for each insert over much of what it holds: half a millisecond for a
// chat line that wraps. A long flood pushes most of its lines out of the pane
// again, by the trim, before anyone could see them. So the trim (past 200
// displayed lines the oldest 100 go, before the next append) is played here
// on counted lines, and only what it would leave reaches the control.
//
// A line of Latin-1 characters no wider than the pane is exactly one
// displayed line. A line that wraps, or that has characters past Latin-1
// (drawn by whatever fonts stand in for the pane's, at widths of their own),
// is counted as ceil(width / pane width) lines, which the control's own
// wrapping may exceed; only then can the older lines kept above the newest
// differ from what appends one by one would keep. The newest lines, the
// 200/100 bound and every append made outside a burst stay as they were.
#pragma once

#include "irc/encoding.h"

const int TRIM_ABOVE_LINES = 200;
const int TRIM_LINES = 100;

// The width in pixels of nChars characters in the pane's font.
typedef int (*TextWidthFn)(const WideChar* pText, int nChars);

struct PaneState {
    int nLines;          // displayed lines as the control counts them: an empty pane has 1
    bool bLastLineOpen;  // the text does not end with a line break
    int nFormatWidth;    // the pixels a displayed line has
};

// Starts holding appends, for a pane as it stands now.
void StartOutputBurst(const PaneState& pane, TextWidthFn pfnWidth);
bool OutputBurstStarted();
// Holds one append; false when the text is too long to be held, and then the
// caller gives the pane what is held and appends the text itself.
bool HoldOutput(const char* szText);

// What the pane is given, in this order: its text is emptied, or its first
// nCutBefore displayed lines are removed; pText is inserted at the end; then,
// only when the counts were not exact, TRIM_LINES more go from the top while
// the pane holds more than the trim allows above the newest append (tell
// OutputLinesCut).
struct OutputFeed {
    bool bEmptyPane;
    int nCutBefore;
    const WideChar* pText;  // surviving appends not given yet, the first perhaps cut to its surviving lines
    int nNewestChars;   // the newest append, at the end of the pane's text: never cut
    int nNewestLines;   // its displayed lines as counted
    bool bExact;        // the pane ends as appends one by one would have left it
};

// When the burst is over, the pane is given all that appends one by one
// would have left in it, and the burst ends. While it goes on, the pane gets
// what arrived since the last feed, and when that means starting afresh,
// only the newest lines the trim always leaves (101 displayed lines): the
// rest waits for the end. pText stays valid until the next HoldOutput.
OutputFeed TakeOutputFeed(bool bBurstOver);
void OutputLinesCut(int nLines);
