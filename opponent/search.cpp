#include "opponent/search.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

const int WINDOWS = 140;        // runs of five on a 9 by 9 board: 45 rows, 45 columns, 50 diagonals
const int WINDOW_LENGTH = 5;
const int MAX_CELL_WINDOWS = 20;  // 4 directions, 5 windows each at most
const int WIN = 1000000;        // a five now; a five n moves ahead is worth WIN - n
const int PROVEN = WIN - 1000;  // values beyond this are wins or losses found by the search
const int INFINITE_VALUE = WIN + 1;
const int TABLE_BITS = 17;      // 2 MB of remembered positions per game
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

// How each level plays. The threat searches count the moves of the side
// that attacks; a forced reply of the defender costs nothing.
struct LevelPlan {
    unsigned long nNodes;
    short nMaxDepth;       // alpha-beta iterations at most
    short nOwnFours;       // own forced win by fours alone, at most this many fours; 0: not looked for
    short nOwnThreats;     // own forced win by fours and threes, at most this many threats; 0: not looked for
    bool bGuard;           // keeps to moves after which the other side has no forced win (of the same kinds)
    unsigned nLesserOdds;  // one choice in this many goes to one of the nTop best moves at random; 0: never
    int nTop;
};

const LevelPlan kPlans[] = {
    {3000, 2, 0, 0, false, 2, 4},      // LEVEL_NOVICE
    {30000, 6, 8, 0, true, 8, 2},      // LEVEL_MIDDLE
    {100000, 30, 14, 6, true, 0, 1},   // LEVEL_FULL
};

const LevelPlan& PlanOf(short nLevel)
{
    return kPlans[std::min(std::max(nLevel, LEVEL_NOVICE), LEVEL_FULL) - LEVEL_NOVICE];
}

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
    int nThrees[2] = {0, 0};  // open windows of three: each a four in one move
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
    if (k == 3) p.nThrees[c] += nSign;
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

// The empty cells of c's open windows that hold nStones stones: with three,
// the cells that make a four; with two, those that make a three.
int WindowMoves(const Position& p, int c, int nStones, int* pOut)
{
    const WindowTables& t = kTables;
    bool bTaken[BOARD_CELLS] = {};
    int n = 0;
    for (int w = 0; w < WINDOWS; ++w) {
        if (p.nCount[w][c] != nStones || p.nCount[w][1 - c] != 0) continue;
        for (int nCell : t.nCells[w]) {
            if (p.nCell[nCell] != CELL_EMPTY || bTaken[nCell]) continue;
            bTaken[nCell] = true;
            pOut[n++] = nCell;
        }
    }
    return n;
}

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
            if (nGap < 0) nGap = nOther;
            else if (nGap != nOther) return 2;
        }
    }
    return nGap < 0 ? 0 : 1;
}

// A cell where c, having no four yet, makes two fives possible at once: the
// other side can block only one.
int DoubleFourMove(const Position& p, int c)
{
    if (p.nThrees[c] < 2) return -1;
    int moves[BOARD_CELLS];
    int n = WindowMoves(p, c, 3, moves);
    for (int i = 0; i < n; ++i)
        if (GapsAfter(p, moves[i], c) == 2) return moves[i];
    return -1;
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

BoardPoint PointOf(int nCell)
{
    return {static_cast<short>(nCell / BOARD_LINES + 1), static_cast<short>(nCell % BOARD_LINES + 1)};
}

}  // namespace

struct SearchMemory {
    std::vector<TableEntry> table = std::vector<TableEntry>(size_t(1) << TABLE_BITS);
};

void SearchMemoryFree::operator()(SearchMemory* pMemory) const { delete pMemory; }

SearchMemoryPtr NewSearchMemory() { return SearchMemoryPtr(new SearchMemory); }

unsigned long LevelNodes(short nLevel) { return PlanOf(nLevel).nNodes; }

namespace {

class Searcher {
public:
    Searcher(const Board& board, unsigned nSeed, const LevelPlan& plan, unsigned long nBudget, SearchMemory& memory)
        : m_plan(plan), m_table(memory.table), m_nBudget(nBudget), m_nSeed(nSeed)
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

    bool ForcedWin(int a, short nThreats, bool bThrees, unsigned long nLimit);
    bool AttackerWins(int a, int nLeft, bool bThrees);
    bool DefenderLoses(int a, int nLeft, bool bThrees);
    bool TryThreat(int a, int nCell, int nLeft, bool bThrees);
    bool ThreatsSpent() { return m_nNodes >= m_nThreatLimit; }
    bool RivalWins(int nRival);
    int KeepSafeMoves(int c, Candidate* moves, int nMoves);
    int IterativeDeepening(int c, Candidate* moves, int nMoves, SearchReport& report);

    const LevelPlan& m_plan;
    Position m_pos;
    std::vector<TableEntry>& m_table;
    unsigned long m_nBudget;
    unsigned long m_nNodes = 0;
    unsigned long m_nThreatLimit = 0;
    int m_nThreatPly = 0;    // attacker and defender moves made by the threat search so far
    int m_nFirstThreat = -1; // the first move of the last forced win found
    bool m_bAborted = false;
    short m_nIteration = 0;
    unsigned m_nSeed;
    int m_nNoise[BOARD_CELLS];
};

// Does the attacker a, to move, have a forced win of at most nThreats
// threats (fours, and with bThrees threes too)? At most nLimit more
// positions are visited; a search that runs out finds no win.
bool Searcher::ForcedWin(int a, short nThreats, bool bThrees, unsigned long nLimit)
{
    if (nThreats <= 0) return false;
    m_nThreatLimit = std::min(m_nNodes + nLimit, m_nBudget);
    m_nThreatPly = 0;
    m_nFirstThreat = -1;
    return AttackerWins(a, nThreats, bThrees);
}

bool Searcher::TryThreat(int a, int nCell, int nLeft, bool bThrees)
{
    Place(m_pos, nCell, a);
    ++m_nThreatPly;
    bool bWins = DefenderLoses(a, nLeft, bThrees);
    --m_nThreatPly;
    Remove(m_pos, nCell);
    if (bWins && m_nThreatPly == 0) m_nFirstThreat = nCell;
    return bWins;
}

bool Searcher::AttackerWins(int a, int nLeft, bool bThrees)
{
    ++m_nNodes;
    if (ThreatsSpent()) return false;
    int d = 1 - a;
    if (m_pos.nFours[a]) return true;  // the five is there to complete
    int nGaps[2];
    int nGapCount = m_pos.nFours[d] ? FourGaps(m_pos, d, nGaps) : 0;
    if (nGapCount == 2) return false;
    // The defender's four must be blocked; the block goes on only if it is a threat itself.
    if (nGapCount == 1) return TryThreat(a, nGaps[0], nLeft, bThrees);
    int nDouble = DoubleFourMove(m_pos, a);
    if (nDouble >= 0) {
        if (m_nThreatPly == 0) m_nFirstThreat = nDouble;
        return true;
    }
    if (nLeft <= 0) return false;
    int moves[BOARD_CELLS];
    int nMoves = WindowMoves(m_pos, a, 3, moves);
    for (int i = 0; i < nMoves; ++i)
        if (TryThreat(a, moves[i], nLeft - 1, bThrees)) return true;
    if (!bThrees) return false;
    nMoves = WindowMoves(m_pos, a, 2, moves);
    for (int i = 0; i < nMoves; ++i) {
        // A three: a move after which a double four is ready.
        ++m_nNodes;
        Place(m_pos, moves[i], a);
        bool bThree = m_pos.nFours[a] == 0 && DoubleFourMove(m_pos, a) >= 0;
        Remove(m_pos, moves[i]);
        if (bThree && TryThreat(a, moves[i], nLeft - 1, bThrees)) return true;
        if (ThreatsSpent()) return false;
    }
    return false;
}

// The defender to move, after the attacker's threat: every reply that could
// matter is tried, and the attacker must win after each.
bool Searcher::DefenderLoses(int a, int nLeft, bool bThrees)
{
    ++m_nNodes;
    if (ThreatsSpent()) return false;
    int d = 1 - a;
    if (m_pos.nFours[d]) return false;  // the defender completes a five first
    int nGaps[2];
    int nGapCount = m_pos.nFours[a] ? FourGaps(m_pos, a, nGaps) : 0;
    if (nGapCount == 2) return true;
    int replies[2 * BOARD_CELLS];
    int nReplies = 0;
    if (nGapCount == 1) {
        replies[nReplies++] = nGaps[0];
    } else {
        if (!bThrees || DoubleFourMove(m_pos, a) < 0) return false;
        // Only a stone in one of the attacker's windows of three, or a
        // four of the defender's own, keeps the double four away.
        nReplies = WindowMoves(m_pos, a, 3, replies);
        nReplies += WindowMoves(m_pos, d, 3, replies + nReplies);
    }
    for (int i = 0; i < nReplies; ++i) {
        if (std::find(replies, replies + i, replies[i]) != replies + i) continue;  // listed twice
        Place(m_pos, replies[i], d);
        ++m_nThreatPly;
        bool bWins = AttackerWins(a, nLeft, bThrees);
        --m_nThreatPly;
        Remove(m_pos, replies[i]);
        if (!bWins) return false;
    }
    return true;
}

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
    if (nGapCount == 0 && DoubleFourMove(m_pos, c) >= 0) return WIN - nPly - 2;
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

// Has nRival, to move, a forced win of the kinds this level looks for?
bool Searcher::RivalWins(int nRival)
{
    unsigned long nLimit = m_nBudget / 64;
    return ForcedWin(nRival, m_plan.nOwnFours, false, nLimit) ||
           ForcedWin(nRival, m_plan.nOwnThreats, true, nLimit);
}

// The moves after which the rival has no forced win, in their order; all
// of them when every move leaves one (the game is lost, and the search
// picks the longest resistance).
int Searcher::KeepSafeMoves(int c, Candidate* moves, int nMoves)
{
    int nRival = 1 - c;
    if (!RivalWins(nRival)) return nMoves;  // even a pass leaves no forced win
    int nSafe = 0;
    for (int i = 0; i < nMoves; ++i) {
        Place(m_pos, moves[i].nCell, c);
        bool bSafe = !RivalWins(nRival);
        Remove(m_pos, moves[i].nCell);
        if (bSafe) moves[nSafe++] = moves[i];
    }
    return nSafe > 0 ? nSafe : nMoves;
}

// The alpha-beta search of the root moves, one depth after another; the
// best move goes to the front. Returns the number of iterations completed.
int Searcher::IterativeDeepening(int c, Candidate* moves, int nMoves, SearchReport& report)
{
    int nOther = 1 - c;
    for (m_nIteration = 1; m_nIteration <= m_plan.nMaxDepth; ++m_nIteration) {
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
            std::rotate(moves, moves + nIterationMove, moves + nIterationMove + 1);
            report.nValue = nAlpha;
            if (!m_bAborted) report.nDepth = m_nIteration;
        }
        if (m_bAborted || m_nNodes >= m_nBudget) break;
        if (nAlpha > PROVEN || nAlpha < -PROVEN) break;  // decided: deeper search cannot change it
    }
    return report.nDepth;
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

    // An own forced win: by fours alone, then by fours and threes.
    if (ForcedWin(c, m_plan.nOwnFours, false, m_nBudget / 4) || ForcedWin(c, m_plan.nOwnThreats, true, m_nBudget / 4)) {
        report.bForcedWin = true;
        report.nValue = WIN;
        report.nNodes = m_nNodes;
        return PointOf(m_nFirstThreat);
    }

    Candidate moves[BOARD_CELLS];
    int nMoves = Candidates(c, moves, ROOT_MOVES, -1);
    if (nMoves == 0) {
        // Nothing can change the outcome any more: any empty intersection.
        for (int i = 0; i < BOARD_CELLS; ++i)
            if (m_pos.nCell[i] == CELL_EMPTY) return PointOf(i);
        return {0, 0};
    }
    if (m_plan.bGuard) nMoves = KeepSafeMoves(c, moves, nMoves);
    IterativeDeepening(c, moves, nMoves, report);
    report.nNodes = m_nNodes;
    // The lesser moves of the lower levels: now and then one of the best
    // few, the same for the same position and seed.
    uint64_t nDraw = Mix(m_pos.nHash ^ m_nSeed);
    if (m_plan.nLesserOdds > 0 && nDraw % m_plan.nLesserOdds == 0)
        return PointOf(moves[(nDraw >> 16) % static_cast<uint64_t>(std::min(nMoves, m_plan.nTop))].nCell);
    return PointOf(moves[0].nCell);
}

}  // namespace

BoardPoint ChooseMove(const Board& board, short nColor, unsigned nSeed, const SearchSettings& settings,
                      SearchReport* pReport)
{
    SearchReport report;
    BoardPoint pt = {0, 0};
    if (nColor == STONE_BLACK || nColor == STONE_WHITE) {
        const LevelPlan& plan = PlanOf(settings.nLevel);
        SearchMemoryPtr own;
        SearchMemory* pMemory = settings.pMemory;
        if (pMemory == nullptr) {
            own = NewSearchMemory();
            pMemory = own.get();
        }
        Searcher searcher(board, nSeed, plan, settings.nNodes ? settings.nNodes : plan.nNodes, *pMemory);
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
