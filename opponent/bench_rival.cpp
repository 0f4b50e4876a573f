#include "opponent/bench_rival.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

const int DEPTH = 6;                // plies, forced replies not counted
const unsigned long NODES = 60000;  // a bound on the work of one move
const int WIDTH = 9;                // moves tried at each node
const int WIN = 10000000;

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
    RivalSearch(const Board& board, unsigned nNoise) : m_t(RivalTables()), m_nNoise(nNoise)
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

    void Change(int nCell, int nDelta)
    {
        const std::vector<int>& lines = m_t.linesOf[nCell];
        for (size_t j = 0; j < lines.size(); ++j) {
            size_t nLine = static_cast<size_t>(lines[j]);
            for (int c = 0; c < 2; ++c) m_nTotal[c] -= ShapeOf(lines[j]).nScore[c];
            m_codes[nLine] += nDelta * Power3(m_t.placesOf[nCell][j]);
            for (int c = 0; c < 2; ++c) m_nTotal[c] += ShapeOf(lines[j]).nScore[c];
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

    bool MakesFive(int nCell, int c)
    {
        for (size_t j = 0; j < m_t.linesOf[nCell].size(); ++j) {
            int nLine = m_t.linesOf[nCell][j];
            int nCode = m_codes[static_cast<size_t>(nLine)] + (c + 1) * Power3(m_t.placesOf[nCell][j]);
            if (m_t.shapes[m_t.lines[static_cast<size_t>(nLine)].nLength][static_cast<size_t>(nCode)].bFive[c]) return true;
        }
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

    int OpenThrees(int c) const
    {
        int n = 0;
        for (size_t i = 0; i < m_codes.size(); ++i) n += ShapeOf(static_cast<int>(i)).bOpenThree[c];
        return n;
    }
    int WinLines(int c) const
    {
        int n = 0;
        for (size_t i = 0; i < m_codes.size(); ++i) n += ShapeOf(static_cast<int>(i)).nWinCells[c] > 0;
        return n;
    }

    int Moves(int c, int* pOut, int nPly);
    int Search(int c, int nDepth, int nAlpha, int nBeta, int nPly);

    const Tables& m_t;
    unsigned m_nNoise;
    signed char m_nCell[BOARD_CELLS];
    std::vector<int> m_codes;
    int m_nTotal[2] = {0, 0};
    unsigned long m_nNodes = 0;
};

// The moves worth trying for c, best first: a five; else the blocks of the
// other's five; else, when the other has an open three, the moves that
// break it and c's own fours; else the cells near stones by their gain.
int RivalSearch::Moves(int c, int* pOut, int nPly)
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
    int nThreesBefore = OpenThrees(nOther);
    std::vector<std::pair<int, int>> scored;
    // Against an open three only the moves that break it or make a four
    // count, unless none does.
    for (int nPass = nThreesBefore > 0 ? 0 : 1; nPass < 2 && scored.empty(); ++nPass) {
        for (int i = 0; i < BOARD_CELLS; ++i) {
            if (m_nCell[i] >= 0 || !Near(i)) continue;
            if (nPass == 0) {
                Put(i, c);
                bool bBreaks = OpenThrees(nOther) < nThreesBefore || WinLines(c) > 0;
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
    for (size_t k = 0; k < scored.size() && n < WIDTH; ++k) pOut[n++] = scored[k].second;
    return n;
}

int RivalSearch::Search(int c, int nDepth, int nAlpha, int nBeta, int nPly)
{
    ++m_nNodes;
    int nOther = 1 - c;
    if (WinLines(c) > 0) return WIN - nPly;
    if (WinLines(nOther) == 0 && OpenThrees(c) > 0) return WIN - nPly - 2;
    if (nDepth <= 0 || m_nNodes > NODES) return m_nTotal[c] - m_nTotal[nOther] * 11 / 10;
    int moves[BOARD_CELLS];
    int nMoves = Moves(c, moves, nPly);
    if (nMoves == 0) return 0;
    bool bForced = WinLines(nOther) > 0;
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

int RivalSearch::Best(int c)
{
    int moves[BOARD_CELLS];
    int nMoves = Moves(c, moves, 0);
    if (nMoves == 0) {
        for (int i = 0; i < BOARD_CELLS; ++i)
            if (m_nCell[i] < 0) return i;
        return -1;
    }
    int nBestMove = moves[0];
    for (int nDepth = 2; nDepth <= DEPTH && m_nNodes <= NODES; nDepth += 2) {
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
        if (m_nNodes > NODES) break;  // an unfinished depth is not trusted
        nBestMove = nIterationMove;
        std::rotate(moves, std::find(moves, moves + nMoves, nBestMove), std::find(moves, moves + nMoves, nBestMove) + 1);
        if (nAlpha > WIN / 2 || nAlpha < -WIN / 2) break;
    }
    return nBestMove;
}

}  // namespace

BoardPoint RivalMove(const Board& board, short nColor, unsigned nNoise)
{
    bool bEmpty = true;
    for (short n : board.nBoard) bEmpty = bEmpty && n == CELL_EMPTY;
    if (bEmpty) return {5, 5};
    RivalSearch search(board, nNoise);
    int nCell = search.Best(nColor);
    if (nCell < 0) return {0, 0};
    return {static_cast<short>(nCell / BOARD_LINES + 1), static_cast<short>(nCell % BOARD_LINES + 1)};
}
