// The life of the connection on a real server: PING answered while idle,
// Disconnect seen by the server and by the other users, and a second
// registration after it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/integration/server_session.h"

namespace {

const size_t npos = std::string::npos;

size_t Count(const std::string& sText, const std::string& sPart)
{
    size_t nCount = 0;
    for (size_t nAt = sText.find(sPart); nAt != npos; nAt = sText.find(sPart, nAt + 1)) ++nCount;
    return nCount;
}

// The server pings a user after 5 idle seconds, with its own name as the
// token that the answer echoes, and drops one that has not answered 5
// seconds later. A user that registers after the client and never answers
// marks the moment at which the client would have been dropped too.
TEST_F(PingingServer, AServerPingIsAnsweredAndTheConnectionLivesOn)
{
    ASSERT_EQ(0, Connect());
    ASSERT_TRUE(PumpUntilShown(szEndOfMotd));
    std::unique_ptr<IrcPeer> silent = NewPeer("Silent", false);

    EXPECT_TRUE(PumpUntil([&] { return silent->ServerHasClosed(); }, 20000)) << "the silent user is dropped";
    EXPECT_NE(npos, silent->Received().find("PING :irc.kelva.local\r\n"));
    EXPECT_NE(npos, silent->Received().find("ERROR :Ping timeout"));
    EXPECT_TRUE(relay->WaitForRecorded("PONG :irc.kelva.local\r\n"));
    EXPECT_EQ(0, nLastPoll);
    EXPECT_EQ(1, client.bConnected);
    EXPECT_FALSE(relay->WaitForServerGone(0)) << "the server keeps the client";

    EXPECT_TRUE(PumpUntil([&] { return Count(relay->Recorded(), "PONG :irc.kelva.local\r\n") >= 2; }, 15000))
        << "the next PING is answered too";
    EXPECT_EQ(SEND_COMPOSE, client.nSendMode);
    EXPECT_EQ(npos, fake.sOutput.find("PING :")) << "a PING shows nothing";
}

// The server answers the client's own PING: nothing is shown, and the
// answer restarts the silence, so the next check pings again rather than
// giving up.
TEST_F(OpenServer, TheClientsOwnPingIsAnsweredAndTheAnswerNotShown)
{
    client.nPingSeconds = 2;
    ASSERT_EQ(0, Connect());
    ASSERT_TRUE(PumpUntilShown(szEndOfMotd));
    fake.sOutput.clear();
    fake.nTicks += 2000;
    EXPECT_EQ(END_NONE, PumpConnection());
    EXPECT_TRUE(PumpUntilReceived(" :KELVA\r\n")) << "the server answers";
    EXPECT_EQ("", fake.sOutput) << "the answer is not shown";
    EXPECT_EQ(0, nLastPoll);
    fake.nTicks += 2000;
    EXPECT_EQ(END_NONE, PumpConnection()) << "the answer was heard";
    EXPECT_TRUE(PumpUntil([&] { return Count(relay->Recorded(), "PING :KELVA\r\n") == 2; }))
        << "a second PING rather than giving up";
    EXPECT_EQ("", fake.sOutput);
}

TEST_F(OpenServer, DisconnectSaysQuitAndTheServerSeesTheUserLeave)
{
    std::unique_ptr<IrcPeer> peer = PeerInChannel("#lobby");
    CopyField(client.szChannel, "#lobby");
    ASSERT_EQ(0, Connect());
    ASSERT_TRUE(PumpUntil([] { return fake.nicks.size() == 2; }));

    EXPECT_EQ(0, Disconnect());
    EXPECT_EQ(0, client.bConnected);
    EXPECT_EQ(0, fake.bConnectedControls);
    EXPECT_EQ("KELVA", fake.sTitle);
    EXPECT_STREQ("", client.szChannel);
    EXPECT_TRUE(fake.nicks.empty());

    EXPECT_TRUE(relay->WaitForClientGone()) << "the socket is closed";
    std::string sRecorded = relay->Recorded();
    EXPECT_EQ("JOIN #lobby\r\nQUIT\r\n", sRecorded.substr(sRecorded.size() - 19));
    EXPECT_EQ(0, peer->WaitForLine(" QUIT ").rfind(":Ravkel!~Ravkel@127.0.0.1 QUIT ", 0)) << peer->Received();
    EXPECT_TRUE(relay->WaitForServerGone()) << "the server ends the connection";
    EXPECT_TRUE(server->WaitForLog("Got QUIT command")) << "and says why";
    EXPECT_EQ(END_NONE, PumpConnection()) << "nothing is received after a disconnect";
}

TEST_F(OpenServer, ConnectingAgainAfterADisconnectRegistersAfreshAndAsksForTheList)
{
    CopyField(client.szChannel, "lobby");
    client.bShowList = 1;
    ASSERT_EQ(0, Connect());
    ASSERT_TRUE(PumpUntil([] { return std::strcmp(client.szChannel, "#lobby") == 0; }));
    EXPECT_EQ(0, Disconnect());
    ASSERT_TRUE(relay->WaitForServerGone());
    size_t nFirst = relay->Recorded().size();

    ASSERT_EQ(0, Connect());
    EXPECT_TRUE(PumpUntil([] { return fake.sChannelListTitle == "Channel List"; }));
    EXPECT_EQ("NICK Ravkel\r\n" + UserLine() + "LIST\r\n", relay->Recorded().substr(nFirst));
    EXPECT_EQ(1, client.bConnected);
    EXPECT_EQ(1, fake.bConnectedControls);
}

}  // namespace
