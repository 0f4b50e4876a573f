// Noticing a silent server: the decision over a fake clock, and the PING
// and the giving up by the connection's pass on a real socket pair.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "config/settings.h"
#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

struct SilenceCase {
    const char* szWhat;
    unsigned nLastHeard, nPingSent;
    int bPingPending;
    unsigned nNow, nIntervalMs;
    SilenceStep nExpected;
};

const SilenceCase kSilences[] = {
    {"just heard", 5000, 0, 0, 5000, 2000, SILENCE_WAIT},
    {"a moment short of the interval", 5000, 0, 0, 6999, 2000, SILENCE_WAIT},
    {"the interval is up: PING", 5000, 0, 0, 7000, 2000, SILENCE_PING},
    {"long past it: one PING first", 5000, 0, 0, 900000, 2000, SILENCE_PING},
    {"the PING is unanswered, not yet for the interval", 5000, 7000, 1, 8999, 2000, SILENCE_WAIT},
    {"the PING has been unanswered for the interval", 5000, 7000, 1, 9000, 2000, SILENCE_GIVE_UP},
    // After a long modal dialog the PING left late: it gets its full time.
    {"counted from the PING, not from the last word", 5000, 900000, 1, 901000, 2000, SILENCE_WAIT},
    {"the tick count wraps", 0xFFFFF000u, 0, 0, 0x00000800u, 0x1800, SILENCE_PING},
    {"the tick count wraps while the PING waits", 0, 0xFFFFFC00u, 1, 0x00000400u, 0x800, SILENCE_GIVE_UP},
    {"an interval of 0 never pings", 5000, 0, 0, 900000, 0, SILENCE_WAIT},
    {"an interval of 0 never gives up", 5000, 7000, 1, 900000, 0, SILENCE_WAIT},
};

TEST(Silence, WhatTheSilenceCallsFor)
{
    for (const SilenceCase& c : kSilences) {
        SilenceWatch watch;
        watch.nLastHeard = c.nLastHeard;
        watch.nPingSent = c.nPingSent;
        watch.bPingPending = c.bPingPending;
        EXPECT_EQ(c.nExpected, DecideOnSilence(watch, c.nNow, c.nIntervalMs)) << c.szWhat;
    }
}

// A connection over a socket pair, at tick 1000 of the fake clock.
class SilentServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetClientAndFake();
        client.pTCP_Input_Buffer = static_cast<char*>(std::malloc(NET_BUFFER_SIZE));
        client.pLine_Buffer = static_cast<char*>(std::malloc(NET_BUFFER_SIZE));
        CopyField(client.szNickname, "Ravkel");
        client.nSendMode = SEND_COMPOSE;
        Open();
    }
    void Open()
    {
        server.reset();
        server.reset(new ServerEnd);
        client.bConnected = 1;
        client.bReconnect = 0;
        fake.nTicks = 1000;
        StartLineAssembly();
        NoteServerHeard(connection.watch, fake.nTicks);
    }
    void TearDown() override
    {
        server.reset();
        std::free(client.pTCP_Input_Buffer);
        std::free(client.pLine_Buffer);
        client.pTCP_Input_Buffer = client.pLine_Buffer = nullptr;
    }
    // The connection's pass at that tick.
    EndReason CheckAt(unsigned nTicks)
    {
        fake.nTicks = nTicks;
        return PumpConnection();
    }

    std::unique_ptr<ServerEnd> server;
};

TEST_F(SilentServer, APingAfterTheIntervalAndAnAnswerKeepTheConnection)
{
    client.nPingSeconds = 2;
    EXPECT_EQ(END_NONE, CheckAt(2999));
    EXPECT_EQ("", server->ReadAll());
    EXPECT_EQ(END_NONE, CheckAt(3000));
    EXPECT_EQ("PING :KELVA\r\n", server->ReadAll()) << "raw, even in compose mode";
    EXPECT_EQ(SEND_COMPOSE, client.nSendMode);
    EXPECT_EQ(END_NONE, CheckAt(4000));
    EXPECT_EQ("", server->ReadAll()) << "one PING until an answer";

    server->Write(":irc.example.net PONG irc.example.net :KELVA\r\n");
    EXPECT_EQ(END_NONE, CheckAt(4500));
    EXPECT_EQ("", fake.sOutput) << "the answer is not shown";
    EXPECT_EQ(END_NONE, CheckAt(6499)) << "the answer counts as life: the silence begins again";
    EXPECT_EQ(END_NONE, CheckAt(6500));
    EXPECT_EQ("PING :KELVA\r\n", server->ReadAll());

    // Any bytes count, even the start of a line.
    server->Write(":irc.example.net NOTICE Ravkel :hal");
    EXPECT_EQ(END_NONE, CheckAt(7000));
    EXPECT_EQ(END_NONE, CheckAt(8999));
    EXPECT_EQ("", server->ReadAll());
    EXPECT_EQ("", fake.sOutput);
}

TEST_F(SilentServer, ASilenceOfTwiceTheIntervalGivesUp)
{
    client.nPingSeconds = 2;
    EXPECT_EQ(END_NONE, CheckAt(3000));
    EXPECT_EQ(END_NONE, CheckAt(4999));
    EXPECT_EQ("", fake.sOutput);
    EXPECT_EQ(END_SILENCE, CheckAt(5000));
    EXPECT_EQ("Error: the server has not answered for 4 seconds\r\n", fake.sOutput);

    EXPECT_EQ(0, client.bConnected) << "the connection is ended";

    ParseSettings("");
    Open();
    fake.sOutput.clear();
    EXPECT_EQ(END_NONE, CheckAt(120999));
    EXPECT_EQ(END_NONE, CheckAt(121000)) << "the PING of the default interval";
    EXPECT_EQ(END_SILENCE, CheckAt(241000));
    EXPECT_EQ("Error: the server has not answered for 240 seconds\r\n", fake.sOutput);
}

}  // namespace
