// The 9 by 9 board of intersections and its referee: placing a stone, and
// judging after every stone whether a five stands somewhere, whether either
// colour can still make one, or neither. It knows nothing of players, turns
// or messages; the play logic decides who places which stone and when.
//
// The rules work on a board value they are given. The client holds one (the
// board in its game window); the computer opponent holds one per game.
#pragma once

const short BOARD_LINES = 9;
const short BOARD_CELLS = BOARD_LINES * BOARD_LINES;

// Cell values.
const short CELL_EMPTY = -1;
const short STONE_BLACK = 0;
const short STONE_WHITE = 1;

// What PlaceStone says of the board after a placement.
const short MOVE_REFUSED = 0;    // off the board or taken; nothing changed
const short MOVE_PLAYON = 1;     // no five; some window can still become one
const short MOVE_FIVE = 2;       // some window holds five stones of one colour
const short MOVE_STALEMATE = 3;  // no five, and every window holds both colours

// An intersection, column x and row y, each 1 to 9; (0, 0) is "none".
struct BoardPoint {
    short x;
    short y;
};

// What the rules ask the view to draw at once while a stone goes down. Every
// entry is called on the window thread, during a move, never while painting.
struct BoardView {
    void (*pfnDrawStone)(short x, short y, short nColor);
    void (*pfnDrawMarker)(short x, short y);
    // The marker at (x, y) painted over in the colour of the stone beneath.
    void (*pfnEraseMarker)(short x, short y);
    void (*pfnDrawWinLine)(BoardPoint ptStart, BoardPoint ptEnd);
};

struct Board {
    short nBoard[BOARD_CELLS];  // column by column: (x, y) is element (x - 1) * 9 + (y - 1)
    BoardPoint ptLastMove;      // the opponent's last stone, marked; (0, 0) when none
    BoardPoint ptWinStart;      // the five found by the last scan that found one
    BoardPoint ptWinEnd;
    const BoardView* pView;     // nullptr: a board nobody sees, judged the same
};

// The cell of intersection (x, y), both 1 to 9.
inline short& BoardCell(Board& board, short x, short y) { return board.nBoard[(x - 1) * BOARD_LINES + (y - 1)]; }
inline short BoardCell(const Board& board, short x, short y)
{
    return board.nBoard[(x - 1) * BOARD_LINES + (y - 1)];
}

// Empties every cell. The marker and the winning window are left as they
// are: the callers clear the marker themselves.
void ClearBoard(Board& board);

// Places a stone of nColor at (x, y), not yet validated, and judges the whole
// board. bMark 1 marks it as the last move (an opponent's stone), 0 erases
// any marker (an own stone).
short PlaceStone(Board& board, short x, short y, short nColor, int bMark);
