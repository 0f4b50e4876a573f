#include "opponent/search.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace {

const int WINDOWS = 140;        // runs of five on a 9 by 9 board: 45 rows, 45 columns, 50 diagonals
const int WINDOW_LENGTH = 5;
const int MAX_CELL_WINDOWS = 20;  // 4 directions, 5 windows each at most
const int WIN = 1000000;        // a five now; a five n moves ahead is worth WIN - n
const int PROVEN = WIN - 1000;  // values beyond this are wins or losses found by the search
const int INFINITE_VALUE = WIN + 1;
const short MAX_DEPTH = 30;
const int TABLE_BITS = 16;
const int ROOT_MOVES = 24;      // candidates tried at the root
const int INNER_MOVES = 10;     // and below it

// What an open window (one holding stones of one colour only) is worth to
// that colour, by the number of its stones. Four is the threat the search
// resolves itself; five has ended the game.
const int kWindowValue[6] = {0, 1, 6, 30, 150, 0};
// How promising an empty cell is, for ordering the moves: raising an own
// window from k stones, and spoiling an opponent's window of k stones.
const int kAttack[5] = {1, 5, 24, 120, 5000};
const int kDefend[5] = {0, 1, 6, 30, 2500};

struct WindowTables {
    unsigned char nCells[WINDOWS][WINDOW_LENGTH];
    unsigned char nWindowsOf[BOARD_CELLS][MAX_CELL_WINDOWS];
    unsigned char nWindowCount[BOARD_CELLS];
    uint64_t nZobrist[BOARD_CELLS][2];
    unsigned char nNeighbours[BOARD_CELLS][24];  // the cells within two lines
    unsigned char nNeighbourCount[BOARD_CELLS];
};

uint64_t Mix(uint64_t n)
{
    n += 0x9E3779B97F4A7C15ull;
    n = (n ^ (n >> 30)) * 0xBF58476D1CE4E5B9ull;
    n = (n ^ (n >> 27)) * 0x94D049BB133111EBull;
    return n ^ (n >> 31);
}

// Cells are numbered as on the board: cell (x, y) is (x - 1) * 9 + (y - 1).
WindowTables BuildTables()
{
    WindowTables t = {};
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
                }
                ++w;
            }
        }
    }
    for (int i = 0; i < BOARD_CELLS; ++i) {
        for (int c = 0; c < 2; ++c) t.nZobrist[i][c] = Mix(static_cast<uint64_t>(i * 2 + c + 1));
        int x = i / BOARD_LINES, y = i % BOARD_LINES;
        for (int dx = -2; dx <= 2; ++dx) {
            for (int dy = -2; dy <= 2; ++dy) {
                int nx = x + dx, ny = y + dy;
                if ((dx || dy) && nx >= 0 && nx < BOARD_LINES && ny >= 0 && ny < BOARD_LINES)
                    t.nNeighbours[i][t.nNeighbourCount[i]++] = static_cast<unsigned char>(nx * BOARD_LINES + ny);
            }
        }
    }
    return t;
}

const WindowTables kTables = BuildTables();

// The board as the search sees it: besides the stones, how many stones of
// each colour every window holds, and running totals over the windows.
struct Position {
    signed char nCell[BOARD_CELLS];
    unsigned char nCount[WINDOWS][2];
    int nOpen = WINDOWS;  // windows that do not hold both colours
    int nFours[2] = {0, 0};
    int nFives[2] = {0, 0};
    int nScore[2] = {0, 0};
    unsigned char nNear[BOARD_CELLS];  // stones within two lines of the cell, in any direction
    uint64_t nHash = 0;
};

void Account(Position& p, int w, int nSign)
{
    int nBlack = p.nCount[w][STONE_BLACK], nWhite = p.nCount[w][STONE_WHITE];
    if (nBlack && nWhite) return;
    p.nOpen += nSign;
    int c = nBlack ? STONE_BLACK : STONE_WHITE;
    int k = nBlack ? nBlack : nWhite;
    p.nScore[c] += nSign * kWindowValue[k];
    if (k == 4) p.nFours[c] += nSign;
    if (k == 5) p.nFives[c] += nSign;
}

void Place(Position& p, int nCell, int c)
{
    const WindowTables& t = kTables;
    for (int j = 0; j < t.nWindowCount[nCell]; ++j) {
        int w = t.nWindowsOf[nCell][j];
        Account(p, w, -1);
        ++p.nCount[w][c];
        Account(p, w, +1);
    }
    p.nCell[nCell] = static_cast<signed char>(c);
    p.nHash ^= t.nZobrist[nCell][c];
    for (int j = 0; j < t.nNeighbourCount[nCell]; ++j) ++p.nNear[t.nNeighbours[nCell][j]];
}

void Remove(Position& p, int nCell)
{
    const WindowTables& t = kTables;
    int c = p.nCell[nCell];
    for (int j = 0; j < t.nWindowCount[nCell]; ++j) {
        int w = t.nWindowsOf[nCell][j];
        Account(p, w, -1);
        --p.nCount[w][c];
        Account(p, w, +1);
    }
    p.nCell[nCell] = CELL_EMPTY;
    p.nHash ^= t.nZobrist[nCell][c];
    for (int j = 0; j < t.nNeighbourCount[nCell]; ++j) --p.nNear[t.nNeighbours[nCell][j]];
}

void Load(Position& p, const Board& board)
{
    p = Position();
    for (auto& nCell : p.nCell) nCell = CELL_EMPTY;
    for (auto& nCount : p.nCount) nCount[0] = nCount[1] = 0;
    for (auto& nNear : p.nNear) nNear = 0;
    for (int i = 0; i < BOARD_CELLS; ++i)
        if (board.nBoard[i] == STONE_BLACK || board.nBoard[i] == STONE_WHITE) Place(p, i, board.nBoard[i]);
}

// The empty cells that complete c's fours, at most two of them: one is a
// threat to answer, two cannot both be answered.
int FourGaps(const Position& p, int c, int nGaps[2])
{
    const WindowTables& t = kTables;
    int n = 0;
    for (int w = 0; w < WINDOWS && n < 2; ++w) {
        if (p.nCount[w][c] != 4 || p.nCount[w][1 - c] != 0) continue;
        for (int nCell : t.nCells[w]) {
            if (p.nCell[nCell] != CELL_EMPTY) continue;
            if (n == 0 || nGaps[0] != nCell) nGaps[n++] = nCell;
            break;
        }
    }
    return n;
}

int Promise(const Position& p, int nCell, int c)
{
    const WindowTables& t = kTables;
    int nSum = 0;
    for (int j = 0; j < t.nWindowCount[nCell]; ++j) {
        const unsigned char* nCount = p.nCount[t.nWindowsOf[nCell][j]];
        if (nCount[1 - c] == 0) nSum += kAttack[nCount[c]];
        if (nCount[c] == 0) nSum += kDefend[nCount[1 - c]];
    }
    return nSum;
}

// A cell to try, by its order key: promise, then the seed's noise, then the
// lower cell first.
struct Candidate {
    int nOrder;
    int nCell;
};

bool ComesFirst(const Candidate& a, const Candidate& b) { return a.nOrder > b.nOrder; }

const unsigned char FLAG_EXACT = 0, FLAG_LOWER = 1, FLAG_UPPER = 2;

struct TableEntry {
    uint64_t nKey;
    int nValue;
    short nDepth;
    unsigned char nFlag;
    signed char nMove;
};

// Win and loss values are stored as distances from the stored position,
// so that the same position reached at another depth reads them right.
int ToTable(int nValue, int nPly) { return nValue > PROVEN ? nValue + nPly : nValue < -PROVEN ? nValue - nPly : nValue; }
int FromTable(int nValue, int nPly)
{
    return nValue > PROVEN ? nValue - nPly : nValue < -PROVEN ? nValue + nPly : nValue;
}

class Searcher {
public:
    Searcher(const Board& board, unsigned nSeed, unsigned long nBudget)
        : m_table(new TableEntry[size_t(1) << TABLE_BITS]()), m_nBudget(nBudget)
    {
        Load(m_pos, board);
        for (int i = 0; i < BOARD_CELLS; ++i)
            m_nNoise[i] = static_cast<int>(Mix((static_cast<uint64_t>(nSeed) << 8) ^ static_cast<uint64_t>(i)) & 7);
    }

    BoardPoint Choose(short nColor, SearchReport& report);

private:
    int Search(int c, int nDepth, int nAlpha, int nBeta, int nPly);
    int Candidates(int c, Candidate* pOut, int nLimit, int nFirst);
    int Evaluate(int c) const { return m_pos.nScore[c] - m_pos.nScore[1 - c]; }

    Position m_pos;
    std::unique_ptr<TableEntry[]> m_table;
    unsigned long m_nBudget;
    unsigned long m_nNodes = 0;
    bool m_bAborted = false;
    short m_nIteration = 0;
    int m_nNoise[BOARD_CELLS];
};

// The empty cells worth trying, most promising first; nFirst (a cell, or
// -1) goes to the front.
int Searcher::Candidates(int c, Candidate* pOut, int nLimit, int nFirst)
{
    int n = 0;
    for (int i = 0; i < BOARD_CELLS; ++i) {
        if (m_pos.nCell[i] != CELL_EMPTY || (m_pos.nNear[i] == 0 && i != nFirst)) continue;
        int nPromise = Promise(m_pos, i, c);
        if (nPromise == 0) continue;  // in no open window: it can change nothing
        int nKey = ((nPromise * 8 + m_nNoise[i]) << 7) + (BOARD_CELLS - i);
        pOut[n++] = {i == nFirst ? INFINITE_VALUE : nKey, i};
    }
    int nKept = std::min(n, nLimit);
    std::partial_sort(pOut, pOut + nKept, pOut + n, ComesFirst);
    return nKept;
}

int Searcher::Search(int c, int nDepth, int nAlpha, int nBeta, int nPly)
{
    ++m_nNodes;
    if (m_nIteration > 1 && m_nNodes >= m_nBudget) m_bAborted = true;
    if (m_bAborted) return 0;
    int nOther = 1 - c;
    if (m_pos.nFours[c]) return WIN - nPly;  // the five is there to complete
    if (m_pos.nOpen == 0) return 0;          // stalemate
    int nGaps[2];
    int nGapCount = m_pos.nFours[nOther] ? FourGaps(m_pos, nOther, nGaps) : 0;
    if (nGapCount == 2) return -(WIN - nPly - 1);
    if (nGapCount == 0 && nDepth <= 0) return Evaluate(c);

    TableEntry& entry = m_table[m_pos.nHash & ((size_t(1) << TABLE_BITS) - 1)];
    int nTableMove = -1;
    if (entry.nKey == m_pos.nHash) {
        nTableMove = entry.nMove;
        if (entry.nDepth >= nDepth) {
            int nStored = FromTable(entry.nValue, nPly);
            if (entry.nFlag == FLAG_EXACT) return nStored;
            if (entry.nFlag == FLAG_LOWER && nStored >= nBeta) return nStored;
            if (entry.nFlag == FLAG_UPPER && nStored <= nAlpha) return nStored;
        }
    }

    Candidate moves[BOARD_CELLS];
    int nMoves;
    int nNextDepth = nDepth - 1;
    if (nGapCount == 1) {
        moves[0] = {0, nGaps[0]};  // the four must be blocked; a forced reply costs no depth
        nMoves = 1;
        nNextDepth = nDepth;
    } else {
        nMoves = Candidates(c, moves, INNER_MOVES, nTableMove);
        if (nMoves == 0) return Evaluate(c);
    }

    int nAlphaIn = nAlpha;
    int nBest = -INFINITE_VALUE;
    int nBestMove = moves[0].nCell;
    for (int i = 0; i < nMoves; ++i) {
        Place(m_pos, moves[i].nCell, c);
        int nValue = -Search(nOther, nNextDepth, -nBeta, -nAlpha, nPly + 1);
        Remove(m_pos, moves[i].nCell);
        if (m_bAborted) return 0;
        if (nValue > nBest) {
            nBest = nValue;
            nBestMove = moves[i].nCell;
        }
        if (nValue > nAlpha) nAlpha = nValue;
        if (nAlpha >= nBeta) break;
    }

    entry.nKey = m_pos.nHash;
    entry.nValue = ToTable(nBest, nPly);
    entry.nDepth = static_cast<short>(nDepth);
    entry.nFlag = nBest <= nAlphaIn ? FLAG_UPPER : nBest >= nBeta ? FLAG_LOWER : FLAG_EXACT;
    entry.nMove = static_cast<signed char>(nBestMove);
    return nBest;
}

BoardPoint PointOf(int nCell)
{
    return {static_cast<short>(nCell / BOARD_LINES + 1), static_cast<short>(nCell % BOARD_LINES + 1)};
}

BoardPoint Searcher::Choose(short nColor, SearchReport& report)
{
    int c = nColor, nOther = 1 - nColor;
    int nGaps[2];
    // A five to complete is played at once; so is the block of a single four.
    if (m_pos.nFours[c] && FourGaps(m_pos, c, nGaps)) {
        report.nValue = WIN;
        return PointOf(nGaps[0]);
    }
    if (m_pos.nFours[nOther] && FourGaps(m_pos, nOther, nGaps) == 1) return PointOf(nGaps[0]);
    bool bEmptyBoard = true;
    for (signed char nCell : m_pos.nCell) bEmptyBoard = bEmptyBoard && nCell == CELL_EMPTY;
    if (bEmptyBoard) return {5, 5};

    Candidate moves[BOARD_CELLS];
    int nMoves = Candidates(c, moves, ROOT_MOVES, -1);
    if (nMoves == 0) {
        // Nothing can change the outcome any more: any empty intersection.
        for (int i = 0; i < BOARD_CELLS; ++i)
            if (m_pos.nCell[i] == CELL_EMPTY) return PointOf(i);
        return {0, 0};
    }
    int nBestMove = moves[0].nCell;
    for (m_nIteration = 1; m_nIteration <= MAX_DEPTH; ++m_nIteration) {
        int nAlpha = -INFINITE_VALUE;
        int nIterationMove = -1;
        for (int i = 0; i < nMoves; ++i) {
            Place(m_pos, moves[i].nCell, c);
            int nValue = -Search(nOther, m_nIteration - 1, -INFINITE_VALUE, -nAlpha, 1);
            Remove(m_pos, moves[i].nCell);
            if (m_bAborted) break;
            if (nValue > nAlpha) {
                nAlpha = nValue;
                nIterationMove = i;
            }
        }
        // An interrupted iteration still counts when it has found a move
        // better than the last one, which it searched first.
        if (nIterationMove >= 0 && (!m_bAborted || nIterationMove > 0)) {
            Candidate best = moves[nIterationMove];
            std::rotate(moves, moves + nIterationMove, moves + nIterationMove + 1);
            nBestMove = best.nCell;
            report.nValue = nAlpha;
            if (!m_bAborted) report.nDepth = m_nIteration;
        }
        if (m_bAborted || m_nNodes >= m_nBudget) break;
        if (nAlpha > PROVEN || nAlpha < -PROVEN) break;  // decided: deeper search cannot change it
    }
    report.nNodes = m_nNodes;
    return PointOf(nBestMove);
}

}  // namespace

BoardPoint ChooseMove(const Board& board, short nColor, unsigned nSeed, unsigned long nNodeBudget,
                      SearchReport* pReport)
{
    SearchReport report;
    BoardPoint pt = {0, 0};
    if (nColor == STONE_BLACK || nColor == STONE_WHITE) {
        Searcher searcher(board, nSeed, nNodeBudget);
        pt = searcher.Choose(nColor, report);
    }
    if (pReport) *pReport = report;
    return pt;
}

int ScoreBoard(const Board& board, short nColor)
{
    Position p;
    Load(p, board);
    int c = nColor == STONE_WHITE ? STONE_WHITE : STONE_BLACK;
    if (p.nFives[c]) return WIN;
    if (p.nFives[1 - c]) return -WIN;
    return p.nScore[c] - p.nScore[1 - c];
}
