#include "game/board.h"

namespace {

bool OnBoard(short nIndex) { return nIndex >= 0 && nIndex < BOARD_LINES; }

bool IsSet(BoardPoint pt) { return pt.x != 0 && pt.y != 0; }

// The six families of lines, in the order they are judged as i runs 0 to 8;
// the first five found in this order is the one recorded.
struct LineFamily {
    short x0, xi;  // start x = x0 + xi * i
    short y0, yi;  // start y = y0 + yi * i
    short dx, dy;
};

const LineFamily kFamilies[] = {
    {0, 1, 0, 0, 0, 1},   // columns, top to bottom
    {0, 0, 0, 1, 1, 0},   // rows, left to right
    {0, 0, 0, 1, 1, 1},   // down-right diagonals from the left edge
    {0, 1, 0, 0, 1, 1},   // down-right diagonals from the top edge
    {0, 1, 0, 0, -1, 1},  // down-left diagonals from the top edge
    {8, 0, 0, 1, -1, 1},  // down-left diagonals from the right edge
};

const short WINDOW_LENGTH = 5;

}  // namespace

void ClearBoard(Board& board)
{
    for (short& nCell : board.nBoard) nCell = CELL_EMPTY;
}

namespace {

// Judges one line from the 0-based start (x0, y0) by the step (dx, dy), each
// -1, 0 or 1: MOVE_FIVE (recorded and drawn), MOVE_PLAYON or MOVE_STALEMATE.
short ScanLine(Board& board, short x0, short y0, short dx, short dy)
{
    short nLineResult = MOVE_STALEMATE;
    for (short xs = x0, ys = y0; OnBoard(xs) && OnBoard(ys); xs += dx, ys += dy) {
        short nCount[2] = {0, 0};
        short nCells = 0;
        short x = xs, y = ys;
        for (; nCells < WINDOW_LENGTH && OnBoard(x) && OnBoard(y); ++nCells, x += dx, y += dy) {
            short nCell = board.nBoard[x * BOARD_LINES + y];
            if (nCell != CELL_EMPTY) ++nCount[nCell];
        }
        if (nCells < WINDOW_LENGTH) continue;  // the walk left the board: no window here
        if (nCount[STONE_BLACK] == WINDOW_LENGTH || nCount[STONE_WHITE] == WINDOW_LENGTH) {
            board.ptWinStart = {static_cast<short>(xs + 1), static_cast<short>(ys + 1)};
            board.ptWinEnd = {static_cast<short>(xs + 4 * dx + 1), static_cast<short>(ys + 4 * dy + 1)};
            if (board.pView) board.pView->pfnDrawWinLine(board.ptWinStart, board.ptWinEnd);
            return MOVE_FIVE;
        }
        if (nCount[STONE_BLACK] == 0 || nCount[STONE_WHITE] == 0) nLineResult = MOVE_PLAYON;
    }
    return nLineResult;
}

}  // namespace

short PlaceStone(Board& board, short x, short y, short nColor, int bMark)
{
    if (x < 1 || x > BOARD_LINES || y < 1 || y > BOARD_LINES) return MOVE_REFUSED;
    if (BoardCell(board, x, y) != CELL_EMPTY) return MOVE_REFUSED;
    // Only the two colours are ever stored: the scans count by cell value.
    if (nColor != STONE_BLACK && nColor != STONE_WHITE) return MOVE_REFUSED;
    BoardCell(board, x, y) = nColor;

    if (IsSet(board.ptLastMove)) {
        if (board.pView) board.pView->pfnEraseMarker(board.ptLastMove.x, board.ptLastMove.y);
        board.ptLastMove = {0, 0};
    }
    if (board.pView) board.pView->pfnDrawStone(x, y, nColor);
    if (bMark == 1) {
        board.ptLastMove = {x, y};
        if (board.pView) board.pView->pfnDrawMarker(x, y);
    }

    bool bPlayOn = false;
    for (short i = 0; i < BOARD_LINES; ++i) {
        for (const LineFamily& f : kFamilies) {
            short nResult = ScanLine(board, static_cast<short>(f.x0 + f.xi * i), static_cast<short>(f.y0 + f.yi * i),
                                     f.dx, f.dy);
            if (nResult == MOVE_FIVE) return MOVE_FIVE;
            if (nResult == MOVE_PLAYON) bPlayOn = true;
        }
    }
    return bPlayOn ? MOVE_PLAYON : MOVE_STALEMATE;
}
