// ChooseMove: the threats it must see, at every level or at full strength,
// from either colour, and the moves it may never make.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "game/board.h"
#include "opponent/bench_rival.h"
#include "opponent/search.h"

namespace {

// A board drawn as nine rows of nine: "X" black, "O" white, "." empty;
// with bSwapped the colours change places.
Board Drawn(const std::vector<std::string>& rows, bool bSwapped = false)
{
    Board board = {};
    ClearBoard(board);
    for (short y = 1; y <= BOARD_LINES; ++y)
        for (short x = 1; x <= BOARD_LINES; ++x) {
            char c = rows[static_cast<size_t>(y - 1)][static_cast<size_t>(x - 1)];
            if (c != '.') BoardCell(board, x, y) = (c == 'X') != bSwapped ? STONE_BLACK : STONE_WHITE;
        }
    return board;
}

struct ThreatCase {
    const char* szWhat;
    std::vector<std::string> rows;
    short nToMove;
    std::vector<BoardPoint> good;  // every move that answers the position
    short nFromLevel;              // the levels from this one
    short nToLevel;                // to this one must find it
};

SearchSettings AtLevel(short nLevel, unsigned long nNodes = 0)
{
    SearchSettings settings;
    settings.nLevel = nLevel;
    settings.nNodes = nNodes;
    return settings;
}

// Black to move wins by a row of fours, each answered by force, the last
// of them two at once; white to move has two ways to prevent that, though
// none against black's threes as well: the middle level, which looks only
// at fours, is asked to find them.
const std::vector<std::string> kContinuousFours = {"OXXX.....", ".........", "....X....", "....X....", "OXXX.....",
                                                   "....O....", "......O..", "........O", "O.......O"};
// Black to move makes a four in row 5 and an open three in column 5 at once.
const std::vector<std::string> kFourThree = {".........", "....O....", ".........", ".........", "OXXX...O.", "...OX....", "....XO...",
                                             ".........", "....O...."};
// Black to move makes two open threes at once, in row 5 and column 5; the
// ways to stop it include white's own threats on the diagonal through (8, 5).
const std::vector<std::string> kDoubleThree = {".........", "....O....", ".........", ".........", "O.XX...O.",
                                               "...OX....", "....XO...", ".........", "....O...."};

// Black has just made an open three in row 7; white's stones have nothing
// to threaten with. Blocked at (7, 7), black still wins by fours and threes
// in five threats beginning at (3, 7); blocked at (3, 7), black has none.
const std::vector<std::string> kOpenThreeOneSafeEnd = {".........", ".........", ".........", "....O....", "....XO...",
                                                     ".....O...", "...XXX...", ".........", "........."};
// Found in games against the benchmark's deep rival, and checked with its own
// threat search: black wins by fours and threes from two cells only, and a
// search without that kind of threat plays elsewhere.
const std::vector<std::string> kThreatsToWin = {".........", ".........", "...X.....", "...XX....", ".........",
                                                "......O..", "...XOOO..", ".........", "........."};
// Black threatens a win by fours and threes that the search's horizon does
// not reach; two moves of white's leave black none.
const std::vector<std::string> kDeepThreat = {"..O......", "...X.....", "....O....", "...O.O...", "..O..XO..",
                                              ".XO.XX.X.", "...OXXXXO", ".........", "........."};

const ThreatCase kThreatCases[] = {
    {"completes its row of four", {".........", ".........", ".XXXX....", ".........", "..O.O....", "...O.....",
      ".........", "......O..", "........."}, STONE_BLACK, {{1, 3}, {6, 3}}, LEVEL_NOVICE, LEVEL_FULL},
    {"completes a broken four on a diagonal", {"O........", ".O.......", "..O......", ".........", "....O....",
      ".........", "X.X.X....", ".....X...", "........X"}, STONE_WHITE, {{4, 4}}, LEVEL_NOVICE, LEVEL_FULL},
    {"wins rather than blocking the other's four", {".........", "XXXX.....", ".........", ".........", "OOOO.....",
      ".........", ".........", ".........", "X........"}, STONE_WHITE, {{5, 5}}, LEVEL_NOVICE, LEVEL_FULL},
    {"blocks a four in a column", {"......X..", "....O.X..", "......X..", ".....OX..", ".........", "...O.....",
      ".........", ".........", "........."}, STONE_WHITE, {{7, 5}}, LEVEL_NOVICE, LEVEL_FULL},
    {"blocks the gap of a broken four", {".........", ".........", ".........", ".........", ".OO.OO...",
      "..X......", ".X.......", ".........", "........."}, STONE_BLACK, {{4, 5}}, LEVEL_NOVICE, LEVEL_FULL},
    {"blocks an open three at one of its ends", {".........", ".........", ".........", ".........", "..XXX....",
      ".........", "....O....", ".........", "........."}, STONE_WHITE, {{2, 5}, {6, 5}}, LEVEL_MIDDLE, LEVEL_FULL},
    {"makes an open four rather than blocking an open three", {".........", ".........", "..OOO....", ".........",
      ".........", "..XXX....", ".........", ".........", "X........"}, STONE_WHITE, {{2, 3}, {6, 3}}, LEVEL_MIDDLE, LEVEL_FULL},
    // Forced wins, for the side that has one and for the side that must
    // stop it. The good moves were listed by a separate exhaustive
    // search of the threat sequences, written apart from this code.
    {"wins by continuous fours", kContinuousFours, STONE_BLACK, {{5, 1}, {5, 5}, {6, 1}, {6, 5}}, LEVEL_MIDDLE, LEVEL_FULL},
    {"stops a win by continuous fours", kContinuousFours, STONE_WHITE, {{5, 5}, {6, 5}}, LEVEL_MIDDLE, LEVEL_MIDDLE},
    {"wins by a four and a three", kFourThree, STONE_BLACK, {{5, 3}, {5, 5}}, LEVEL_MIDDLE, LEVEL_FULL},
    {"stops a win by a four and a three", kFourThree, STONE_WHITE, {{5, 3}, {5, 4}, {5, 5}, {5, 8}, {6, 5}}, LEVEL_FULL,
     LEVEL_FULL},
    {"wins by a double three", kDoubleThree, STONE_BLACK, {{5, 5}}, LEVEL_FULL, LEVEL_FULL},
    {"stops a win by a double three", kDoubleThree, STONE_WHITE,
     {{2, 5}, {4, 9}, {5, 3}, {5, 4}, {5, 5}, {5, 8}, {6, 3}, {6, 5}, {7, 4}, {7, 5}, {7, 6}, {9, 4}}, LEVEL_FULL, LEVEL_FULL},
    {"blocks an open three at the one end that leaves no win by threats", kOpenThreeOneSafeEnd, STONE_WHITE, {{3, 7}},
     LEVEL_FULL, LEVEL_FULL},
    {"wins by fours and threes", kThreatsToWin, STONE_BLACK, {{2, 4}, {4, 5}}, LEVEL_FULL, LEVEL_FULL},
    {"keeps to the moves that leave no win by fours and threes", kDeepThreat, STONE_WHITE, {{6, 2}, {7, 1}},
     LEVEL_FULL, LEVEL_FULL},
};

TEST(OpponentSearch, AnswersTheThreatThatDecidesTheGame)
{
    for (const ThreatCase& c : kThreatCases) {
        for (short nLevel : {LEVEL_NOVICE, LEVEL_MIDDLE, LEVEL_FULL}) {
            if (nLevel < c.nFromLevel || nLevel > c.nToLevel) continue;
            for (bool bSwapped : {false, true}) {
                Board board = Drawn(c.rows, bSwapped);
                short nColor = static_cast<short>(bSwapped ? 1 - c.nToMove : c.nToMove);
                BoardPoint pt = ChooseMove(board, nColor, 1, AtLevel(nLevel));
                bool bGood = false;
                for (BoardPoint good : c.good) bGood = bGood || (good.x == pt.x && good.y == pt.y);
                EXPECT_TRUE(bGood) << c.szWhat << " at level " << nLevel << (bSwapped ? ", colours swapped" : "")
                                   << ": chose (" << pt.x << ", " << pt.y << ")";
                if (bSwapped) continue;
                BoardPoint again = ChooseMove(board, nColor, 1, AtLevel(nLevel));
                EXPECT_TRUE(again.x == pt.x && again.y == pt.y) << c.szWhat << ": the same seed, the same move";
            }
        }
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
        BoardPoint pt = ChooseMove(board, nColor, static_cast<unsigned>(nBoard), AtLevel(static_cast<short>(1 + nBoard % 3), 500));
        ASSERT_TRUE(pt.x >= 1 && pt.x <= 9 && pt.y >= 1 && pt.y <= 9) << "board " << nBoard;
        EXPECT_EQ(CELL_EMPTY, BoardCell(board, pt.x, pt.y)) << "board " << nBoard;
        if (nBoard % 4 != 0) continue;  // the rival on a quarter of them: its search is slow under the sanitizers
        BoardPoint rival = RivalMove(board, nColor, static_cast<unsigned>(nBoard));
        ASSERT_TRUE(rival.x >= 1 && rival.x <= 9 && rival.y >= 1 && rival.y <= 9) << "the rival, board " << nBoard;
        EXPECT_EQ(CELL_EMPTY, BoardCell(board, rival.x, rival.y)) << "the rival, board " << nBoard;
    }
    Board full = {};
    for (short& nCell : full.nBoard) nCell = STONE_WHITE;
    BoardPoint none = ChooseMove(full, STONE_BLACK, 0);
    EXPECT_TRUE(none.x == 0 && none.y == 0) << "a full board has no move";
}

// What the search remembers within a game changes no move: the same game
// with the same seeds is played again move for move. The full strength
// beats the novice from either colour.
TEST(OpponentSearch, ReplaysTheSameGameTheSameWay)
{
    for (short nFull : {STONE_BLACK, STONE_WHITE}) {
        std::string games[2];
        for (std::string& sMoves : games) {
            Board board = {};
            ClearBoard(board);
            SearchMemoryPtr memory = NewSearchMemory();
            SearchSettings full = AtLevel(LEVEL_FULL, 20000), novice = AtLevel(LEVEL_NOVICE);
            full.pMemory = memory.get();
            short nResult = MOVE_PLAYON, nMover = STONE_WHITE;
            while (nResult == MOVE_PLAYON) {
                nMover = static_cast<short>(1 - nMover);
                BoardPoint pt = ChooseMove(board, nMover, 3, nMover == nFull ? full : novice);
                nResult = PlaceStone(board, pt.x, pt.y, nMover, 0);
                sMoves += std::to_string(pt.x) + std::to_string(pt.y) + " ";
            }
            EXPECT_TRUE(nResult == MOVE_FIVE && nMover == nFull) << "the full strength beats the novice: " << sMoves;
        }
        EXPECT_EQ(games[0], games[1]) << "the full strength plays " << (nFull == STONE_BLACK ? "black" : "white");
    }
}

// The novice now and then takes one of its lesser moves, the seed deciding
// which: over a few seeds it plays more different moves than the full
// strength, whose seed only breaks ties.
TEST(OpponentSearch, TheNoviceSometimesTakesALesserMove)
{
    Board board = Drawn({".........", ".........", ".........", "...O.....", "....X....", ".....X...", "...O.....",
                         ".........", "........."});
    std::set<int> chosen[2];
    for (unsigned nSeed = 0; nSeed < 16; ++nSeed) {
        BoardPoint novice = ChooseMove(board, STONE_BLACK, nSeed, AtLevel(LEVEL_NOVICE));
        BoardPoint full = ChooseMove(board, STONE_BLACK, nSeed, AtLevel(LEVEL_FULL, 20000));
        chosen[0].insert(novice.x * 10 + novice.y);
        chosen[1].insert(full.x * 10 + full.y);
    }
    EXPECT_GT(chosen[0].size(), chosen[1].size());
    EXPECT_GE(chosen[0].size(), 2u);
}

// The benchmark's strong rival is held to the threats every level answers,
// and to the open threes.
TEST(OpponentSearch, TheBenchmarkRivalAnswersTheSameThreats)
{
    for (const ThreatCase& c : kThreatCases) {
        if (c.nFromLevel == LEVEL_FULL || c.nToLevel != LEVEL_FULL || c.good.size() > 2) continue;
        for (bool bSwapped : {false, true}) {
            short nColor = static_cast<short>(bSwapped ? 1 - c.nToMove : c.nToMove);
            BoardPoint pt = RivalMove(Drawn(c.rows, bSwapped), nColor, 1);
            bool bGood = false;
            for (BoardPoint good : c.good) bGood = bGood || (good.x == pt.x && good.y == pt.y);
            EXPECT_TRUE(bGood) << "the rival " << c.szWhat << (bSwapped ? ", colours swapped" : "") << ": chose (" << pt.x
                               << ", " << pt.y << ")";
        }
    }
}

}  // namespace
