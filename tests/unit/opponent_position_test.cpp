// The position the computer's search keeps up to date as stones come and
// go, held against rows counted on the board itself (which cells complete a
// five, whether one stone prepares two fives) and against the position
// counted afresh after stones are taken back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "game/board.h"
#include "opponent/position.h"
#include "opponent/search.h"

namespace {

// Whether a stone of c on the empty cell (x, y) makes a row of five or more.
bool CompletesFive(const Board& board, short x, short y, short c)
{
    const short kSteps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
    auto onBoard = [](short n) { return n >= 1 && n <= BOARD_LINES; };
    for (const auto& step : kSteps) {
        int nRow = 1;
        for (int nSign : {-1, 1}) {
            short nx = static_cast<short>(x + nSign * step[0]), ny = static_cast<short>(y + nSign * step[1]);
            for (; onBoard(nx) && onBoard(ny) && BoardCell(board, nx, ny) == c; ++nRow) {
                nx = static_cast<short>(nx + nSign * step[0]);
                ny = static_cast<short>(ny + nSign * step[1]);
            }
        }
        if (nRow >= 5) return true;
    }
    return false;
}

// The empty cells where a stone of c completes a five.
std::vector<int> FiveCells(const Board& board, short c)
{
    std::vector<int> cells;
    for (int i = 0; i < BOARD_CELLS; ++i) {
        short x = static_cast<short>(i / BOARD_LINES + 1), y = static_cast<short>(i % BOARD_LINES + 1);
        if (board.nBoard[i] == CELL_EMPTY && CompletesFive(board, x, y, c)) cells.push_back(i);
    }
    return cells;
}

// Whether one stone of c makes two cells that complete a five.
bool CanMakeTwoFives(Board board, short c)
{
    for (short& nCell : board.nBoard) {
        if (nCell != CELL_EMPTY) continue;
        nCell = c;
        bool bTwo = FiveCells(board, c).size() >= 2;
        nCell = CELL_EMPTY;
        if (bTwo) return true;
    }
    return false;
}

}  // namespace

// Games of the novice against itself, with now and then a stone taken back,
// so that threes and fours come and go.
TEST(OpponentPosition, StaysTrueToTheBoardAsStonesArePlacedAndTakenBack)
{
    std::mt19937 rng(29);
    SearchSettings novice;
    novice.nLevel = LEVEL_NOVICE;
    int nTwoFivesSeen = 0;
    for (unsigned nGame = 0; nGame < 4; ++nGame) {
        Board board = {};
        ClearBoard(board);
        Position p;
        LoadPosition(p, board);
        std::vector<int> placed;
        for (int nStep = 0; nStep < 60; ++nStep) {
            if (!placed.empty() && rng() % 4 == 0) {
                Remove(p, placed.back());
                board.nBoard[placed.back()] = CELL_EMPTY;
                placed.pop_back();
            } else {
                short c = static_cast<short>(placed.size() % 2);
                BoardPoint pt = ChooseMove(board, c, nGame * 100 + static_cast<unsigned>(nStep), novice);
                Board after = board;
                if (PlaceStone(after, pt.x, pt.y, c, 0) != MOVE_PLAYON) break;
                int nCell = (pt.x - 1) * BOARD_LINES + (pt.y - 1);
                Place(p, nCell, c);
                board = after;
                placed.push_back(nCell);
            }
            for (short c : {STONE_BLACK, STONE_WHITE}) {
                std::vector<int> fives = FiveCells(board, c);
                int nGaps[2];
                int nGapCount = FourGaps(p, c, nGaps);
                ASSERT_EQ(std::min<size_t>(fives.size(), 2), static_cast<size_t>(nGapCount))
                    << "game " << nGame << " step " << nStep;
                for (int k = 0; k < nGapCount; ++k) EXPECT_EQ(fives[static_cast<size_t>(k)], nGaps[k]);
                if (fives.empty()) {
                    bool bTwoFives = CanMakeTwoFives(board, c);
                    nTwoFivesSeen += bTwoFives;
                    EXPECT_EQ(bTwoFives, DoubleFourMove(p, c) >= 0) << "game " << nGame << " step " << nStep;
                }
            }
            Position fresh;
            LoadPosition(fresh, board);
            ASSERT_EQ(fresh.nHash, p.nHash) << "game " << nGame << " step " << nStep;
            EXPECT_EQ(0, std::memcmp(fresh.nCount, p.nCount, sizeof p.nCount));
            EXPECT_EQ(0, std::memcmp(fresh.nPromise, p.nPromise, sizeof p.nPromise));
            EXPECT_EQ(0, std::memcmp(fresh.near.nBits, p.near.nBits, sizeof p.near.nBits));
            EXPECT_EQ(fresh.nScore[0] - fresh.nScore[1], p.nScore[0] - p.nScore[1]);
        }
    }
    EXPECT_GT(nTwoFivesSeen, 0) << "the games reach positions where two fives can be prepared";
}
