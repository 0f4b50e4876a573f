// The main window's arithmetic: where its children go and where it opens.
#include <gtest/gtest.h>

#include <string>

#include "shell/layout.h"

namespace {

std::string Describe(const ChildRect& rc)
{
    return std::to_string(rc.x) + "," + std::to_string(rc.y) + " " + std::to_string(rc.cx) + "x" +
           std::to_string(rc.cy);
}

TEST(Layout, ChatModeAt600By400)
{
    MainLayout layout = ComputeLayout(600, 400, 0);
    EXPECT_EQ("500,0 100x400", Describe(layout.rcNickList));
    EXPECT_EQ("0,30 500x335", Describe(layout.rcOutput));
    EXPECT_EQ("0,364 501x36", Describe(layout.rcInput));
}

TEST(Layout, GameModeAt600By400)
{
    MainLayout layout = ComputeLayout(600, 400, 1);
    EXPECT_EQ("400,0 200x83", Describe(layout.rcNickList));
    EXPECT_EQ("400,82 200x283", Describe(layout.rcOutput));
    EXPECT_EQ("400,364 200x36", Describe(layout.rcInput));
    EXPECT_EQ("0,30 401x370", Describe(layout.rcGame));
}

struct PlacementCase {
    const char* szWhat;
    int cxFull, cyFull, cyMenu;
    Placement expected;
};

const PlacementCase kPlacements[] = {
    {"a large screen: 640 by 480, centred", 1024, 740, 19, {192, 139, 640, 480}},
    {"a small screen: its own size at 0, 0", 600, 400, 19, {0, 0, 600, 419}},
    {"odd halves are rounded towards zero", 1025, 742, 20, {192, 141, 640, 480}},
};

TEST(Layout, TheMainWindowIsCappedAndCentred)
{
    for (const PlacementCase& c : kPlacements) {
        Placement p = MainWindowPlacement(c.cxFull, c.cyFull, c.cyMenu);
        EXPECT_EQ(c.expected.x, p.x) << c.szWhat;
        EXPECT_EQ(c.expected.y, p.y) << c.szWhat;
        EXPECT_EQ(c.expected.cx, p.cx) << c.szWhat;
        EXPECT_EQ(c.expected.cy, p.cy) << c.szWhat;
    }
    Placement dialog = CenterOnScreen(300, 200, 1024, 740, 19);
    EXPECT_EQ(362, dialog.x);
    EXPECT_EQ(279, dialog.y);
}

}  // namespace
