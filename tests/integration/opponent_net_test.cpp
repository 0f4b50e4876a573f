// kelva-opponent's socket side against a real server: two of them asking
// for one nickname, and a game that a person begins with one of them.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "irc/text.h"
#include "opponent/net_loop.h"
#include "tests/integration/server_session.h"

namespace {

TEST_F(OpenServer, TwoOpponentsTakeFreeNicknamesJoinTheGameChannelAndPlay)
{
    std::unique_ptr<IrcPeer> alice = NewPeer("alice");
    alice->Send("JOIN #Go-Moku KELVA");
    ASSERT_NE("", alice->WaitForLine(" 366 "));
    OpponentOptions options;
    CopyField(options.szServer, "localhost");
    options.nPort = server->Port();
    options.bSeedGiven = true;
    std::atomic<bool> bStop(false);
    std::thread first(RunOpponent, options, &bStop);
    EXPECT_NE("", alice->WaitForLine(":Computer!~kelva@127.0.0.1 JOIN :#Go-Moku", 5000));
    std::thread second(RunOpponent, options, &bStop);
    EXPECT_NE("", alice->WaitForLine(":Computer2!~kelva@127.0.0.1 JOIN :#Go-Moku", 5000)) << "the name in use gets a number";

    alice->Send("PRIVMSG Computer2 :!I");
    EXPECT_EQ(0u, alice->WaitForLine(" PRIVMSG alice :!A").find(":Computer2!"));
    alice->Send("PRIVMSG Computer2 :!C 65535");  // the larger coin: alice begins
    EXPECT_NE("", alice->WaitForLine(" PRIVMSG alice :!C "));
    alice->Send("PRIVMSG Computer2 :!M 5 5");
    // The search at full strength takes seconds in the sanitised build on a busy machine.
    EXPECT_EQ(0u, alice->WaitForLine(" PRIVMSG alice :!M ", 20000).find(":Computer2!")) << "the answer to the first move";

    bStop = true;
    first.join();
    second.join();
    EXPECT_NE("", alice->WaitForLine(" QUIT :")) << "a stopped opponent says goodbye";
}

}  // namespace
