// The game window's view arithmetic: the sizes it draws at and the
// intersection a click selects.
#include <gtest/gtest.h>

#include <string>

#include "game/client_game.h"

namespace {

TEST(BoardView, SizesFollowTheShorterSide)
{
    struct Case {
        unsigned short w, h;
        short nSpacing, nStone, nMarker;
    } kCases[] = {{300, 250, 25, 8, 4}, {250, 300, 25, 8, 4}, {401, 370, 37, 12, 6}, {9, 500, 0, 0, 0},
                  {65535, 65535, 6553, 2184, 1092}};
    for (const Case& c : kCases) {
        BoardViewSizes sizes = ViewSizesFor(c.w, c.h);
        std::string sWhat = std::to_string(c.w) + " by " + std::to_string(c.h);
        EXPECT_EQ(c.nSpacing, sizes.nSpacing) << sWhat;
        EXPECT_EQ(c.nStone, sizes.nStoneRadius) << sWhat;
        EXPECT_EQ(c.nMarker, sizes.nMarkerRadius) << sWhat;
        EXPECT_EQ(static_cast<short>(c.w), sizes.nBoardWidth) << sWhat;
        EXPECT_EQ(static_cast<short>(c.h), sizes.nBoardHeight) << sWhat;
    }
}

// Decided: while the window has no size every click gives (0, 0), which
// the board refuses.
TEST(BoardView, AClickSelectsTheNearestIntersection)
{
    struct Case {
        const char* szWhat;
        unsigned short w, px, py;
        short x, y;
    } kCases[] = {
        {"past half a spacing: the next line", 300, 38, 63, 2, 3},
        {"up to half a spacing: this line", 300, 37, 62, 1, 2},
        {"before the first line: column and row 0", 300, 12, 12, 0, 0},
        {"half a spacing before it: the first line", 300, 13, 13, 1, 1},
        {"half a spacing beyond the ninth line: still 9", 300, 237, 237, 9, 9},
        {"further: 10, off the board", 300, 238, 238, 10, 10},
        {"client positions are unsigned", 300, 65535, 0, 2621, 0},
        {"no spacing yet", 9, 40, 40, 0, 0},
    };
    for (const Case& c : kCases) {
        BoardPoint pt = PointFromClick(ViewSizesFor(c.w, 250), c.px, c.py);
        EXPECT_EQ(c.x, pt.x) << c.szWhat;
        EXPECT_EQ(c.y, pt.y) << c.szWhat;
    }
}

}  // namespace
