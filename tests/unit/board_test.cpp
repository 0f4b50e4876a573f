// The board's referee: refused placements, fives in every window and
// direction, longer rows, stalemates and the last-move marker.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "game/board.h"

namespace {

std::vector<std::string> drawn;

void Stone(short x, short y, short c) { drawn.push_back("stone " + std::to_string(x) + std::to_string(y) + std::to_string(c)); }
void Marker(short x, short y) { drawn.push_back("marker " + std::to_string(x) + std::to_string(y)); }
void Erase(short x, short y) { drawn.push_back("erase " + std::to_string(x) + std::to_string(y)); }
void WinLine(BoardPoint a, BoardPoint b)
{
    drawn.push_back("line " + std::to_string(a.x) + std::to_string(a.y) + std::to_string(b.x) + std::to_string(b.y));
}
const BoardView kView = {Stone, Marker, Erase, WinLine};

Board EmptyBoard(const BoardView* pView = nullptr)
{
    Board board = {};
    ClearBoard(board);
    board.pView = pView;
    drawn.clear();
    return board;
}

std::string Where(BoardPoint pt) { return "(" + std::to_string(pt.x) + ", " + std::to_string(pt.y) + ")"; }

TEST(Board, RefusedPlacementsChangeNothing)
{
    struct Case {
        const char* szWhat;
        short x, y;
    } kCases[] = {
        {"column 0", 0, 5}, {"column 10", 10, 5}, {"row 0", 5, 0}, {"row 10", 5, 10},
        {"far negative", -32768, 5}, {"taken by black", 4, 4}, {"taken by white", 6, 6},
    };
    for (const Case& c : kCases) {
        for (short nColor : {STONE_BLACK, STONE_WHITE}) {
            Board board = EmptyBoard(&kView);
            board.ptLastMove = {6, 6};
            BoardCell(board, 4, 4) = STONE_BLACK;
            BoardCell(board, 6, 6) = STONE_WHITE;
            Board before = board;
            EXPECT_EQ(MOVE_REFUSED, PlaceStone(board, c.x, c.y, nColor, 1)) << c.szWhat;
            EXPECT_EQ(0, std::memcmp(before.nBoard, board.nBoard, sizeof board.nBoard)) << c.szWhat;
            EXPECT_EQ(Where(before.ptLastMove), Where(board.ptLastMove)) << c.szWhat;
            EXPECT_TRUE(drawn.empty()) << c.szWhat << " drew " << drawn.front();
        }
    }
}

// Every window of five on the board, in all four directions, filled with
// one colour on an empty board: the five is found and recorded from the end
// the scans meet first (the top, or for a row the left end).
TEST(Board, EveryWindowOfFiveWinsWithItsEnds)
{
    struct Direction {
        const char* szWhat;
        short dx, dy;
    } kDirections[] = {{"row", 1, 0}, {"column", 0, 1}, {"down-right", 1, 1}, {"down-left", -1, 1}};
    int nWindows = 0;
    for (const Direction& d : kDirections) {
        for (short x = 1; x <= 9; ++x) {
            for (short y = 1; y <= 9; ++y) {
                short xEnd = static_cast<short>(x + 4 * d.dx), yEnd = static_cast<short>(y + 4 * d.dy);
                if (xEnd < 1 || xEnd > 9 || yEnd > 9) continue;
                for (short nColor : {STONE_BLACK, STONE_WHITE}) {
                    Board board = EmptyBoard(&kView);
                    std::string sCase = std::string(d.szWhat) + " from " + Where({x, y}) + " colour " +
                                        std::to_string(nColor);
                    // The middle stone last: the judgement looks at the whole board.
                    for (short k : {0, 1, 3, 4})
                        EXPECT_EQ(MOVE_PLAYON, PlaceStone(board, static_cast<short>(x + k * d.dx),
                                                          static_cast<short>(y + k * d.dy), nColor, 0))
                            << sCase;
                    EXPECT_EQ(MOVE_FIVE, PlaceStone(board, static_cast<short>(x + 2 * d.dx),
                                                    static_cast<short>(y + 2 * d.dy), nColor, 0))
                        << sCase;
                    EXPECT_EQ(Where({x, y}), Where(board.ptWinStart)) << sCase;
                    EXPECT_EQ(Where({xEnd, yEnd}), Where(board.ptWinEnd)) << sCase;
                    EXPECT_EQ("line " + std::to_string(x) + std::to_string(y) + std::to_string(xEnd) +
                                  std::to_string(yEnd),
                              drawn.back())
                        << sCase;
                }
                ++nWindows;
            }
        }
    }
    EXPECT_EQ(140, nWindows);
}

TEST(Board, LongerRowsRecordTheWindowFoundFirst)
{
    struct Case {
        const char* szWhat;
        std::vector<BoardPoint> stones;  // the last one completes the row
        short nColor;
        BoardPoint ptStart, ptEnd;
    } kCases[] = {
        {"six in a row: from the left end", {{2, 5}, {3, 5}, {4, 5}, {6, 5}, {7, 5}, {5, 5}}, STONE_BLACK, {2, 5}, {6, 5}},
        {"six in a column: from the top", {{4, 2}, {4, 3}, {4, 4}, {4, 6}, {4, 7}, {4, 5}}, STONE_WHITE, {4, 2}, {4, 6}},
        {"six down-left: from the upper right",
         {{8, 1}, {7, 2}, {6, 3}, {4, 5}, {3, 6}, {5, 4}}, STONE_BLACK, {8, 1}, {4, 5}},
        {"nine in a row", {{1, 9}, {2, 9}, {3, 9}, {4, 9}, {6, 9}, {7, 9}, {8, 9}, {9, 9}, {5, 9}}, STONE_WHITE,
         {1, 9}, {5, 9}},
    };
    for (const Case& c : kCases) {
        Board board = EmptyBoard();
        for (size_t i = 0; i + 1 < c.stones.size(); ++i)
            EXPECT_EQ(MOVE_PLAYON, PlaceStone(board, c.stones[i].x, c.stones[i].y, c.nColor, 0))
                << c.szWhat << ": four or fewer in a row, open or not, play on";
        EXPECT_EQ(MOVE_FIVE, PlaceStone(board, c.stones.back().x, c.stones.back().y, c.nColor, 0)) << c.szWhat;
        EXPECT_EQ(Where(c.ptStart), Where(board.ptWinStart)) << c.szWhat;
        EXPECT_EQ(Where(c.ptEnd), Where(board.ptWinEnd)) << c.szWhat;
    }
}

TEST(Board, FourBlockedOrNotAndMixedFivesPlayOn)
{
    Board board = EmptyBoard();
    for (short x = 2; x <= 5; ++x) PlaceStone(board, x, 1, STONE_BLACK, 0);
    EXPECT_EQ(MOVE_PLAYON, PlaceStone(board, 1, 1, STONE_WHITE, 0)) << "four blocked at one end";
    EXPECT_EQ(MOVE_PLAYON, PlaceStone(board, 6, 1, STONE_WHITE, 0)) << "four blocked at both ends";
    for (short y = 2; y <= 5; ++y) PlaceStone(board, 9, y, y == 4 ? STONE_WHITE : STONE_BLACK, 0);
    EXPECT_EQ(MOVE_PLAYON, PlaceStone(board, 9, 6, STONE_BLACK, 0)) << "five stones of two colours";
}

// A board where every window holds both colours, whatever stones still
// come: colour (x + 2y) mod 4 below 2 is black. Row 1 from x 1 to 5 is left
// open; closing its last open window is a stalemate with cells still empty.
TEST(Board, StalemateIsDeclaredBeforeTheBoardIsFull)
{
    Board board = EmptyBoard();
    auto PatternColor = [](int x, int y) { return static_cast<short>((x + 2 * y) % 4 < 2 ? STONE_BLACK : STONE_WHITE); };
    for (short x = 1; x <= 9; ++x)
        for (short y = 1; y <= 9; ++y)
            if (y > 1 || x > 5) BoardCell(board, x, y) = PatternColor(x, y);
    EXPECT_EQ(MOVE_PLAYON, PlaceStone(board, 5, 1, PatternColor(5, 1), 0)) << "row 1 from x 1 to 5 still open";
    EXPECT_EQ(MOVE_STALEMATE, PlaceStone(board, 3, 1, PatternColor(3, 1), 0)) << "no window left open";
    for (short x : {1, 2, 4}) EXPECT_EQ(CELL_EMPTY, BoardCell(board, x, 1)) << "x " << x;
}

// The board's judgement against a referee of its own: the windows of five
// are every start and direction whose fifth cell is still on the board.
std::vector<std::vector<BoardPoint>> Runs(short nLength)
{
    const short kSteps[][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
    std::vector<std::vector<BoardPoint>> runs;
    for (short x = 1; x <= 9; ++x)
        for (short y = 1; y <= 9; ++y)
            for (const auto& d : kSteps) {
                std::vector<BoardPoint> run;
                for (short k = 0; k < nLength; ++k) run.push_back({short(x + k * d[0]), short(y + k * d[1])});
                if (run.back().x >= 1 && run.back().x <= 9 && run.back().y <= 9) runs.push_back(run);
            }
    return runs;
}

short Referee(const Board& board, const std::vector<std::vector<BoardPoint>>& windows, std::vector<std::string>& fives)
{
    bool bOpen = false;
    for (const std::vector<BoardPoint>& w : windows) {
        int nCount[2] = {0, 0};
        for (BoardPoint pt : w)
            if (BoardCell(board, pt.x, pt.y) != CELL_EMPTY) ++nCount[BoardCell(board, pt.x, pt.y)];
        if (nCount[0] == 5 || nCount[1] == 5) fives.push_back(Where(w.front()) + Where(w.back()));
        if (nCount[0] == 0 || nCount[1] == 0) bOpen = true;
    }
    return !fives.empty() ? MOVE_FIVE : bOpen ? MOVE_PLAYON : MOVE_STALEMATE;
}

// Random boards near the stalemate pattern of the test above, with runs of
// four of one colour painted where a line meets the edge (where only four
// cells are left for a window) and a few cells emptied: each judged after
// one of its stones is placed again.
TEST(Board, RandomBoardsAreJudgedAsEveryWindowOfFiveSays)
{
    std::vector<std::vector<BoardPoint>> windows = Runs(5), edgeRuns;
    ASSERT_EQ(140u, windows.size());
    for (const std::vector<BoardPoint>& run : Runs(4)) {
        BoardPoint ptBefore = {short(2 * run[0].x - run[1].x), short(2 * run[0].y - run[1].y)};
        BoardPoint ptAfter = {short(2 * run[3].x - run[2].x), short(2 * run[3].y - run[2].y)};
        auto Off = [](BoardPoint pt) { return pt.x < 1 || pt.x > 9 || pt.y < 1 || pt.y > 9; };
        if (Off(ptBefore) || Off(ptAfter)) edgeRuns.push_back(run);
    }
    std::mt19937 random(15);
    int nSeen[4] = {0, 0, 0, 0};
    for (int nBoard = 0; nBoard < 3000; ++nBoard) {
        Board board = EmptyBoard();
        for (short x = 1; x <= 9; ++x)
            for (short y = 1; y <= 9; ++y) BoardCell(board, x, y) = (x + 2 * y) % 4 < 2 ? STONE_BLACK : STONE_WHITE;
        for (int nRuns = 1 + int(random() % 3); nRuns > 0; --nRuns) {
            short nColor = short(random() % 2);
            for (BoardPoint pt : edgeRuns[random() % edgeRuns.size()]) BoardCell(board, pt.x, pt.y) = nColor;
        }
        for (int nEmpty = int(random() % 4); nEmpty > 0; --nEmpty)
            BoardCell(board, short(1 + random() % 9), short(1 + random() % 9)) = CELL_EMPTY;
        short x = short(1 + random() % 9), y = short(1 + random() % 9);
        short nColor = BoardCell(board, x, y) == CELL_EMPTY ? short(random() % 2) : BoardCell(board, x, y);
        BoardCell(board, x, y) = CELL_EMPTY;
        std::string sCase = "board " + std::to_string(nBoard) + ", stone at " + Where({x, y});

        short nResult = PlaceStone(board, x, y, nColor, 0);
        std::vector<std::string> fives;
        ASSERT_EQ(Referee(board, windows, fives), nResult) << sCase;
        std::string sRecorded = Where(board.ptWinStart) + Where(board.ptWinEnd);
        if (nResult == MOVE_FIVE) {
            EXPECT_NE(fives.end(), std::find(fives.begin(), fives.end(), sRecorded)) << sCase << ": " << sRecorded;
        }
        ++nSeen[nResult];
    }
    EXPECT_GT(nSeen[MOVE_STALEMATE], 300) << "stalemates with runs of four at the edges";
    EXPECT_GT(nSeen[MOVE_PLAYON], 100);
    EXPECT_GT(nSeen[MOVE_FIVE], 300);
}

TEST(Board, TheMarkerFollowsTheOpponentsStones)
{
    Board board = EmptyBoard(&kView);
    PlaceStone(board, 2, 2, STONE_WHITE, 1);
    EXPECT_EQ("(2, 2)", Where(board.ptLastMove)) << "an opponent's stone is marked";
    PlaceStone(board, 3, 3, STONE_BLACK, 0);
    EXPECT_EQ("(0, 0)", Where(board.ptLastMove)) << "an own stone takes the marker away";
    PlaceStone(board, 4, 4, STONE_WHITE, 1);
    PlaceStone(board, 5, 5, STONE_WHITE, 1);
    EXPECT_EQ("(5, 5)", Where(board.ptLastMove)) << "the marker moves to the newest";
    std::vector<std::string> expected = {"stone 221", "marker 22", "erase 22", "stone 330", "stone 441",
                                         "marker 44", "erase 44",  "stone 551", "marker 55"};
    EXPECT_EQ(expected, drawn);
}

}  // namespace
