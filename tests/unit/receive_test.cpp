// The receive path: line assembly as a function of the bytes received, and
// PollReceive over a real socket pair. Every line the assembly hands on is
// shown as it is, one append each.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "irc/client_state.h"
#include "irc/receive.h"
#include "irc/seam.h"
#include "irc/transport.h"
#include "resources/resource.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

int nMainWindow;  // stands for the main window's handle

void ShowLine(const char* szLine) { AppendOutput(szLine); }

// One receive pass, its lines shown.
ReceiveResult Poll()
{
    int nError = 0;
    return PollReceive(ShowLine, nError);
}

class Receive : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { FreeBuffers(); }

    void Reset()
    {
        FreeBuffers();
        ResetClientAndFake();
        client.pTCP_Input_Buffer = static_cast<char*>(std::malloc(NET_BUFFER_SIZE));
        client.pLine_Buffer = static_cast<char*>(std::malloc(NET_BUFFER_SIZE));
        client.pLine_Buffer[0] = '\0';
        client.bConnected = 1;
        client.hMainWnd = &nMainWindow;
    }
    void FreeBuffers()
    {
        std::free(client.pTCP_Input_Buffer);
        std::free(client.pLine_Buffer);
        client.pTCP_Input_Buffer = client.pLine_Buffer = nullptr;
    }

    // Feeds the bytes through the assembly as one chunk.
    void Feed(const std::string& sBytes)
    {
        ASSERT_LE(sBytes.size(), 512u);
        std::memcpy(client.pTCP_Input_Buffer, sBytes.data(), sBytes.size());
        AssembleLines(client.pTCP_Input_Buffer, static_cast<int>(sBytes.size()), ShowLine);
    }

    int Overflows() const { return static_cast<int>(fake.dialogs.size()); }

    // An established TLS session whose server text arrives from the fake in
    // pieces of nPiece bytes.
    void StartSecure(const std::string& sIncoming, size_t nPiece)
    {
        client.bTLS = 1;
        ASSERT_EQ(SESSION_PENDING, StartSession(INVALID_SOCKET, "irc.example.net", true, 0));
        ASSERT_EQ(SESSION_READY, ContinueSession(0));
        fake.tls.sIncoming = sIncoming;
        fake.tls.nPiece = nPiece;
    }
    // Receive passes until the session has nothing more; how many it took.
    int ReceiveAll()
    {
        int nPasses = 0;
        while (!fake.tls.sIncoming.empty() || TransportPending()) {
            EXPECT_EQ(RECEIVE_DATA, Poll());
            if (++nPasses > 100000) break;
        }
        return nPasses;
    }
};

TEST_F(Receive, EverySplitOfAStreamGivesTheSameLines)
{
    const std::string sStream = ":srv 001 Ravkel :Welcome\r\nPING :srv\r\n:bob!b@h PRIVMSG #c :hi\n\r\n";
    const std::vector<std::string> lines = {":srv 001 Ravkel :Welcome\r\n", "PING :srv\r\n", ":bob!b@h PRIVMSG #c :hi\n",
                                            "\r\n"};
    for (size_t nFirst = 0; nFirst <= sStream.size(); ++nFirst) {
        for (size_t nSecond = nFirst; nSecond <= sStream.size(); ++nSecond) {
            Reset();
            Feed(sStream.substr(0, nFirst));
            Feed(sStream.substr(nFirst, nSecond - nFirst));
            Feed(sStream.substr(nSecond));
            ASSERT_EQ(lines, fake.appends) << "split at " << nFirst << " and " << nSecond;
            ASSERT_STREQ("", client.pLine_Buffer);
        }
    }
}

TEST_F(Receive, AStartIsKeptUntilItsLineEnds)
{
    Feed("PING :s");
    EXPECT_TRUE(fake.appends.empty());
    EXPECT_STREQ("PING :s", client.pLine_Buffer);
    Feed("rv\r\nNEXT");
    EXPECT_EQ(std::vector<std::string>{"PING :srv\r\n"}, fake.appends);
    EXPECT_STREQ("NEXT", client.pLine_Buffer);
}

TEST_F(Receive, A512CharacterLineIsHandledAnd513IsRefusedOnce)
{
    std::string sLine512 = std::string(510, 'a') + "\r\n";
    Feed(sLine512);
    EXPECT_EQ(std::vector<std::string>{sLine512}, fake.appends);
    EXPECT_EQ(0, Overflows());

    Reset();
    std::string sLine513 = std::string(511, 'b') + "\r\n";
    Feed(sLine513.substr(0, 300));
    Feed(sLine513.substr(300));
    EXPECT_TRUE(fake.appends.empty());
    ASSERT_EQ(1, Overflows());
    EXPECT_EQ("pLine_Buffer overflow", fake.dialogs[0].sSubject);
    EXPECT_EQ("Error", fake.dialogs[0].sTitle);
    EXPECT_EQ(IDS_ERROR, fake.dialogs[0].nStringId);
    EXPECT_TRUE(fake.dialogs[0].bOwned);
    EXPECT_STREQ("", client.pLine_Buffer);
}

TEST_F(Receive, AnOverflowingPieceIsLostAndTheKeptStartCompletedLater)
{
    std::string sStart(400, 's');
    Feed(sStart);
    Feed(std::string(200, 'x'));
    EXPECT_EQ(1, Overflows());
    EXPECT_EQ(sStart, client.pLine_Buffer);
    std::string sEnd = std::string(110, 'e') + "\r\n";
    Feed(sEnd + "NEXT\r\n");
    EXPECT_EQ((std::vector<std::string>{sStart + sEnd, "NEXT\r\n"}), fake.appends);
    EXPECT_EQ(1, Overflows());
}

TEST_F(Receive, TheRestOfAChunkIsHandledAfterAnOverflow)
{
    Feed(std::string(500, 'k'));
    Feed(std::string(20, 'z') + "\r\nPING :a\r\n");
    EXPECT_EQ(std::vector<std::string>{"PING :a\r\n"}, fake.appends);
    EXPECT_EQ(1, Overflows());
}

// A server that floods over-long lines must not raise one modal notice after
// another: the first of a connection is shown, the rest are dropped quietly.
TEST_F(Receive, AFloodOfOverlongLinesGivesOneNoticePerConnection)
{
    const std::string sOverlong = std::string(600, 'x') + "\r\n";
    for (int i = 0; i < 5; ++i)
        for (size_t nAt = 0; nAt < sOverlong.size(); nAt += 400) Feed(sOverlong.substr(nAt, 400));
    const std::string sKept(500, 'k');
    Feed(sKept);
    Feed(std::string(100, 'u'));
    Feed("\r\nPING :after\r\n");
    EXPECT_EQ((std::vector<std::string>{sKept + "\r\n", "PING :after\r\n"}), fake.appends)
        << "lines after the flood are handled";
    EXPECT_EQ(1, Overflows()) << "complete and unfinished lines share the one notice";

    Feed("PING :ha");
    StartLineAssembly();
    EXPECT_STREQ("", client.pLine_Buffer) << "a new connection keeps no partial line";
    Feed(sOverlong.substr(0, 400));
    Feed(sOverlong.substr(400));
    EXPECT_EQ(2, Overflows()) << "a new connection shows the notice again";
}

TEST_F(Receive, NulBytesAreSkippedAndTheScanGoesOn)
{
    Feed(std::string("PI\0NG :a\r\n\0\0PING :b\r\n", 22));
    EXPECT_EQ((std::vector<std::string>{"PING :a\r\n", "PING :b\r\n"}), fake.appends);
}

// The lines and their order are those of a plain connection, however the
// session's records cut the text.
TEST_F(Receive, TLSTextInPiecesOfEverySizeGivesTheLinesOfAPlainStream)
{
    const std::string sLine512 = std::string(510, 'a') + "\r\n";
    const std::string sStream = ":srv 001 Ravkel :Welcome\r\nPING :srv\r\n" + sLine512 + "\r\n" + sLine512 +
                                ":bob!b@h PRIVMSG #c :hi\n";
    const std::vector<std::string> lines = {":srv 001 Ravkel :Welcome\r\n", "PING :srv\r\n", sLine512, "\r\n",
                                            sLine512, ":bob!b@h PRIVMSG #c :hi\n"};
    for (size_t nPiece = 1; nPiece <= sStream.size(); ++nPiece) {
        Reset();
        StartSecure(sStream, nPiece);
        ReceiveAll();
        ASSERT_EQ(lines, fake.appends) << "pieces of " << nPiece;
        ASSERT_EQ(0, Overflows()) << "pieces of " << nPiece;
        ASSERT_STREQ("", client.pLine_Buffer);
    }
}

// A record of 700 bytes reaches the assembly as 512 and 188, as a plain
// receive would: the over-long line's start is kept, its end refused.
TEST_F(Receive, AnOverlongLineInOneTLSRecordIsRefusedAsOnAPlainConnection)
{
    StartSecure(std::string(600, 'o') + "\r\nPING :a\r\n" + std::string(87, 'n'), 700);
    ReceiveAll();
    EXPECT_EQ(std::vector<std::string>{"PING :a\r\n"}, fake.appends);
    EXPECT_EQ(1, Overflows());
    EXPECT_EQ(std::string(87, 'n'), client.pLine_Buffer);
}

TEST_F(Receive, ALargeTLSRecordIsHandedOn512BytesAPass)
{
    const std::string sLine = std::string(298, 'x') + "\r\n";
    StartSecure(sLine + sLine + sLine, 900);
    EXPECT_EQ(RECEIVE_DATA, Poll());
    EXPECT_EQ(std::vector<std::string>{sLine}, fake.appends) << "the first 512 bytes hold one whole line";
    EXPECT_TRUE(ReceiveFilledBuffer()) << "the rest of the record waits";
    EXPECT_EQ(RECEIVE_DATA, Poll());
    EXPECT_EQ(3u, fake.appends.size());
    EXPECT_FALSE(ReceiveFilledBuffer()) << "the record's last 388 bytes were all there was";
    EXPECT_EQ(RECEIVE_NOTHING, Poll()) << "nothing more has arrived";
    EXPECT_EQ(3u, fake.appends.size());
}

TEST_F(Receive, TheEndOfATLSSessionEndsTheConnection)
{
    StartSecure("last\r\n", 100);
    fake.tls.bClosesAtEnd = true;
    EXPECT_EQ(RECEIVE_DATA, Poll());
    EXPECT_EQ(RECEIVE_CLOSED, Poll()) << "a close like a server's close";
    EXPECT_EQ("last\r\n", fake.sOutput);

    Reset();
    StartSecure("", 100);
    fake.tls.bFailsAtEnd = true;
    fake.tls.sReason = "bad record mac";
    EXPECT_EQ(RECEIVE_BROKEN, Poll());
    EXPECT_EQ(RECEIVE_BROKEN, Poll()) << "a failed session stays failed";
    EXPECT_STREQ("TLS connection failed: bad record mac", SessionFailure());
}

TEST_F(Receive, PollReceiveHandlesEveryLineOfOneReceive)
{
    ServerEnd server;
    server.Write("one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(RECEIVE_DATA, Poll());
    EXPECT_EQ((std::vector<std::string>{"one\r\n", "two\r\n", "three\r\n"}), fake.appends);
}

TEST_F(Receive, PollReceiveTakesAtMost512BytesAPass)
{
    ServerEnd server;
    std::string sLine = std::string(298, 'x') + "\r\n";
    server.Write(sLine + sLine);
    EXPECT_EQ(RECEIVE_DATA, Poll());
    EXPECT_EQ(std::vector<std::string>{sLine}, fake.appends);
    EXPECT_EQ(512u - 300u, std::strlen(client.pLine_Buffer));
    EXPECT_TRUE(ReceiveFilledBuffer()) << "more is likely waiting";
    EXPECT_EQ(RECEIVE_DATA, Poll());
    EXPECT_EQ((std::vector<std::string>{sLine, sLine}), fake.appends);
    EXPECT_FALSE(ReceiveFilledBuffer()) << "88 bytes were all there was";
    EXPECT_EQ(RECEIVE_NOTHING, Poll());
    EXPECT_FALSE(ReceiveFilledBuffer()) << "nothing was waiting";
}

TEST_F(Receive, NothingWaitingIsSilent)
{
    ServerEnd server;
    EXPECT_EQ(RECEIVE_NOTHING, Poll());
    EXPECT_EQ("", fake.sOutput);
}

TEST_F(Receive, AClosedConnectionIsReported)
{
    ServerEnd server;
    server.Write("last\r\n");
    server.Close();
    EXPECT_EQ(RECEIVE_DATA, Poll());
    EXPECT_EQ(RECEIVE_CLOSED, Poll());
    EXPECT_EQ("last\r\n", fake.sOutput);
}

TEST_F(Receive, AFailedReceiveGivesItsError)
{
    client.sockServer = INVALID_SOCKET;
    int nError = 0;
    EXPECT_EQ(RECEIVE_FAILED, PollReceive(ShowLine, nError));
    EXPECT_EQ(WSAENOTSOCK, nError);
}

TEST_F(Receive, NothingIsReceivedWhileNotConnected)
{
    ServerEnd server;
    server.Write("waiting\r\n");
    client.bConnected = 0;
    EXPECT_EQ(RECEIVE_NOTHING, Poll());
    EXPECT_EQ("", fake.sOutput);
}

}  // namespace
