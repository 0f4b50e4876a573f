#include "opponent/search.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "opponent/position.h"

namespace {

const int WIN = 1000000;        // a five now; a five n moves ahead is worth WIN - n
const int PROVEN = WIN - 1000;  // values beyond this are wins or losses found by the search
const int INFINITE_VALUE = WIN + 1;
const int TABLE_BITS = 17;      // 2 MB of remembered positions per game
const int THREAT_TABLE_BITS = 16;  // and 1 MB of threat search results
const int ROOT_MOVES = 24;      // candidates tried at the root
const int INNER_MOVES = 10;     // and below it
const unsigned long GUARD_CHECK_SHARE = 16;  // one check of the guard visits at most this share of the budget

// How each level plays. The threat searches count the moves of the side
// that attacks; a forced reply of the defender costs nothing.
struct LevelPlan {
    unsigned long nNodes;
    short nMaxDepth;       // alpha-beta iterations at most
    short nOwnFours;       // own forced win by fours alone, at most this many fours; 0: not looked for
    short nOwnThreats;     // own forced win by fours and threes, at most this many threats; 0: not looked for
    unsigned nOwnShare;    // each of the two own searches visits at most this share of the budget
    bool bGuard;           // keeps to moves after which the other side has no forced win (of the same kinds)
    unsigned nGuardShare;  // the guard's checks together visit at most this share of the budget
    short nThreatPlies;    // answers to threats of two fives at once searched this far past the horizon; 0: not at all
    unsigned nLesserOdds;  // one choice in this many goes to one of the nTop best moves at random; 0: never
    int nTop;
};

const LevelPlan kPlans[] = {
    {3000, 2, 0, 0, 4, false, 1, 0, 2, 4},      // LEVEL_NOVICE
    {30000, 6, 8, 0, 4, true, 1, 0, 8, 2},      // LEVEL_MIDDLE
    {100000, 30, 14, 6, 8, true, 4, 4, 0, 1},   // LEVEL_FULL
};

const LevelPlan& PlanOf(short nLevel)
{
    return kPlans[std::min(std::max(nLevel, LEVEL_NOVICE), LEVEL_FULL) - LEVEL_NOVICE];
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

// What the threat searches found of a position, for one attacker and one
// kind of search: the fewest threats with which the attacker wins, and the
// most with which it does not.
struct ThreatEntry {
    uint64_t nKey;
    signed char nWinsWith;   // THREATS_NONE: no win found yet
    signed char nFailsWith;  // -1: not known
};

const signed char THREATS_NONE = 127;

struct SearchMemory {
    std::vector<TableEntry> table = std::vector<TableEntry>(size_t(1) << TABLE_BITS);
    std::vector<ThreatEntry> threats = std::vector<ThreatEntry>(size_t(1) << THREAT_TABLE_BITS);
};

void SearchMemoryFree::operator()(SearchMemory* pMemory) const { delete pMemory; }

SearchMemoryPtr NewSearchMemory() { return SearchMemoryPtr(new SearchMemory); }

unsigned long LevelNodes(short nLevel) { return PlanOf(nLevel).nNodes; }

namespace {

class Searcher {
public:
    Searcher(const Board& board, unsigned nSeed, const LevelPlan& plan, unsigned long nBudget, SearchMemory& memory)
        : m_plan(plan), m_table(memory.table), m_threats(memory.threats), m_nBudget(nBudget), m_nSeed(nSeed)
    {
        LoadPosition(m_pos, board);
        for (int i = 0; i < BOARD_CELLS; ++i)
            m_nNoise[i] = static_cast<int>(Mix((static_cast<uint64_t>(nSeed) << 8) ^ static_cast<uint64_t>(i)) & 7);
    }

    BoardPoint Choose(short nColor, SearchReport& report);

private:
    int Search(int c, int nDepth, int nAlpha, int nBeta, int nPly);
    int Candidates(int c, CellSet cells, Candidate* pOut, int nLimit, int nFirst);
    int Evaluate(int c) const { return m_pos.nScore[c] - m_pos.nScore[1 - c]; }

    bool ForcedWin(int a, short nThreats, bool bThrees, unsigned long nLimit);
    bool AttackerWins(int a, int nLeft, bool bThrees);
    bool FindThreats(int a, int nLeft, bool bThrees);
    bool DefenderLoses(int a, int nLeft, bool bThrees);
    bool TryThreat(int a, int nCell, int nLeft, bool bThrees);
    bool ThreatsSpent() { return m_nNodes >= m_nThreatLimit; }
    bool RivalWins(int nRival);
    int KeepSafeMoves(int c, Candidate* moves, int nMoves);
    int IterativeDeepening(int c, Candidate* moves, int nMoves, SearchReport& report);

    const LevelPlan& m_plan;
    Position m_pos;
    std::vector<TableEntry>& m_table;
    std::vector<ThreatEntry>& m_threats;
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

// The attacker's result in the current position, remembered below the
// first threat (whose cell the search must find itself).
bool Searcher::AttackerWins(int a, int nLeft, bool bThrees)
{
    if (m_nThreatPly == 0) return FindThreats(a, nLeft, bThrees);
    uint64_t nKey = m_pos.nHash ^ Mix(static_cast<uint64_t>(a * 2 + bThrees));
    ThreatEntry& entry = m_threats[nKey & ((size_t(1) << THREAT_TABLE_BITS) - 1)];
    if (entry.nKey == nKey) {
        if (nLeft >= entry.nWinsWith) return true;
        if (nLeft <= entry.nFailsWith) return false;
    } else {
        entry = {nKey, THREATS_NONE, -1};
    }
    bool bWins = FindThreats(a, nLeft, bThrees);
    if (entry.nKey != nKey) return bWins;  // taken over by another position meanwhile
    if (bWins)
        entry.nWinsWith = static_cast<signed char>(std::min<int>(entry.nWinsWith, nLeft));
    else if (!ThreatsSpent())
        entry.nFailsWith = static_cast<signed char>(std::max<int>(entry.nFailsWith, nLeft));
    return bWins;
}

bool Searcher::FindThreats(int a, int nLeft, bool bThrees)
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
    int nMoves = ListCells(Raising(m_pos, a, 3), moves);
    for (int i = 0; i < nMoves; ++i)
        if (TryThreat(a, moves[i], nLeft - 1, bThrees)) return true;
    if (!bThrees) return false;
    nMoves = ListCells(Raising(m_pos, a, 2), moves);
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
    int replies[BOARD_CELLS];
    int nReplies = 0;
    if (nGapCount == 1) {
        replies[nReplies++] = nGaps[0];
    } else {
        CellSet stoppers;
        if (!bThrees || DoubleFourStoppers(m_pos, a, stoppers) == 0) return false;
        // Only a stone that spoils every double four, or a four of the
        // defender's own, keeps the double fours away.
        nReplies = ListCells(stoppers | Raising(m_pos, d, 3), replies);
    }
    for (int i = 0; i < nReplies; ++i) {
        Place(m_pos, replies[i], d);
        ++m_nThreatPly;
        bool bWins = AttackerWins(a, nLeft, bThrees);
        --m_nThreatPly;
        Remove(m_pos, replies[i]);
        if (!bWins) return false;
    }
    return true;
}

// The cells worth trying among `cells`, most promising first; nFirst (a
// cell, or -1) goes to the front.
int Searcher::Candidates(int c, CellSet cells, Candidate* pOut, int nLimit, int nFirst)
{
    int n = 0;
    while (cells.Any()) {
        int i = cells.First();
        cells.Drop(i);
        int nPromise = PromiseOf(m_pos, c, i);
        if (nPromise == 0) continue;  // in no open window: it can change nothing
        Candidate next = {i == nFirst ? INFINITE_VALUE : ((nPromise * 8 + m_nNoise[i]) << 7) + (BOARD_CELLS - i), i};
        if (n == nLimit && !ComesFirst(next, pOut[n - 1])) continue;
        int j = n < nLimit ? n++ : n - 1;
        for (; j > 0 && ComesFirst(next, pOut[j - 1]); --j) pOut[j] = pOut[j - 1];
        pOut[j] = next;
    }
    return n;
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
    // The other side threatens two fives at once next move (an open three
    // or the like): only an own four or a stone that spoils each of its
    // double fours can stop it. Past the horizon these replies are still searched,
    // a few moves deep.
    CellSet stoppers;
    bool bThreatened = m_plan.nThreatPlies > 0 && nGapCount == 0 && DoubleFourStoppers(m_pos, nOther, stoppers) > 0;
    if (nGapCount == 0 && nDepth <= 0 && (!bThreatened || nDepth <= -m_plan.nThreatPlies)) return Evaluate(c);

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
    } else if (bThreatened) {
        nMoves = Candidates(c, stoppers | Raising(m_pos, c, 3), moves, BOARD_CELLS, nTableMove);
        if (nMoves == 0) return -(WIN - nPly - 3);
    } else {
        nMoves = Candidates(c, m_pos.near & m_pos.empty, moves, INNER_MOVES, nTableMove);
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
    unsigned long nLimit = m_nBudget / GUARD_CHECK_SHARE;
    return ForcedWin(nRival, m_plan.nOwnFours, false, nLimit) || ForcedWin(nRival, m_plan.nOwnThreats, true, nLimit);
}

// The moves after which the rival has no forced win, in their order; all
// of them when every move leaves one (the game is lost, and the search
// picks the longest resistance).
int Searcher::KeepSafeMoves(int c, Candidate* moves, int nMoves)
{
    int nRival = 1 - c;
    if (!RivalWins(nRival)) return nMoves;  // even a pass leaves no forced win
    int nSafe = 0;
    // The checks leave the greater part of the budget to the alpha-beta
    // search: moves not reached when their share is spent stay unchecked.
    unsigned long nGuardEnd = m_nNodes + m_nBudget / m_plan.nGuardShare;
    for (int i = 0; i < nMoves; ++i) {
        bool bSafe = true;
        if (m_nNodes < nGuardEnd) {
            Place(m_pos, moves[i].nCell, c);
            bSafe = !RivalWins(nRival);
            Remove(m_pos, moves[i].nCell);
        }
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
    unsigned long nOwnLimit = m_nBudget / m_plan.nOwnShare;
    if (ForcedWin(c, m_plan.nOwnFours, false, nOwnLimit) || ForcedWin(c, m_plan.nOwnThreats, true, nOwnLimit)) {
        report.bForcedWin = true;
        report.nValue = WIN;
        report.nNodes = m_nNodes;
        return PointOf(m_nFirstThreat);
    }

    Candidate moves[BOARD_CELLS];
    int nMoves = Candidates(c, m_pos.near & m_pos.empty, moves, ROOT_MOVES, -1);
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
    LoadPosition(p, board);
    int c = nColor == STONE_WHITE ? STONE_WHITE : STONE_BLACK;
    if (p.nFives[c]) return WIN;
    if (p.nFives[1 - c]) return -WIN;
    return p.nScore[c] - p.nScore[1 - c];
}
