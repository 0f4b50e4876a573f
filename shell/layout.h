// Where the main window and its children go: plain arithmetic, so that the
// numbers can be checked without a window.
#pragma once

struct ChildRect {
    int x, y, cx, cy;
};

struct MainLayout {
    ChildRect rcNickList;
    ChildRect rcOutput;
    ChildRect rcInput;
    ChildRect rcGame;  // used in game mode only; the board stays hidden in chat mode
};

// The children for a client area of nWidth by nHeight, in chat mode
// (bGameMode 0) or game mode.
MainLayout ComputeLayout(int nWidth, int nHeight, int bGameMode);

struct Placement {
    int x, y, cx, cy;
};

// Keeps the size and centres it on the screen's full-screen client area,
// with room for a menu bar; halves are rounded towards zero.
Placement CenterOnScreen(int cx, int cy, int cxFullScreen, int cyFullScreen, int cyMenu);

// The main window's first place: the full-screen client area capped at
// 640 by 480, centred.
Placement MainWindowPlacement(int cxFullScreen, int cyFullScreen, int cyMenu);

// The smallest the user can make the main window, frame included.
const int MIN_TRACK_WIDTH = 485;
const int MIN_TRACK_HEIGHT = 354;
