// The client's one game: the board of its game window, the play on it and
// the view sizes it is drawn at. The handshake and the game window's
// procedure call in here; what the game asks of the screen, the network and
// the system goes through the seam.
#pragma once

#include "game/play.h"

// The view's sizes in pixels, all 0 until the first size of the window.
struct BoardViewSizes {
    short nSpacing;       // between grid lines; (x, y) lies at (x * nSpacing, y * nSpacing)
    short nStoneRadius;
    short nMarkerRadius;  // the last-move marker
    short nBoardWidth;    // the client area, for repainting it whole
    short nBoardHeight;
};

extern Game gameClient;
extern BoardViewSizes viewSizes;

// The sizes for a client area of w by h: the grid spans eight spacings and
// leaves at least one free beyond the ninth line on the shorter side.
BoardViewSizes ViewSizesFor(unsigned short w, unsigned short h);

// The intersection nearest a client position, not limited to the board;
// (0, 0), which the board refuses, while the spacing is 0.
BoardPoint PointFromClick(const BoardViewSizes& sizes, unsigned short px, unsigned short py);

// What reaches the game: a reset and an opponent's message from the
// handshake (the index of the letter after the "!" and the whole received
// line), and from the game window a click at a client position and a size.
void OnGameReset();
void OnGameCommand(short nLetter, const char* szLine);
void OnBoardClick(unsigned short px, unsigned short py);
void OnBoardSize(unsigned short w, unsigned short h);

// The game as at start-up. The program starts once and never needs it; the
// native tests live many clients' lives in one process, and the start value
// (the host and the view it draws through) is this file's own.
void ResetClientGame();
