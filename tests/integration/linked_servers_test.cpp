// Two linked servers of one network: the game channel is one across the
// link, so players on either server meet in it; the computer on one server
// plays a person on the other; and a link that is cut ends the games
// across it on both sides.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "game/client_game.h"
#include "irc/client_state.h"
#include "irc/text.h"
#include "opponent/net_loop.h"
#include "tests/fake/fake_seam.h"
#include "tests/integration/server_session.h"

namespace {

const size_t npos = std::string::npos;

// Stones of one colour on row y of the client's board.
int StonesOnRow(short y, short nColor)
{
    int n = 0;
    for (short x = 1; x <= 9; ++x) n += BoardCell(gameClient.board, x, y) == nColor ? 1 : 0;
    return n;
}

TEST_F(LinkedServers, PlayersOnEachServerPlayAWholeGameThroughTheLink)
{
    pid_t pid = PlayInChild({"Bert", "Ravkel", false, 0});
    EXPECT_EQ("", PlaySide({"Ravkel", "Bert", true, 0}, server->Port()));
    EXPECT_EQ("", ChildOutcome(pid));

    EXPECT_EQ(5, StonesOnRow(3, STONE_BLACK)) << "black's five along row 3";
    EXPECT_EQ(4, StonesOnRow(5, STONE_WHITE)) << "white's four along row 5";
    bool bBlack = gameClient.record.nMyColor == STONE_BLACK;
    EXPECT_NE(npos, fake.sOutput.find(bBlack ? "<KELVA> You have won the game." : "<KELVA> Your opponent has won the game."));
    EXPECT_STREQ("Bert", client.szPartner);
    EXPECT_EQ(GAME_PLAYING, client.nGameState) << "the two may play the next game";
}

TEST_F(LinkedServers, TheComputerOnOneServerPlaysAPersonOnTheOther)
{
    OpponentOptions computer;
    CopyField(computer.szServer, "127.0.0.1");
    computer.nPort = second->Port();
    computer.bSeedGiven = true;
    computer.nSeed = 7;
    std::atomic<bool> bStop(false);
    std::thread thread(RunOpponent, computer, &bStop);

    EXPECT_EQ("", PlaySide({"Ravkel", "Computer", true, 0}, server->Port()));
    EXPECT_NE(npos, fake.sOutput.find("<KELVA> Computer has accepted.\r\n"));
    EXPECT_NE(npos, fake.sOutput.find("<KELVA> Your opponent has won the game.")) << "the computer plays to win";
    bStop = true;
    thread.join();
    EXPECT_TRUE(PumpUntilShown("<KELVA> Your opponent has left.\r\n")) << "a stopped computer leaves the game";
}

TEST_F(LinkedServers, ACutLinkEndsTheGameAcrossItOnBothSides)
{
    pid_t pid = PlayInChild({"Bert", "Ravkel", false, 2});
    ASSERT_EQ("", PlaySide({"Ravkel", "Bert", true, 2}, server->Port()));
    EXPECT_EQ(GAME_PLAYING, client.nGameState);

    linkRelay.reset();
    EXPECT_TRUE(PumpUntilShown("<KELVA> Your opponent has left.\r\n"));
    EXPECT_EQ(GAME_IDLE, client.nGameState) << "game mode stays, without an opponent";
    EXPECT_STREQ("", client.szPartner);
    EXPECT_EQ("", ChildOutcome(pid)) << "the other side is told as well";
}

}  // namespace
