#include "opponent/position.h"

namespace {

const int MAX_CELL_WINDOWS = 20;  // 4 directions, 5 windows each at most

// What an open window (one holding stones of one colour only) is worth to
// that colour, by the number of its stones. Four is the threat the search
// resolves itself; five has ended the game.
const int kWindowValue[6] = {0, 1, 6, 30, 150, 0};
// How promising an empty cell is: raising an own window from k stones, and
// spoiling an opponent's window of k stones.
const int kAttack[6] = {1, 5, 24, 120, 5000, 0};
const int kDefend[6] = {0, 1, 6, 30, 2500, 0};

// What a window holding some stones of each colour means for colour c.
struct WindowMeaning {
    int nOpen;      // 1 when it does not hold both colours
    int nScore[2];
    int nThrees[2];
    int nFours[2];
    int nFives[2];
    int nPromise[2];     // added to the promise of each cell in it
    int nOpenStones[2];  // c's stones when the window is c's alone and holds two to four, else 0
};

// What one more stone in a window changes: the meaning after less the
// meaning before. Taking the stone back changes the same, negated.
struct WindowChange {
    int nOpen;
    int nScore[2];
    int nThrees[2];
    int nFours[2];
    int nFives[2];
    int64_t nPromise;  // both colours' at once, as the position keeps them
    int nOpenBefore[2];  // the open stones of each colour before, and after
    int nOpenAfter[2];
    bool bThreats;       // any threes, fours, fives or open stones change
};

struct WindowTables {
    WindowChange change[WINDOW_LENGTH][WINDOW_LENGTH][2];  // by black stones, white stones, the colour added
    unsigned char nCells[WINDOWS][WINDOW_LENGTH];
    unsigned char nWindowsOf[BOARD_CELLS][MAX_CELL_WINDOWS];
    unsigned char nWindowCount[BOARD_CELLS];
    uint64_t nZobrist[BOARD_CELLS][2];
    CellSet windowCells[WINDOWS];
    CellSet neighbours[BOARD_CELLS];  // the cells within two lines
    int nLowestBit[64];  // by the top six bits of a lone bit times kDeBruijn
};

const uint64_t kDeBruijn = 0x03F79D71B4CB0A89ull;

WindowMeaning MeaningOf(int nBlack, int nWhite)
{
    WindowMeaning m = {};
    const int nStones[2] = {nBlack, nWhite};
    m.nOpen = nBlack == 0 || nWhite == 0;
    for (int c = 0; c < 2; ++c) {
        int nOwn = nStones[c], nOther = nStones[1 - c];
        m.nPromise[c] = (nOther == 0 ? kAttack[nOwn] : 0) + (nOwn == 0 ? kDefend[nOther] : 0);
        if (nOther != 0 || nOwn == 0) continue;
        m.nScore[c] = kWindowValue[nOwn];
        m.nThrees[c] = nOwn == 3;
        m.nFours[c] = nOwn == 4;
        m.nFives[c] = nOwn == 5;
        m.nOpenStones[c] = nOwn >= 2 && nOwn <= 4 ? nOwn : 0;
    }
    return m;
}

WindowChange ChangeOf(int nBlack, int nWhite, int c)
{
    WindowMeaning was = MeaningOf(nBlack, nWhite);
    WindowMeaning is = MeaningOf(nBlack + (c == STONE_BLACK), nWhite + (c == STONE_WHITE));
    WindowChange d = {};
    d.nOpen = is.nOpen - was.nOpen;
    for (int k = 0; k < 2; ++k) {
        d.nScore[k] = is.nScore[k] - was.nScore[k];
        d.nThrees[k] = is.nThrees[k] - was.nThrees[k];
        d.nFours[k] = is.nFours[k] - was.nFours[k];
        d.nFives[k] = is.nFives[k] - was.nFives[k];
        d.nOpenBefore[k] = was.nOpenStones[k];
        d.nOpenAfter[k] = is.nOpenStones[k];
    }
    d.bThreats = d.nThrees[0] || d.nThrees[1] || d.nFours[0] || d.nFours[1] || d.nFives[0] || d.nFives[1] ||
                 d.nOpenBefore[0] != d.nOpenAfter[0] || d.nOpenBefore[1] != d.nOpenAfter[1];
    d.nPromise = PackPromise(is.nPromise[0] - was.nPromise[0], is.nPromise[1] - was.nPromise[1]);
    return d;
}

void BuildWindows(WindowTables& t)
{
    const int kSteps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
    int w = 0;
    for (const auto& step : kSteps) {
        for (int x = 0; x < BOARD_LINES; ++x) {
            for (int y = 0; y < BOARD_LINES; ++y) {
                int xEnd = x + 4 * step[0], yEnd = y + 4 * step[1];
                if (xEnd < 0 || xEnd >= BOARD_LINES || yEnd < 0 || yEnd >= BOARD_LINES) continue;
                for (int k = 0; k < WINDOW_LENGTH; ++k) {
                    int nCell = (x + k * step[0]) * BOARD_LINES + (y + k * step[1]);
                    t.nCells[w][k] = static_cast<unsigned char>(nCell);
                    t.nWindowsOf[nCell][t.nWindowCount[nCell]++] = static_cast<unsigned char>(w);
                    t.windowCells[w].Add(nCell);
                }
                ++w;
            }
        }
    }
}

WindowTables BuildTables()
{
    WindowTables t = {};
    for (int nBlack = 0; nBlack < WINDOW_LENGTH; ++nBlack)
        for (int nWhite = 0; nBlack + nWhite < WINDOW_LENGTH; ++nWhite)
            for (int c = 0; c < 2; ++c) t.change[nBlack][nWhite][c] = ChangeOf(nBlack, nWhite, c);
    BuildWindows(t);
    for (int i = 0; i < BOARD_CELLS; ++i) {
        for (int c = 0; c < 2; ++c) t.nZobrist[i][c] = Mix(static_cast<uint64_t>(i * 2 + c + 1));
        int x = i / BOARD_LINES, y = i % BOARD_LINES;
        for (int dx = -2; dx <= 2; ++dx) {
            for (int dy = -2; dy <= 2; ++dy) {
                int nx = x + dx, ny = y + dy;
                if ((dx || dy) && nx >= 0 && nx < BOARD_LINES && ny >= 0 && ny < BOARD_LINES)
                    t.neighbours[i].Add(nx * BOARD_LINES + ny);
            }
        }
    }
    for (int i = 0; i < 64; ++i) t.nLowestBit[((uint64_t(1) << i) * kDeBruijn) >> 58] = i;
    return t;
}

const WindowTables kTables = BuildTables();

// The number of the lowest bit set in nBits, which must not be 0.
int LowestBit(uint64_t nBits) { return kTables.nLowestBit[((nBits & (~nBits + 1)) * kDeBruijn) >> 58]; }

// Window w gains (nSign 1) or loses (-1) a stone of c.
template <int nSign>
inline void ChangeWindow(Position& p, int w, int c)
{
    unsigned char* nCount = p.nCount[w];
    if (nSign < 0) --nCount[c];
    const WindowChange& d = kTables.change[nCount[0]][nCount[1]][c];
    if (nSign > 0) ++nCount[c];
    p.nOpen += nSign * d.nOpen;
    p.nScore[0] += nSign * d.nScore[0];
    p.nScore[1] += nSign * d.nScore[1];
    for (int k = 0; d.bThreats && k < 2; ++k) {
        p.nThrees[k] += nSign * d.nThrees[k];
        p.nFours[k] += nSign * d.nFours[k];
        p.nFives[k] += nSign * d.nFives[k];
        if (d.nOpenBefore[k] == d.nOpenAfter[k]) continue;
        if (d.nOpenBefore[k]) p.open[k][d.nOpenBefore[k]].Flip(w);
        if (d.nOpenAfter[k]) p.open[k][d.nOpenAfter[k]].Flip(w);
    }
    const int64_t nPromise = nSign * d.nPromise;  // read once: the stores below could alias it
    for (int nCell : kTables.nCells[w]) p.nPromise[nCell] += nPromise;
}

}  // namespace

int CellSet::First() const
{
    int nWord = nBits[0] ? 0 : 1;
    return nWord * 64 + LowestBit(nBits[nWord]);
}

int ListCells(CellSet cells, int* pOut)
{
    int n = 0;
    for (; cells.Any(); ++n) {
        pOut[n] = cells.First();
        cells.Drop(pOut[n]);
    }
    return n;
}

void Place(Position& p, int nCell, int c)
{
    const WindowTables& t = kTables;
    for (int j = 0; j < t.nWindowCount[nCell]; ++j) ChangeWindow<+1>(p, t.nWindowsOf[nCell][j], c);
    p.nCell[nCell] = static_cast<signed char>(c);
    p.empty.Drop(nCell);
    p.nHash ^= t.nZobrist[nCell][c];
    p.nearBefore[p.nStones++] = p.near;
    p.near = p.near | t.neighbours[nCell];
}

void Remove(Position& p, int nCell)
{
    const WindowTables& t = kTables;
    int c = p.nCell[nCell];
    for (int j = 0; j < t.nWindowCount[nCell]; ++j) ChangeWindow<-1>(p, t.nWindowsOf[nCell][j], c);
    p.nCell[nCell] = CELL_EMPTY;
    p.empty.Add(nCell);
    p.nHash ^= t.nZobrist[nCell][c];
    p.near = p.nearBefore[--p.nStones];
}

void LoadPosition(Position& p, const Board& board)
{
    p = Position();
    p.nOpen = WINDOWS;
    for (int i = 0; i < BOARD_CELLS; ++i) {
        p.nCell[i] = CELL_EMPTY;
        p.empty.Add(i);
    }
    WindowMeaning none = MeaningOf(0, 0);
    for (int w = 0; w < WINDOWS; ++w)
        for (int nCell : kTables.nCells[w]) p.nPromise[nCell] += PackPromise(none.nPromise[0], none.nPromise[1]);
    for (int i = 0; i < BOARD_CELLS; ++i)
        if (board.nBoard[i] == STONE_BLACK || board.nBoard[i] == STONE_WHITE) Place(p, i, board.nBoard[i]);
}

CellSet Raising(const Position& p, int c, int k)
{
    CellSet cells;
    for (int nWord = 0; nWord < 3; ++nWord) {
        for (uint64_t nBits = p.open[c][k].nBits[nWord]; nBits; nBits &= nBits - 1)
            cells = cells | kTables.windowCells[nWord * 64 + LowestBit(nBits)];
    }
    return cells & p.empty;
}

int FourGaps(const Position& p, int c, int nGaps[2])
{
    CellSet gaps = Raising(p, c, 4);
    int n = 0;
    for (; gaps.Any() && n < 2; ++n) {
        nGaps[n] = gaps.First();
        gaps.Drop(nGaps[n]);
    }
    return n;
}

namespace {

// How many distinct cells would complete a five for c after c plays nCell
// (0, 1, or 2 for two or more), counting only the windows through nCell.
int GapsAfter(const Position& p, int nCell, int c)
{
    const WindowTables& t = kTables;
    int nGap = -1;
    for (int j = 0; j < t.nWindowCount[nCell]; ++j) {
        int w = t.nWindowsOf[nCell][j];
        if (p.nCount[w][c] != 3 || p.nCount[w][1 - c] != 0) continue;
        for (int nOther : t.nCells[w]) {
            if (nOther == nCell || p.nCell[nOther] != CELL_EMPTY) continue;
            if (nGap < 0)
                nGap = nOther;
            else if (nGap != nOther)
                return 2;
        }
    }
    return nGap < 0 ? 0 : 1;
}

}  // namespace

int DoubleFourMove(const Position& p, int c)
{
    if (p.nThrees[c] < 2) return -1;
    for (CellSet cells = Raising(p, c, 3); cells.Any();) {
        int nCell = cells.First();
        cells.Drop(nCell);
        if (GapsAfter(p, nCell, c) == 2) return nCell;
    }
    return -1;
}

int DoubleFourStoppers(const Position& p, int c, CellSet& stoppers)
{
    const WindowTables& t = kTables;
    int nMoves = 0;
    if (p.nThrees[c] < 2) return 0;
    for (CellSet cells = Raising(p, c, 3); cells.Any();) {
        int nCell = cells.First();
        cells.Drop(nCell);
        if (GapsAfter(p, nCell, c) < 2) continue;
        CellSet stop;
        stop.Add(nCell);
        for (int j = 0; j < t.nWindowCount[nCell]; ++j) {
            int w = t.nWindowsOf[nCell][j];
            if (p.nCount[w][c] == 3 && p.nCount[w][1 - c] == 0) stop = stop | t.windowCells[w];
        }
        stoppers = nMoves++ == 0 ? stop & p.empty : stoppers & stop;
    }
    return nMoves;
}
