// ChooseMove: the threats it must see, and the moves it may never make.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "game/board.h"
#include "opponent/search.h"

namespace {

// A board drawn as nine rows of nine: "X" black, "O" white, "." empty.
Board Drawn(const std::vector<std::string>& rows)
{
    Board board = {};
    ClearBoard(board);
    for (short y = 1; y <= BOARD_LINES; ++y)
        for (short x = 1; x <= BOARD_LINES; ++x) {
            char c = rows[static_cast<size_t>(y - 1)][static_cast<size_t>(x - 1)];
            if (c != '.') BoardCell(board, x, y) = c == 'X' ? STONE_BLACK : STONE_WHITE;
        }
    return board;
}

struct ThreatCase {
    const char* szWhat;
    std::vector<std::string> rows;
    short nToMove;
    std::vector<BoardPoint> good;  // every move that answers the position
};

TEST(OpponentSearch, AnswersTheThreatThatDecidesTheGame)
{
    const ThreatCase cases[] = {
        {"completes its row of four", {".........", ".........", ".XXXX....", ".........", "..O.O....", "...O.....",
          ".........", "......O..", "........."}, STONE_BLACK, {{1, 3}, {6, 3}}},
        {"completes a broken four on a diagonal", {"O........", ".O.......", "..O......", ".........", "....O....",
          ".........", "X.X.X....", ".....X...", "........X"}, STONE_WHITE, {{4, 4}}},
        {"wins rather than blocking the other's four", {".........", "XXXX.....", ".........", ".........", "OOOO.....",
          ".........", ".........", ".........", "X........"}, STONE_WHITE, {{5, 5}}},
        {"blocks a four in a column", {"......X..", "....O.X..", "......X..", ".....OX..", ".........", "...O.....",
          ".........", ".........", "........."}, STONE_WHITE, {{7, 5}}},
        {"blocks the gap of a broken four", {".........", ".........", ".........", ".........", ".OO.OO...",
          "..X......", ".X.......", ".........", "........."}, STONE_BLACK, {{4, 5}}},
        {"blocks an open three at one of its ends", {".........", ".........", ".........", ".........", "..XXX....",
          ".........", "....O....", ".........", "........."}, STONE_WHITE, {{2, 5}, {6, 5}}},
        {"makes an open four rather than blocking an open three", {".........", ".........", "..OOO....", ".........",
          ".........", "..XXX....", ".........", ".........", "X........"}, STONE_WHITE, {{2, 3}, {6, 3}}},
    };
    for (const ThreatCase& c : cases) {
        Board board = Drawn(c.rows);
        BoardPoint pt = ChooseMove(board, c.nToMove, 1);
        bool bGood = false;
        for (BoardPoint good : c.good) bGood = bGood || (good.x == pt.x && good.y == pt.y);
        EXPECT_TRUE(bGood) << c.szWhat << ": chose (" << pt.x << ", " << pt.y << ")";
        BoardPoint again = ChooseMove(board, c.nToMove, 1);
        EXPECT_TRUE(again.x == pt.x && again.y == pt.y) << c.szWhat << ": the same seed, the same move";
    }
}

TEST(OpponentSearch, PlaysOnlyOnEmptyIntersections)
{
    std::mt19937 rng(5);
    for (int nBoard = 0; nBoard < 120; ++nBoard) {
        Board board = {};
        ClearBoard(board);
        int nStones = static_cast<int>(rng() % 80);
        for (int i = 0; i < nStones; ++i)
            board.nBoard[rng() % BOARD_CELLS] = static_cast<short>(rng() % 2);
        short nColor = static_cast<short>(nBoard % 2);
        BoardPoint pt = ChooseMove(board, nColor, static_cast<unsigned>(nBoard), 500);
        ASSERT_TRUE(pt.x >= 1 && pt.x <= 9 && pt.y >= 1 && pt.y <= 9) << "board " << nBoard;
        EXPECT_EQ(CELL_EMPTY, BoardCell(board, pt.x, pt.y)) << "board " << nBoard;
    }
    Board full = {};
    for (short& nCell : full.nBoard) nCell = STONE_WHITE;
    BoardPoint none = ChooseMove(full, STONE_BLACK, 0);
    EXPECT_TRUE(none.x == 0 && none.y == 0) << "a full board has no move";
}

}  // namespace
