#include "tests/integration/server_session.h"

#include <sys/ioctl.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/receive.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"

const char szWelcome[] = "Welcome to the Internet Relay Network Ravkel!";
const char szEndOfMotd[] = "End of MOTD command\r\n";

namespace {

using Clock = std::chrono::steady_clock;

std::string WorkDir()
{
    const ::testing::TestInfo* pTest = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(KELVA_SERVER_WORK_DIR) + "/" + pTest->test_suite_name() + "." + pTest->name();
}

int BytesWaiting(SOCKET s)
{
    int nBytes = 0;
    ioctl(s, FIONREAD, &nBytes);
    return nBytes;
}

}  // namespace

void ServerSession::SetUp()
{
    // A developer's partial build may lack the server; under scripts/test.sh
    // a skip would hide a broken install.
    if (std::string(KELVA_NGIRCD).empty()) {
        if (std::getenv("KELVA_REQUIRE_SERVER") != nullptr) FAIL() << "ngircd is not installed (scripts/deps.sh test)";
        GTEST_SKIP() << "ngircd is not installed";
    }
    ASSERT_NO_FATAL_FAILURE(RestartServer());

    ResetClientAndFake();
    ASSERT_EQ(0, NetStartup());
    CopyField(client.szNickname, "Ravkel");
    CopyField(client.szRealname, "Saint Ravkel de France");
    // Tests that want the channel list after the message of the day ask
    // for it; the others see the registration alone.
    client.bShowList = 0;
}

void ServerSession::TearDown()
{
    if (client.pLine_Buffer != nullptr) NetShutdown();
    if (HasFailure()) {
        std::cout << "--- output pane\n" << fake.sOutput << "\n";
        if (relay) std::cout << "--- sent by the client\n" << relay->Recorded() << "\n";
        if (server) std::cout << "--- server log\n" << server->Log() << "\n";
    }
    relay.reset();
    if (server) server->Stop();
}

void ServerSession::RestartServer()
{
    relay.reset();
    server.reset();
    server = std::make_unique<LocalIrcd>(WorkDir(), options);
    ASSERT_TRUE(server->Listening()) << server->Error();
    relay = std::make_unique<RecordingRelay>(server->Port());
}

short ServerSession::Connect(const char* szServer)
{
    CopyField(client.szIRCServer, szServer);
    CopyField(client.szIRCPort, relay->PortText().c_str());
    nLastPoll = 0;
    return ConnectToServer();
}

bool ServerSession::PumpUntil(const std::function<bool()>& done, int nMs)
{
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(nMs);
    for (;;) {
        if (done()) return true;
        if (nLastPoll != 0 || Clock::now() >= deadline) return false;
        nLastPoll = PollReceive();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool ServerSession::PumpUntilShown(const std::string& sText, int nMs)
{
    return PumpUntil([&] { return fake.sOutput.find(sText) != std::string::npos; }, nMs);
}

std::string ServerSession::StepOneLine()
{
    std::string sLine = relay->ForwardServerLine();
    if (sLine.empty()) return sLine;
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(2);
    while (BytesWaiting(client.sockServer) < static_cast<int>(sLine.size()) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    nLastPoll = PollReceive();
    return sLine;
}

std::unique_ptr<IrcPeer> ServerSession::NewPeer(const std::string& sNick, bool bAnswerPings)
{
    auto peer = std::make_unique<IrcPeer>(server->Port(), sNick, bAnswerPings);
    EXPECT_TRUE(peer->Registered()) << sNick << " could not register:\n" << peer->Received();
    return peer;
}

std::unique_ptr<IrcPeer> ServerSession::PeerInChannel(const std::string& sChannel)
{
    std::unique_ptr<IrcPeer> peer = NewPeer("Peer");
    peer->Send("JOIN " + sChannel);
    EXPECT_NE("", peer->WaitForLine(" 366 ")) << "Peer could not join " << sChannel;
    return peer;
}

std::string ServerSession::UserLine() const
{
    std::string sHost = client.szHostName;
    return "USER Ravkel " + sHost + " " + sHost + " :Saint Ravkel de France\r\n";
}
