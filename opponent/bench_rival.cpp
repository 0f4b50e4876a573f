#include "opponent/bench_rival.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

const int WIN = 10000000;
const unsigned long OWN_SHARE = 8;      // each own threat search visits at most this share of the positions
const unsigned long CHECK_SHARE = 200;  // and each check of the other side's threats after a move this share
const unsigned long HORIZON_NODES = 200;  // the threat search at the horizon, this many

// How a rival plays. The threat searches count the moves of the side that
// attacks; the defender's forced replies cost nothing.
struct RivalPlan {
    int nDepth;            // plies, forced replies not counted
    unsigned long nNodes;  // a bound on the alpha-beta's positions; the threat searches take shares of it besides
    int nWidth;            // moves tried at each node
    int nFours;            // a win by at most this many fours in a row, looked for on both sides; 0: not at all
    int nThreats;          // a win by at most this many fours and open threes, likewise
    int nHorizonFours;     // at the search's horizon: the mover's win by at most this many fours
};

const RivalPlan kPlans[] = {
    {6, 60000, 9, 0, 0, 0},         // RIVAL_STRONG
    {8, 1000000, 10, 12, 5, 3},     // RIVAL_DEEP
};

// The lines of the board that can hold a five: rows, columns and the
// diagonals of five or more cells.
struct Line {
    int nLength;
    int nCells[9];
};

// What a line's contents (a number in base 3: a digit per cell, 0 empty, 1
// black, 2 white) mean for each colour.
struct Shape {
    bool bFive[2];
    unsigned char nWinCells[2];   // empty cells that would make a five
    bool bOpenThree[2];           // a cell would make two such cells
    unsigned char nFourMakers[2];  // cells that would make one
    unsigned char nThreeMakers[2];  // cells that would make an open three
    unsigned char nRoomy[2];       // stones in a stretch of five or more cells free of the other colour
    int nScore[2];
};

int Power3(int n)
{
    int p = 1;
    while (n-- > 0) p *= 3;
    return p;
}

int Digit(int nCode, int i) { return nCode / Power3(i) % 3; }

bool HasFive(int nCode, int nLength, int nDigit)
{
    int nRun = 0;
    for (int i = 0; i < nLength; ++i) {
        nRun = Digit(nCode, i) == nDigit ? nRun + 1 : 0;
        if (nRun >= 5) return true;
    }
    return false;
}

int CountRoomy(int nCode, int nLength, int nDigit)
{
    int nStones = 0;
    for (int i = 0; i < nLength;) {
        int j = i;
        int nOwn = 0;
        while (j < nLength && Digit(nCode, j) != 3 - nDigit) nOwn += Digit(nCode, j++) == nDigit;
        if (j - i >= 5) nStones += nOwn;
        i = j + 1;
    }
    return nStones;
}

int ScoreOf(const Shape& s, int c)
{
    if (s.bFive[c]) return WIN / 10;
    int n = s.nWinCells[c] >= 2 ? 40000 : s.nWinCells[c] * 2500;
    if (s.bOpenThree[c]) n += 1800;
    n += std::min<int>(s.nFourMakers[c], 3) * 120;
    n += std::min<int>(s.nThreeMakers[c], 4) * 35;
    return n + s.nRoomy[c] * 4;
}

// Shapes of every line length, built from the fullest lines down so that a
// line's shape can read those of the lines one stone fuller.
std::vector<Shape> BuildShapes(int nLength)
{
    int nCodes = Power3(nLength);
    std::vector<Shape> shapes(static_cast<size_t>(nCodes));
    for (int nCode = nCodes - 1; nCode >= 0; --nCode) {
        Shape& s = shapes[static_cast<size_t>(nCode)];
        s = Shape();
        for (int c = 0; c < 2; ++c) {
            int nDigit = c + 1;
            s.bFive[c] = HasFive(nCode, nLength, nDigit);
            s.nRoomy[c] = static_cast<unsigned char>(CountRoomy(nCode, nLength, nDigit));
            for (int i = 0; i < nLength; ++i) {
                if (Digit(nCode, i) != 0) continue;
                const Shape& after = shapes[static_cast<size_t>(nCode + nDigit * Power3(i))];
                if (after.bFive[c]) ++s.nWinCells[c];
                else if (after.nWinCells[c] >= 2) s.bOpenThree[c] = true;
                else if (after.nWinCells[c] == 1) ++s.nFourMakers[c];
                else if (after.bOpenThree[c]) ++s.nThreeMakers[c];
            }
        }
        for (int c = 0; c < 2; ++c) s.nScore[c] = ScoreOf(s, c);
    }
    return shapes;
}

struct Tables {
    std::vector<Line> lines;
    std::vector<int> linesOf[BOARD_CELLS];     // the lines through a cell
    std::vector<int> placesOf[BOARD_CELLS];    // the cell's place in each of them
    std::vector<Shape> shapes[10];             // by line length
};

Tables BuildRivalTables()
{
    Tables t;
    const int kSteps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
    for (const auto& step : kSteps) {
        for (int x = 0; x < BOARD_LINES; ++x) {
            for (int y = 0; y < BOARD_LINES; ++y) {
                // A line starts where the cell before it is off the board.
                int px = x - step[0], py = y - step[1];
                if (px >= 0 && px < BOARD_LINES && py >= 0 && py < BOARD_LINES) continue;
                Line line = {};
                for (int cx = x, cy = y; cx >= 0 && cx < BOARD_LINES && cy >= 0 && cy < BOARD_LINES;
                     cx += step[0], cy += step[1])
                    line.nCells[line.nLength++] = cx * BOARD_LINES + cy;
                if (line.nLength < 5) continue;
                for (int i = 0; i < line.nLength; ++i) {
                    t.linesOf[line.nCells[i]].push_back(static_cast<int>(t.lines.size()));
                    t.placesOf[line.nCells[i]].push_back(i);
                }
                t.lines.push_back(line);
            }
        }
    }
    for (int n = 5; n <= 9; ++n) t.shapes[n] = BuildShapes(n);
    return t;
}

const Tables& RivalTables()
{
    static const Tables t = BuildRivalTables();
    return t;
}

class RivalSearch {
public:
    RivalSearch(const Board& board, unsigned nNoise, const RivalPlan& plan)
        : m_t(RivalTables()), m_plan(plan), m_nNoise(nNoise)
    {
        m_codes.assign(m_t.lines.size(), 0);
        for (int i = 0; i < BOARD_CELLS; ++i) {
            m_nCell[i] = -1;
            if (board.nBoard[i] == STONE_BLACK || board.nBoard[i] == STONE_WHITE) Put(i, board.nBoard[i]);
        }
    }

    int Best(int c);

private:
    const Shape& ShapeOf(int nLine) const
    {
        return m_t.shapes[m_t.lines[static_cast<size_t>(nLine)].nLength][static_cast<size_t>(m_codes[static_cast<size_t>(nLine)])];
    }
    // The shape line j through nCell would have with a stone of c there.
    const Shape& ShapeWith(int nCell, size_t j, int c) const
    {
        int nLine = m_t.linesOf[nCell][j];
        int nCode = m_codes[static_cast<size_t>(nLine)] + (c + 1) * Power3(m_t.placesOf[nCell][j]);
        return m_t.shapes[m_t.lines[static_cast<size_t>(nLine)].nLength][static_cast<size_t>(nCode)];
    }

    // Adds nSign times line nLine's shape to the running totals.
    void Count(int nLine, int nSign)
    {
        const Shape& s = ShapeOf(nLine);
        for (int c = 0; c < 2; ++c) {
            m_nTotal[c] += nSign * s.nScore[c];
            m_nWinLines[c] += nSign * (s.nWinCells[c] > 0);
            m_nThreeLines[c] += nSign * s.bOpenThree[c];
        }
    }
    void Change(int nCell, int nDelta)
    {
        const std::vector<int>& lines = m_t.linesOf[nCell];
        for (size_t j = 0; j < lines.size(); ++j) {
            Count(lines[j], -1);
            m_codes[static_cast<size_t>(lines[j])] += nDelta * Power3(m_t.placesOf[nCell][j]);
            Count(lines[j], +1);
        }
    }
    void Put(int nCell, int c)
    {
        m_nCell[nCell] = static_cast<signed char>(c);
        Change(nCell, c + 1);
    }
    void Take(int nCell)
    {
        Change(nCell, -(m_nCell[nCell] + 1));
        m_nCell[nCell] = -1;
    }

    // The change to c's shapes, and to the other colour's, if c played nCell.
    int Gain(int nCell, int c)
    {
        int nOwn = -m_nTotal[c], nTheirs = m_nTotal[1 - c];
        Put(nCell, c);
        nOwn += m_nTotal[c];
        nTheirs -= m_nTotal[1 - c];
        Take(nCell);
        return nOwn + nTheirs;
    }

    bool MakesFive(int nCell, int c) const
    {
        for (size_t j = 0; j < m_t.linesOf[nCell].size(); ++j)
            if (ShapeWith(nCell, j, c).bFive[c]) return true;
        return false;
    }
    // A stone of c at nCell gives some line more cells that make a five.
    bool MakesFour(int nCell, int c) const
    {
        for (size_t j = 0; j < m_t.linesOf[nCell].size(); ++j)
            if (ShapeWith(nCell, j, c).nWinCells[c] > ShapeOf(m_t.linesOf[nCell][j]).nWinCells[c]) return true;
        return false;
    }
    bool MakesOpenThree(int nCell, int c) const
    {
        for (size_t j = 0; j < m_t.linesOf[nCell].size(); ++j)
            if (ShapeWith(nCell, j, c).bOpenThree[c] && !ShapeOf(m_t.linesOf[nCell][j]).bOpenThree[c]) return true;
        return false;
    }

    bool Near(int nCell) const
    {
        int x = nCell / BOARD_LINES, y = nCell % BOARD_LINES;
        for (int dx = -2; dx <= 2; ++dx)
            for (int dy = -2; dy <= 2; ++dy) {
                int nx = x + dx, ny = y + dy;
                if (nx >= 0 && nx < BOARD_LINES && ny >= 0 && ny < BOARD_LINES && m_nCell[nx * BOARD_LINES + ny] >= 0) return true;
            }
        return false;
    }

    // The distinct empty cells that complete a five for c, at most two.
    int WinCells(int c, int nOut[2]) const;

    int Moves(int c, int* pOut, int nPly, int nWidth);
    int Search(int c, int nDepth, int nAlpha, int nBeta, int nPly);
    int KeepSafe(int c, int* moves, int nMoves);

    int WinningThreat(int a, int nLeft, bool bThrees);
    bool DefenderLoses(int a, int nLeft, bool bThrees);
    int ThreatWin(int a, int nLeft, bool bThrees, unsigned long nNodes);
    bool OpponentWins(int a);

    const Tables& m_t;
    const RivalPlan& m_plan;
    unsigned m_nNoise;
    signed char m_nCell[BOARD_CELLS];
    std::vector<int> m_codes;
    int m_nTotal[2] = {0, 0};
    int m_nWinLines[2] = {0, 0};    // lines with a cell that makes a five
    int m_nThreeLines[2] = {0, 0};  // lines with an open three
    unsigned long m_nNodes = 0;
    unsigned long m_nThreatEnd = 0;  // where the running threat search gives up
};

int RivalSearch::WinCells(int c, int nOut[2]) const
{
    int n = 0;
    for (size_t i = 0; i < m_codes.size() && n < 2 && m_nWinLines[c] > 0; ++i) {
        if (ShapeOf(static_cast<int>(i)).nWinCells[c] == 0) continue;
        const Line& line = m_t.lines[i];
        for (int k = 0; k < line.nLength && n < 2; ++k) {
            int nCell = line.nCells[k];
            if (m_nCell[nCell] < 0 && MakesFive(nCell, c) && (n == 0 || nOut[0] != nCell)) nOut[n++] = nCell;
        }
    }
    return n;
}

// The moves worth trying for c, best first: a five; else the blocks of the
// other's five; else, when the other has an open three, the moves that
// break it and c's own fours; else the cells near stones by their gain.
int RivalSearch::Moves(int c, int* pOut, int nPly, int nWidth)
{
    int nOther = 1 - c;
    int n = 0;
    for (int i = 0; i < BOARD_CELLS; ++i)
        if (m_nCell[i] < 0 && MakesFive(i, c)) {
            pOut[0] = i;
            return 1;
        }
    for (int i = 0; i < BOARD_CELLS; ++i)
        if (m_nCell[i] < 0 && MakesFive(i, nOther)) pOut[n++] = i;
    if (n > 0) return n;
    int nThreesBefore = m_nThreeLines[nOther];
    std::vector<std::pair<int, int>> scored;
    // Against an open three only the moves that break it or make a four
    // count, unless none does.
    for (int nPass = nThreesBefore > 0 ? 0 : 1; nPass < 2 && scored.empty(); ++nPass) {
        for (int i = 0; i < BOARD_CELLS; ++i) {
            if (m_nCell[i] >= 0 || !Near(i)) continue;
            if (nPass == 0) {
                Put(i, c);
                bool bBreaks = m_nThreeLines[nOther] < nThreesBefore || m_nWinLines[c] > 0;
                Take(i);
                if (!bBreaks) continue;
            }
            int nGain = Gain(i, c);
            if (nPly == 0 && m_nNoise) nGain += static_cast<int>((m_nNoise * 2654435761u + static_cast<unsigned>(i) * 40503u) >> 26);
            scored.push_back({nGain, i});
        }
    }
    std::sort(scored.begin(), scored.end(), [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (size_t k = 0; k < scored.size() && n < nWidth; ++k) pOut[n++] = scored[k].second;
    return n;
}

// The attacker a, to move: the cell that begins a win by at most nLeft
// threats (fours, and with bThrees open threes too), each of which the
// defender must answer; -1 when none is found within the positions allowed.
int RivalSearch::WinningThreat(int a, int nLeft, bool bThrees)
{
    if (++m_nNodes > m_nThreatEnd) return -1;
    int nCells[2];
    if (WinCells(a, nCells) > 0) return nCells[0];
    int nBlocks = WinCells(1 - a, nCells);
    if (nBlocks > 1) return -1;
    if (nBlocks == 1) {  // the defender's four must be blocked; the block goes on only as a threat itself
        Put(nCells[0], a);
        bool bWins = DefenderLoses(a, nLeft, bThrees);
        Take(nCells[0]);
        return bWins ? nCells[0] : -1;
    }
    if (nLeft <= 0) return -1;
    for (int nKind = 0; nKind < (bThrees ? 2 : 1); ++nKind) {
        for (int i = 0; i < BOARD_CELLS; ++i) {
            if (m_nCell[i] >= 0 || MakesFour(i, a) != (nKind == 0) || (nKind == 1 && !MakesOpenThree(i, a))) continue;
            Put(i, a);
            bool bWins = DefenderLoses(a, nLeft - 1, bThrees);
            Take(i);
            if (bWins) return i;
            if (m_nNodes > m_nThreatEnd) return -1;
        }
    }
    return -1;
}

// The defender, to move after the attacker's threat: every reply that
// could matter is tried (the block of a four; against open threes the
// cells that break them, and the defender's own fours), and the attacker
// must win after each.
bool RivalSearch::DefenderLoses(int a, int nLeft, bool bThrees)
{
    if (++m_nNodes > m_nThreatEnd) return false;
    int d = 1 - a;
    int nCells[2];
    if (m_nWinLines[d] > 0) return false;  // the defender completes a five first
    int nGaps = WinCells(a, nCells);
    if (nGaps > 1) return true;
    std::vector<int> replies;
    if (nGaps == 1) {
        replies.push_back(nCells[0]);
    } else {
        if (!bThrees || m_nThreeLines[a] == 0) return false;
        for (int i = 0; i < BOARD_CELLS; ++i) {
            if (m_nCell[i] >= 0) continue;
            Put(i, d);
            bool bAnswers = m_nThreeLines[a] == 0 || m_nWinLines[d] > 0;
            Take(i);
            if (bAnswers) replies.push_back(i);
        }
    }
    for (int nReply : replies) {
        Put(nReply, d);
        bool bWins = WinningThreat(a, nLeft, bThrees) >= 0;
        Take(nReply);
        if (!bWins) return false;
    }
    return true;
}

// A win for a by fours alone or by fours and threes, as the plan allows,
// within nNodes more positions: the cell to play, or -1.
int RivalSearch::ThreatWin(int a, int nLeft, bool bThrees, unsigned long nNodes)
{
    if (nLeft <= 0) return -1;
    m_nThreatEnd = m_nNodes + nNodes;
    return WinningThreat(a, nLeft, bThrees);
}

// Has a, to move, a win by fours, or by fours and threes, that a check finds?
bool RivalSearch::OpponentWins(int a)
{
    unsigned long nCheck = m_plan.nNodes / CHECK_SHARE;
    return ThreatWin(a, m_plan.nFours, false, nCheck) >= 0 || ThreatWin(a, m_plan.nThreats, true, nCheck) >= 0;
}

// The moves after which the other side has no win by threats, in their
// order; all of them when each leaves one.
int RivalSearch::KeepSafe(int c, int* moves, int nMoves)
{
    int nSafe = 0;
    for (int i = 0; i < nMoves; ++i) {
        Put(moves[i], c);
        bool bSafe = !OpponentWins(1 - c);
        Take(moves[i]);
        if (bSafe) moves[nSafe++] = moves[i];
    }
    return nSafe > 0 ? nSafe : nMoves;
}

int RivalSearch::Search(int c, int nDepth, int nAlpha, int nBeta, int nPly)
{
    ++m_nNodes;
    int nOther = 1 - c;
    if (m_nWinLines[c] > 0) return WIN - nPly;
    if (m_nWinLines[nOther] == 0 && m_nThreeLines[c] > 0) return WIN - nPly - 2;
    if (nDepth <= 0 || m_nNodes > m_plan.nNodes) {
        if (m_plan.nHorizonFours > 0 && m_nWinLines[nOther] == 0 && m_nNodes <= m_plan.nNodes &&
            ThreatWin(c, m_plan.nHorizonFours, false, HORIZON_NODES) >= 0)
            return WIN - nPly - 2 * m_plan.nHorizonFours;
        return m_nTotal[c] - m_nTotal[nOther] * 11 / 10;
    }
    int moves[BOARD_CELLS];
    int nMoves = Moves(c, moves, nPly, m_plan.nWidth);
    if (nMoves == 0) return 0;
    bool bForced = m_nWinLines[nOther] > 0;
    if (bForced && nMoves > 1) return -(WIN - nPly - 1);
    int nBest = -WIN - 1;
    for (int i = 0; i < nMoves; ++i) {
        Put(moves[i], c);
        int nValue = -Search(nOther, bForced ? nDepth : nDepth - 1, -nBeta, -nAlpha, nPly + 1);
        Take(moves[i]);
        nBest = std::max(nBest, nValue);
        nAlpha = std::max(nAlpha, nValue);
        if (nAlpha >= nBeta) break;
    }
    return nBest;
}

// The move for c: an own win by threats when there is one; else the
// alpha-beta search, deepened two plies at a time, over the moves after
// which the other side has no such win (when it would have one given the
// move).
int RivalSearch::Best(int c)
{
    int moves[BOARD_CELLS];
    bool bThreatened = m_nWinLines[1 - c] > 0;
    if (!bThreatened) {
        unsigned long nOwn = m_plan.nNodes / OWN_SHARE;
        int nWin = ThreatWin(c, m_plan.nFours, false, nOwn);
        if (nWin < 0) nWin = ThreatWin(c, m_plan.nThreats, true, nOwn);
        if (nWin >= 0) return nWin;
    }
    bool bGuard = !bThreatened && (m_plan.nFours > 0 || m_plan.nThreats > 0) && OpponentWins(1 - c);
    int nMoves = Moves(c, moves, 0, bGuard ? BOARD_CELLS : m_plan.nWidth);
    if (nMoves == 0) {
        for (int i = 0; i < BOARD_CELLS; ++i)
            if (m_nCell[i] < 0) return i;
        return -1;
    }
    if (bGuard) nMoves = std::min(KeepSafe(c, moves, nMoves), m_plan.nWidth);
    int nBestMove = moves[0];
    m_nNodes = 0;  // the threat searches had their own shares
    for (int nDepth = 2; nDepth <= m_plan.nDepth && m_nNodes <= m_plan.nNodes; nDepth += 2) {
        int nAlpha = -WIN - 1, nIterationMove = moves[0];
        for (int i = 0; i < nMoves; ++i) {
            Put(moves[i], c);
            int nValue = -Search(1 - c, nDepth - 1, -WIN - 1, -nAlpha, 1);
            Take(moves[i]);
            if (nValue > nAlpha) {
                nAlpha = nValue;
                nIterationMove = moves[i];
            }
        }
        if (m_nNodes > m_plan.nNodes) break;  // an unfinished depth is not trusted
        nBestMove = nIterationMove;
        std::rotate(moves, std::find(moves, moves + nMoves, nBestMove), std::find(moves, moves + nMoves, nBestMove) + 1);
        if (nAlpha > WIN / 2 || nAlpha < -WIN / 2) break;
    }
    return nBestMove;
}

}  // namespace

BoardPoint RivalMove(const Board& board, short nColor, unsigned nNoise, RivalKind kind)
{
    bool bEmpty = true;
    for (short n : board.nBoard) bEmpty = bEmpty && n == CELL_EMPTY;
    if (bEmpty) return {5, 5};
    RivalSearch search(board, nNoise, kPlans[kind]);
    int nCell = search.Best(nColor);
    if (nCell < 0) return {0, 0};
    return {static_cast<short>(nCell / BOARD_LINES + 1), static_cast<short>(nCell % BOARD_LINES + 1)};
}
