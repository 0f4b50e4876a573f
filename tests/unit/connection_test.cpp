// The connection lifecycle against a real loopback listener: what goes on
// the wire at registration, what each failure shows, what Disconnect resets.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "irc/client_state.h"
#include "irc/connect_attempt.h"
#include "irc/connection.h"
#include "irc/dispatch.h"
#include "irc/receive.h"
#include "irc/send.h"
#include "irc/text.h"
#include "irc/tls.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

// The sockets this process holds open; a closed socket's number may be
// given to the next one, so the sockets are counted, not looked up.
int OpenSockets()
{
    int nSockets = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        nSockets += std::filesystem::read_symlink(entry.path(), error).string().rfind("socket:", 0) == 0;
    }
    return nSockets;
}

class Connection : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetClientAndFake();
        ASSERT_EQ(0, NetStartup());
        CopyField(client.szNickname, "Ravkel");
        CopyField(client.szRealname, "Saint Ravkel de France");
        CopyField(client.szHostName, "host.example");
        CopyField(client.szIRCServer, "127.0.0.1");
        CopyField(client.szIRCPort, listener.PortText().c_str());
    }
    void TearDown() override { NetShutdown(); }

    std::string Registration(const char* szServer, const char* szPassword)
    {
        CopyField(client.szIRCServer, szServer);
        CopyField(client.szPassword, szPassword);
        EXPECT_EQ(0, ConnectToServer());
        EXPECT_TRUE(FinishConnectAttempt());
        EXPECT_TRUE(listener.Accept());
        return listener.Read();
    }

    Listener listener;
};

const char szUser[] = "USER Ravkel host.example host.example :Saint Ravkel de France\r\n";

TEST_F(Connection, RegistersWithNickAndUserAndPassOnlyWhenSet)
{
    EXPECT_EQ(std::string("NICK Ravkel\r\n") + szUser, Registration("127.0.0.1", ""));
    EXPECT_EQ("Attempting to connect to 127.0.0.1\r\n", fake.sOutput);

    Disconnect();
    EXPECT_EQ(std::string("PASS s3cret\r\nNICK Ravkel\r\n") + szUser, Registration("127.0.0.1", "s3cret"));
}

TEST_F(Connection, TheDefaultServerGetsTheIdentificationLineInAnyLetterCase)
{
    if (std::string(szDefaultServer) != "localhost") GTEST_SKIP() << "the default server is not this machine";
    EXPECT_EQ(std::string("KELVA 1.32 32\r\nNICK Ravkel\r\n") + szUser, Registration("localhost", ""));
    Disconnect();
    EXPECT_EQ(std::string("KELVA 1.32 32\r\nPASS pw\r\nNICK Ravkel\r\n") + szUser, Registration("LocalHost", "pw"));
}

TEST_F(Connection, ConnectingSetsModesControlsAndClearsThePartner)
{
    CopyField(client.szPartner, "bob");
    CopyField(client.szChannel, "lobby");
    const char szHalf[] = ":old connection's half li";
    std::memcpy(client.pLine_Buffer, szHalf, sizeof szHalf);
    connection.lines.bOverflowShown = 1;
    Registration("127.0.0.1", "");
    EXPECT_EQ(1, client.bConnected);
    EXPECT_EQ(SEND_COMPOSE, client.nSendMode);
    EXPECT_EQ(1, fake.bConnectedControls);
    EXPECT_STREQ("", client.szPartner);
    EXPECT_STREQ("lobby", client.szChannel) << "kept for the join after the message of the day";
    EXPECT_STREQ("", client.pLine_Buffer);
    EXPECT_EQ(0, connection.lines.bOverflowShown) << "the first over-long line of this connection gets its notice";
    int nNoDelay = 0;
    socklen_t nSize = sizeof nNoDelay;
    getsockopt(client.sockServer, IPPROTO_TCP, TCP_NODELAY, &nNoDelay, &nSize);
    EXPECT_NE(0, nNoDelay) << "a piece of a line leaves without waiting for the server's acknowledgement of the last";

    EXPECT_EQ(0, ConnectToServer()) << "already connected";
    EXPECT_EQ("Attempting to connect to 127.0.0.1\r\n", fake.sOutput);
}

struct FailedAttempt {
    const char* szWhat;
    const char* szServer;
    const char* szPort;  // nullptr: the listener's
    const char* szError;
    std::vector<std::string> hosts;  // what the look-up finds for szServer; empty: the system's answer
    EndReason nReason;
};

const FailedAttempt kFailures[] = {
    {"a port that is not a number connects to port 0", "127.0.0.1", "abc", "Error: connect() = 10061\r\n", {},
     END_CONNECT_FAILED},
    {"a name that begins with a digit is taken as an address", "1nvalid.example", nullptr, "Error: connect() = ",
     {}, END_CONNECT_FAILED},
    // A label of 64 characters is refused before any name server is asked.
    {"a name that cannot be found",
     "no-such-host-with-a-first-label-longer-than-sixty-three-characters.invalid", nullptr,
     "Error: gethostbyname() = 110", {}, END_LOOKUP_FAILED},
    // The listener is on 127.0.0.1 alone: the others refuse.
    {"every address of a name refuses: the last one's error, once", "dead.test", nullptr,
     "Error: connect() = 10061\r\n", {"::1", "127.0.0.2"}, END_CONNECT_FAILED},
};

TEST_F(Connection, AFailedAttemptShowsItsErrorAndLeavesTheStateAsItWas)
{
    const int nSocketsBefore = OpenSockets();
    for (const FailedAttempt& c : kFailures) {
        fake.sOutput.clear();
        fake.hosts[c.szServer] = c.hosts;
        if (c.hosts.empty()) fake.hosts.erase(c.szServer);
        CopyField(client.szIRCServer, c.szServer);
        if (c.szPort) CopyField(client.szIRCPort, c.szPort);
        ConnectToServer();
        EXPECT_TRUE(FinishConnectAttempt()) << c.szWhat;
        std::string sExpected = std::string("Attempting to connect to ") + c.szServer + "\r\n" + c.szError;
        EXPECT_EQ(sExpected, fake.sOutput.substr(0, sExpected.size())) << c.szWhat;
        EXPECT_EQ(1u, fake.appends.size() - 1) << c.szWhat << ": one error line\n" << fake.sOutput;
        EXPECT_EQ(0, client.bConnected) << c.szWhat;
        EXPECT_EQ(c.nReason, connection.nLastEnd) << c.szWhat;
        EXPECT_FALSE(ConnectsAgainAfter(c.nReason, false)) << c.szWhat << ": the user tries again";
        EXPECT_TRUE(ConnectsAgainAfter(c.nReason, true)) << c.szWhat << ": a try to connect again tries on";
        EXPECT_EQ(0, fake.bConnectingControls) << c.szWhat << ": the button reads \"Connect\" again";
        EXPECT_EQ(SEND_RAW, client.nSendMode) << c.szWhat;
        EXPECT_EQ(INVALID_SOCKET, client.sockServer) << c.szWhat << ": the socket is given back";
        EXPECT_EQ(nSocketsBefore, OpenSockets()) << c.szWhat << ": every socket tried is closed";
        fake.appends.clear();
    }
}

TEST_F(Connection, ANameWithADeadAddressConnectsThroughTheNextOne)
{
    fake.hosts["dual.test"] = {"::1", "127.0.0.2", "127.0.0.1"};
    const int nSocketsBefore = OpenSockets();
    EXPECT_EQ(std::string("NICK Ravkel\r\n") + szUser, Registration("dual.test", ""));
    EXPECT_EQ("Attempting to connect to dual.test\r\n", fake.sOutput) << "the dead addresses show nothing";
    ASSERT_EQ(3u, fake.watchedConnects.size()) << "each address in the order found";
    EXPECT_EQ(fake.watchedConnects[2], client.sockServer);
    EXPECT_EQ(nSocketsBefore + 2, OpenSockets()) << "the connection and the listener's end of it, no more";
    EXPECT_EQ(1, fake.bConnectedControls);
}

// While the look-up and the connect run, nothing waits: each step ends when
// the shell reports it.
TEST_F(Connection, AnAttemptRunsInStepsAndShowsCancelMeanwhile)
{
    CopyField(client.szIRCServer, "localhost");
    EXPECT_EQ(0, ConnectToServer());
    ASSERT_EQ(1u, fake.lookUps.size());
    EXPECT_EQ("localhost", fake.lookUps[0].second);
    EXPECT_EQ(1, fake.bConnectingControls);
    EXPECT_EQ(0, client.bConnected);
    EXPECT_EQ(0, ConnectToServer()) << "a second Connect while connecting does nothing";
    EXPECT_EQ(1u, fake.lookUps.size());
    EXPECT_EQ("Attempting to connect to localhost\r\n", fake.sOutput);

    AnswerLookUp();
    ASSERT_EQ(1u, fake.watchedConnects.size()) << "the connect is watched before it begins";
    EXPECT_EQ(1, fake.bConnectingControls);
    EXPECT_TRUE(listener.Accept());
    EXPECT_TRUE(ReportConnectEnd(2000));
    EXPECT_EQ(1, client.bConnected);
    EXPECT_EQ(0, fake.bConnectingControls);
    EXPECT_EQ(1, fake.bConnectedControls);
}

TEST_F(Connection, CancelAbandonsTheAttemptAtEachStep)
{
    CopyField(client.szIRCServer, "localhost");
    ConnectToServer();
    EXPECT_EQ(0, Disconnect()) << "Disconnect while connecting cancels";
    EXPECT_EQ(0, fake.bConnectingControls);
    AnswerLookUp();
    EXPECT_TRUE(fake.watchedConnects.empty()) << "the look-up of an abandoned attempt is dropped";

    // A look-up that ends after a new attempt has begun belongs to the old one.
    ConnectToServer();
    Disconnect();
    ConnectToServer();
    ASSERT_EQ(2u, fake.lookUps.size());
    AnswerLookUp();
    EXPECT_TRUE(fake.watchedConnects.empty());
    EXPECT_TRUE(FinishConnectAttempt());
    EXPECT_EQ(1, client.bConnected);
    Disconnect();

    // A listener with a full queue leaves the connect hanging.
    Listener full(0);
    full.FillQueue();
    CopyField(client.szIRCServer, "127.0.0.1");
    CopyField(client.szIRCPort, full.PortText().c_str());
    const int nSocketsBefore = OpenSockets();
    ConnectToServer();
    ASSERT_EQ(2u, fake.watchedConnects.size());
    SOCKET sockHanging = fake.watchedConnects.back();
    EXPECT_FALSE(ReportConnectEnd(300)) << "the connect is still waiting";
    Disconnect();
    EXPECT_EQ(nSocketsBefore, OpenSockets()) << "nothing is left half-open";
    EXPECT_FALSE(ConnectAttemptInProgress());
    EXPECT_EQ(0, fake.bConnectingControls);
    OnConnectDone(sockHanging, 0);
    EXPECT_EQ(0, client.bConnected) << "a late report of an abandoned connect changes nothing";
    EXPECT_EQ(INVALID_SOCKET, client.sockServer);
}

TEST_F(Connection, TheAttemptLineHoldsTheLongestServerName)
{
    std::string sName(255, 'h');
    CopyField(client.szIRCServer, sName.c_str());
    ConnectToServer();
    EXPECT_EQ("Attempting to connect to " + sName + "\r\n", fake.sOutput.substr(0, 27 + 255));
}

TEST_F(Connection, DisconnectWhileNotConnectedDoesNothing)
{
    EXPECT_EQ(0, Disconnect());
    EXPECT_EQ("", fake.sOutput);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(Connection, DisconnectInAGameSaysQuitAndEndsGameMode)
{
    Registration("127.0.0.1", "");
    CopyField(client.szChannel, "#Go-Moku");
    CopyField(client.szPartner, "bob");
    client.nGameState = GAME_PLAYING;
    fake.nicks = {"Ravkel", "bob"};

    EXPECT_EQ(0, Disconnect());
    EXPECT_EQ("QUIT\r\n", listener.Read());
    EXPECT_TRUE(listener.PeerClosed());
    EXPECT_TRUE(fake.nicks.empty());
    EXPECT_EQ("KELVA", fake.sTitle);
    EXPECT_EQ(GAME_OFF, client.nGameState);
    EXPECT_STREQ("", client.szChannel);
    EXPECT_EQ(0, client.bConnected);
    EXPECT_EQ(0, fake.bConnectedControls);
    EXPECT_EQ(SEND_COMPOSE, client.nSendMode) << "the send mode stays as registration left it";
}

TEST_F(Connection, DisconnectOutsideAChannelLeavesGameModeOn)
{
    Registration("127.0.0.1", "");
    client.nGameState = GAME_IDLE;
    Disconnect();
    EXPECT_EQ("QUIT\r\n", listener.Read());
    EXPECT_EQ(GAME_IDLE, client.nGameState);
}

// How an open connection ends: each end passes through the one function
// with its reason, which decides the error line and whether the client
// connects again by itself.
struct ConnectionEnd {
    const char* szWhat;
    void (*pfnEnd)(Listener& listener);
    EndReason nReason;
    const char* szShown;
    bool bConnectAgain;
};

// Passes of the main loop until the connection ends, for at most 5 seconds.
void PumpUntilEnded()
{
    for (int i = 0; i < 500 && client.bConnected; ++i) {
        if (PumpConnection() == END_NONE) Sleep(10);
    }
}

const char szAgainIn5[] = "<KELVA> Connecting again in 5 seconds\r\n";

const ConnectionEnd kEnds[] = {
    {"the server closes", [](Listener& l) { l.ClosePeer(false); PumpUntilEnded(); }, END_CLOSED,
     "Error: nBytesRecv = 0\r\n<KELVA> Connecting again in 5 seconds\r\n", true},
    {"the server closes after the user's QUIT",
     [](Listener& l) {
         SendText("/quit bye\r\n");
         l.Read();  // what is left unread would go back as a reset
         l.ClosePeer(false);
         PumpUntilEnded();
     },
     END_QUIT, "Error: nBytesRecv = 0\r\n", false},
    {"the server resets", [](Listener& l) { l.ClosePeer(true); PumpUntilEnded(); }, END_RESET,
     "Error: recv() = 10054\r\n<KELVA> Connecting again in 5 seconds\r\n", true},
    {"the server stays silent for twice the interval",
     [](Listener&) {
         client.nPingSeconds = 1;
         for (fake.nTicks = 0; fake.nTicks <= 2000 && client.bConnected; fake.nTicks += 500) PumpConnection();
     },
     END_SILENCE, "Error: the server has not answered for 2 seconds\r\n<KELVA> Connecting again in 5 seconds\r\n",
     true},
    {"the user disconnects", [](Listener&) { Disconnect(); }, END_USER, "", false},
    {"the window closes",
     [](Listener&) {
         NetShutdown();
         NetStartup();
     },
     END_WINDOW_CLOSED, "", false},
};

TEST_F(Connection, EachEndShowsItsLineAndSaysWhetherToConnectAgain)
{
    for (const ConnectionEnd& c : kEnds) {
        Registration("127.0.0.1", "");
        fake.sOutput.clear();
        fake.nTicks = 0;
        c.pfnEnd(listener);
        EXPECT_EQ(0, client.bConnected) << c.szWhat;
        EXPECT_EQ(c.nReason, connection.nLastEnd) << c.szWhat;
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ(c.bConnectAgain, ConnectsAgainAfter(c.nReason, false)) << c.szWhat;
        EXPECT_EQ(0, fake.bConnectedControls) << c.szWhat;
        EXPECT_EQ(c.bConnectAgain ? 1 : 0, fake.bConnectingControls) << c.szWhat << ": \"Cancel\" while waiting";
        Disconnect();
    }
}

// A drop after a registration: tries after 5 seconds, and, while the
// server cannot be reached, after 10, 20, 40 ... and at most 300; a try that
// registers makes the next wait 5 again, and joins the channel again.
TEST_F(Connection, ADropIsTriedAgainLaterAndLaterAndTheChannelJoinedAgain)
{
    Registration("127.0.0.1", "");
    HandleServerLine(":srv 001 Ravkel :Welcome\r\n");
    HandleServerLine(":Ravkel!r@h JOIN :#lobby\r\n");
    std::string sLive = listener.PortText(), sDead;
    {
        Listener gone;
        sDead = gone.PortText();
    }
    fake.nTicks = 1000;
    listener.ClosePeer(false);
    PumpUntilEnded();
    CopyField(client.szIRCPort, sDead.c_str());
    EXPECT_NE(std::string::npos, fake.sOutput.find(szAgainIn5));
    unsigned nStart = fake.nTicks;
    for (int nWait : {5, 10, 20, 40, 80, 160, 300, 300}) {
        fake.sOutput.clear();
        fake.nTicks = nStart + 1000u * static_cast<unsigned>(nWait) - 1;
        PumpConnection();
        EXPECT_EQ("", fake.sOutput) << "a moment before the try after " << nWait;
        fake.nTicks = nStart = nStart + 1000u * static_cast<unsigned>(nWait);
        PumpConnection();
        EXPECT_TRUE(FinishConnectAttempt());
        EXPECT_EQ(0, fake.bConnectedControls + (1 - fake.bConnectingControls)) << "\"Cancel\" between tries";
        if (nWait == 300) break;
        std::string sNext = std::to_string(nWait == 160 ? 300 : 2 * nWait);
        EXPECT_EQ("Attempting to connect to 127.0.0.1\r\nError: connect() = 10061\r\n"
                  "<KELVA> Connecting again in " + sNext + " seconds\r\n",
                  fake.sOutput) << "the try after " << nWait;
    }
    CopyField(client.szIRCPort, sLive.c_str());
    fake.nTicks = nStart + 300000;
    PumpConnection();
    ASSERT_TRUE(FinishConnectAttempt());
    ASSERT_TRUE(listener.Accept());
    HandleServerLine(":srv 001 Ravkel :Welcome\r\n");
    HandleServerLine(":srv 376 Ravkel :End of MOTD\r\n");
    EXPECT_NE(std::string::npos, listener.Read().find("JOIN #lobby\r\n")) << "the channel it was in";

    fake.sOutput.clear();
    listener.ClosePeer(false);
    PumpUntilEnded();
    EXPECT_NE(std::string::npos, fake.sOutput.find(szAgainIn5)) << "after a registration, 5 again";
    Disconnect();
    EXPECT_EQ(0, fake.bConnectingControls) << "Cancel ends the waiting";
    fake.nTicks += 3600000;
    PumpConnection();
    EXPECT_FALSE(ConnectAttemptInProgress()) << "and no try comes";

    client.bReconnect = 0;
    ASSERT_EQ(0, ConnectToServer());
    ASSERT_TRUE(FinishConnectAttempt());
    ASSERT_TRUE(listener.Accept());
    listener.Read();
    fake.sOutput.clear();
    listener.ClosePeer(false);
    PumpUntilEnded();
    EXPECT_EQ("Error: nBytesRecv = 0\r\n", fake.sOutput) << "Reconnect=0: no try";
}

TEST_F(Connection, ConnectingAgainRegistersAfreshOnANewSocket)
{
    Registration("127.0.0.1", "");
    // The server took a fallback nickname, and welcomed it.
    CopyField(client.szNickname, "Ravkel_");
    client.bRegistered = 1;
    Disconnect();
    EXPECT_STREQ("Ravkel", client.szNickname) << "the chosen nickname is back for the settings";
    fake.sOutput.clear();
    EXPECT_EQ(std::string("NICK Ravkel\r\n") + szUser, Registration("127.0.0.1", ""));
    EXPECT_EQ(1, client.bConnected);
    EXPECT_EQ(0, client.bRegistered) << "a 433 of the new registration gets its fallback";
}

TEST_F(Connection, ShutdownFreesTheBuffersAndClosesTheConnection)
{
    EXPECT_NE(nullptr, client.pTCP_Input_Buffer);
    EXPECT_NE(nullptr, client.pLine_Buffer);
    Registration("127.0.0.1", "");
    NetShutdown();
    EXPECT_EQ(nullptr, client.pTCP_Input_Buffer);
    EXPECT_EQ(nullptr, client.pLine_Buffer);
    EXPECT_EQ("QUIT\r\n", listener.Read());
    EXPECT_EQ(0, client.bConnected);
    ASSERT_EQ(0, NetStartup());  // for TearDown
}

// With TLS on, the TCP connection carries nothing but the session: the
// fake stands for the system's TLS and records what went into it.
class SecureConnection : public Connection {
protected:
    void SetUp() override
    {
        Connection::SetUp();
        client.bTLS = 1;
        CopyField(client.szPassword, "s3cret");
        fake.nTicks = 5000;
    }
    void Connect()
    {
        ASSERT_EQ(0, ConnectToServer());
        ASSERT_TRUE(FinishConnectAttempt());
        ASSERT_TRUE(listener.Accept());
    }
};

TEST_F(SecureConnection, RegistersInsideTheSessionOnceTheHandshakeEnds)
{
    fake.tls.nPendingSteps = 2;
    Connect();
    EXPECT_EQ("127.0.0.1", fake.tls.sHost) << "the certificate is checked for the name as typed";
    EXPECT_EQ(1, client.bConnected) << "the handshake runs as part of the connection";
    EXPECT_EQ(1, fake.bConnectedControls);
    SendText("early words\r\n");
    EXPECT_EQ(END_NONE, PumpConnection());
    EXPECT_EQ(END_NONE, PumpConnection());
    EXPECT_EQ("", fake.tls.sSent) << "nothing is sent while the handshake runs";
    EXPECT_EQ(SEND_RAW, client.nSendMode);
    EXPECT_EQ(END_NONE, PumpConnection());
    EXPECT_EQ(std::string("PASS s3cret\r\nNICK Ravkel\r\n") + szUser, fake.tls.sSent);
    EXPECT_EQ(SEND_COMPOSE, client.nSendMode);
    EXPECT_TRUE(fake.dialogs.empty()) << "a certificate the system trusts is not questioned";

    EXPECT_EQ(0, Disconnect());
    EXPECT_EQ("QUIT\r\n", fake.tls.sSent.substr(fake.tls.sSent.size() - 6));
    EXPECT_EQ(1, fake.tls.nEnds);
    EXPECT_EQ("", listener.Read()) << "not one byte in clear";
    EXPECT_TRUE(listener.PeerClosed());
}

struct SecureFailure {
    const char* szWhat;
    void (*pfnArrange)();
    const char* szError;
    EndReason nReason;
    bool bConnectAgain;
};

const SecureFailure kSecureFailures[] = {
    {"the server does not speak TLS", [] { fake.tls.bHandshakeFails = true; },
     "Error: TLS handshake failed: the server does not speak TLS\r\n", END_HANDSHAKE_FAILED, false},
    {"the server sends no certificate", [] { fake.tls.bCertificate = false; },
     "Error: TLS handshake failed: the server sent no certificate\r\n", END_HANDSHAKE_FAILED, false},
    {"the user does not trust the certificate",
     [] {
         fake.tls.nProblem = CERT_NOT_TRUSTED;
         fake.answers = {7};
     },
     "Error: certificate not accepted\r\n", END_CERT_REFUSED, false},
};

TEST_F(SecureConnection, AFailedHandshakeOrCertificateSendsNothingAndDisconnects)
{
    for (const SecureFailure& c : kSecureFailures) {
        fake.tls = FakeTls();
        fake.sOutput.clear();
        c.pfnArrange();
        Connect();
        EXPECT_EQ(c.nReason, PumpConnection()) << c.szWhat;
        EXPECT_EQ(c.bConnectAgain, ConnectsAgainAfter(c.nReason, false)) << c.szWhat;
        EXPECT_EQ(std::string("Attempting to connect to 127.0.0.1\r\n") + c.szError, fake.sOutput) << c.szWhat;
        EXPECT_EQ(0, fake.bConnectedControls) << c.szWhat << ": the button reads Connect";
        EXPECT_EQ(0, Disconnect()) << c.szWhat;
        EXPECT_EQ("", fake.tls.sSent) << c.szWhat << ": not even the QUIT";
        EXPECT_EQ("", listener.Read()) << c.szWhat;
    }
}

TEST_F(SecureConnection, AHandshakeWithoutAnAnswerIsGivenUpAfter30Seconds)
{
    fake.tls.nPendingSteps = 1000000;
    Connect();
    fake.nTicks += 29999;
    EXPECT_EQ(END_NONE, PumpConnection());
    fake.nTicks += 1;
    EXPECT_EQ(END_HANDSHAKE_FAILED, PumpConnection());
    EXPECT_EQ("Attempting to connect to 127.0.0.1\r\n"
              "Error: TLS handshake failed: the server gave no answer in 30 seconds\r\n",
              fake.sOutput);
}

TEST_F(SecureConnection, ASessionTheSystemRefusesIsAFailedAttempt)
{
    fake.tls.bBeginFails = true;
    EXPECT_EQ(0, ConnectToServer());
    EXPECT_TRUE(FinishConnectAttempt());
    EXPECT_EQ("Attempting to connect to 127.0.0.1\r\nError: TLS handshake failed: the server does not speak TLS\r\n",
              fake.sOutput);
    EXPECT_EQ(0, client.bConnected);
    EXPECT_EQ(INVALID_SOCKET, client.sockServer);
    EXPECT_EQ(0, fake.bConnectedControls + fake.bConnectingControls) << "the button reads Connect";
}

TEST(NetStartup, LearnsTheHostName)
{
    ResetClientAndFake();
    ASSERT_EQ(0, NetStartup());
    char szExpected[256] = "";
    gethostname(szExpected, sizeof szExpected);
    EXPECT_STREQ(szExpected, client.szHostName);
    EXPECT_STREQ("", client.pLine_Buffer);
    EXPECT_TRUE(fake.dialogs.empty());
    NetShutdown();
}

}  // namespace
