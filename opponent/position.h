// The board as the computer's search sees it: besides the stones, how many
// stones of each colour every window of five holds, and what that makes of
// every cell (how promising a move there is, whether it completes a five,
// makes a four or a three), all kept up to date as stones are placed and
// taken back, so that no node of the search counts them again.
#pragma once

#include <cstdint>

#include "game/board.h"

// Scatters the bits of n: the position's hash keys, and the search's noise
// and table keys, are drawn from it.
inline uint64_t Mix(uint64_t n)
{
    n += 0x9E3779B97F4A7C15ull;
    n = (n ^ (n >> 30)) * 0xBF58476D1CE4E5B9ull;
    n = (n ^ (n >> 27)) * 0x94D049BB133111EBull;
    return n ^ (n >> 31);
}

const int WINDOWS = 140;  // runs of five on a 9 by 9 board: 45 rows, 45 columns, 50 diagonals
const int WINDOW_LENGTH = 5;

// Cells, one bit each; cell (x, y) is (x - 1) * 9 + (y - 1), as on the board.
struct CellSet {
    uint64_t nBits[2] = {0, 0};

    void Add(int nCell) { nBits[nCell >> 6] |= uint64_t(1) << (nCell & 63); }
    void Drop(int nCell) { nBits[nCell >> 6] &= ~(uint64_t(1) << (nCell & 63)); }
    bool Has(int nCell) const { return (nBits[nCell >> 6] >> (nCell & 63)) & 1; }
    bool Any() const { return (nBits[0] | nBits[1]) != 0; }
    int First() const;  // the lowest cell; the set must not be empty
    CellSet operator&(const CellSet& other) const
    {
        CellSet s;
        s.nBits[0] = nBits[0] & other.nBits[0];
        s.nBits[1] = nBits[1] & other.nBits[1];
        return s;
    }
    CellSet operator|(const CellSet& other) const
    {
        CellSet s;
        s.nBits[0] = nBits[0] | other.nBits[0];
        s.nBits[1] = nBits[1] | other.nBits[1];
        return s;
    }
};

// Windows, one bit each, numbered as the position's tables number them.
struct WindowSet {
    uint64_t nBits[3] = {0, 0, 0};

    void Flip(int w) { nBits[w >> 6] ^= uint64_t(1) << (w & 63); }
};

struct Position {
    signed char nCell[BOARD_CELLS];  // CELL_EMPTY, STONE_BLACK or STONE_WHITE
    unsigned char nCount[WINDOWS][2];
    int nOpen;                  // windows that do not hold both colours
    int nThrees[2];             // open windows of three: each a four in one move
    int nFours[2];
    int nFives[2];
    int nScore[2];              // the open windows' values, by colour
    uint64_t nHash;
    CellSet empty;
    CellSet near;  // cells with a stone within two lines, in any direction
    // How promising a stone on an empty cell is, for ordering the moves:
    // the windows it would raise for its colour, and those it would spoil.
    // Both colours' at once (PackPromise); PromiseOf reads one.
    int64_t nPromise[BOARD_CELLS];
    // By k from 2 to 4, c's open windows of k stones: a stone of c in one
    // makes a three, a four, a five.
    WindowSet open[2][5];
    // Stones are taken back in the reverse order of their placing; the
    // cells that were near before each stone come back with it.
    int nStones;
    CellSet nearBefore[BOARD_CELLS];
};

inline int64_t PackPromise(int nBlack, int nWhite) { return nBlack + nWhite * (int64_t(1) << 32); }
inline int PromiseOf(const Position& p, int c, int nCell)
{
    return c == STONE_BLACK ? static_cast<int>(p.nPromise[nCell] & 0xFFFFFFFF) : static_cast<int>(p.nPromise[nCell] >> 32);
}

void LoadPosition(Position& p, const Board& board);
void Place(Position& p, int nCell, int c);
void Remove(Position& p, int nCell);  // the last stone placed

// The empty cells where a stone of c lifts an open window of c to k + 1
// stones: with k 4 a five, with 3 a four, with 2 a three.
CellSet Raising(const Position& p, int c, int k);

// The empty cells that complete c's fours, at most two of them: one is a
// threat to answer, two cannot both be answered.
int FourGaps(const Position& p, int c, int nGaps[2]);

// A cell where c, having no four yet, makes two fives possible at once (the
// other side can block only one); -1 when there is none.
int DoubleFourMove(const Position& p, int c);

// The number of cells where c, having no four yet, makes two fives possible
// at once; `stoppers` gets the empty cells where a stone of the other
// colour would leave c none of them (when there are any): each such cell or
// a cell of one of c's windows of three through it.
int DoubleFourStoppers(const Position& p, int c, CellSet& stoppers);

// The cells of a set, lowest first; returns how many.
int ListCells(CellSet cells, int* pOut);
