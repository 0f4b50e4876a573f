#include "tests/integration/server_session.h"

#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "game/client_game.h"
#include "game/handshake.h"
#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

const char szWelcome[] = "Welcome to the Internet Relay Network Ravkel!";
const char szEndOfMotd[] = "End of MOTD command\r\n";

namespace {

using Clock = std::chrono::steady_clock;

std::string WorkDir()
{
    const ::testing::TestInfo* pTest = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(KELVA_SERVER_WORK_DIR) + "/" + pTest->test_suite_name() + "." + pTest->name();
}

const char szLinkPassword[] = "l1nk-w0rd";
const char szSecondName[] = "irc2.kelva.local";

bool InNickList(const char* szNick) { return std::find(fake.nicks.begin(), fake.nicks.end(), szNick) != fake.nicks.end(); }

int StonesOf(short nColor)
{
    const Board& board = gameClient.board;
    return static_cast<int>(std::count(std::begin(board.nBoard), std::end(board.nBoard), nColor));
}

// The first empty intersection of row y, or of the board once that row is full.
BoardPoint NextStone(short y)
{
    for (short x = 1; x <= BOARD_LINES; ++x)
        if (BoardCell(gameClient.board, x, y) == CELL_EMPTY) return {x, y};
    for (short y2 = 1; y2 <= BOARD_LINES; ++y2)
        for (short x = 1; x <= BOARD_LINES; ++x)
            if (BoardCell(gameClient.board, x, y2) == CELL_EMPTY) return {x, y2};
    return {0, 0};
}

int BytesWaiting(SOCKET s)
{
    int nBytes = 0;
    ioctl(s, FIONREAD, &nBytes);
    return nBytes;
}

// A developer's partial build may lack a server; under scripts/test.sh a
// skip would hide a broken install.
void MissingServer(const std::string& sWhat)
{
    if (std::getenv("KELVA_REQUIRE_SERVER") != nullptr) FAIL() << sWhat << " is not installed (scripts/deps.sh test)";
    GTEST_SKIP() << sWhat << " is not installed";
}

}  // namespace

void ServerSession::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(RestartServer());
    if (IsSkipped()) return;

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
    if (std::string(KELVA_NGIRCD).empty()) return MissingServer("ngircd");
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
    nLastPoll = END_NONE;
    short nResult = ConnectToServer();
    if (nResult == 0 && !FinishConnectAttempt()) return -1;
    return nResult != 0 || client.bConnected ? nResult : static_cast<short>(-1);
}

bool ServerSession::PumpUntil(const std::function<bool()>& done, int nMs)
{
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(nMs);
    for (;;) {
        if (done()) return true;
        if (nLastPoll != 0 || Clock::now() >= deadline) return false;
        nLastPoll = PumpConnection();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool ServerSession::PumpUntilShown(const std::string& sText, int nMs)
{
    return PumpUntil([&] { return fake.sOutput.find(sText) != std::string::npos; }, nMs);
}

bool ServerSession::PumpUntilReceived(const std::string& sLineEnd, int nMs)
{
    return PumpUntil([&] { return relay->DeliveredToClient(sLineEnd) && BytesWaiting(client.sockServer) == 0; }, nMs);
}

std::string ServerSession::StepOneLine()
{
    std::string sLine = relay->ForwardServerLine();
    if (sLine.empty()) return sLine;
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(2);
    while (BytesWaiting(client.sockServer) < static_cast<int>(sLine.size()) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    nLastPoll = PumpConnection();
    return sLine;
}

std::unique_ptr<IrcPeer> ServerSession::NewPeer(const std::string& sNick, bool bAnswerPings)
{
    auto peer = std::make_unique<IrcPeer>(ServerPort(), sNick, bAnswerPings);
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

void AccountSession::RestartServer()
{
    relay.reset();
    accounts.reset();
    accounts = std::make_unique<AccountServer>(WorkDir());
    if (!accounts->Installed()) return MissingServer("InspIRCd or Atheme");
    ASSERT_TRUE(accounts->Ready()) << accounts->Error();
    relay = std::make_unique<RecordingRelay>(accounts->Port());
}

void AccountSession::TearDown()
{
    if (HasFailure() && accounts) std::cout << "--- the network with accounts\n" << accounts->Log() << "\n";
    ServerSession::TearDown();
    accounts.reset();
}

LinkedServers::LinkedServers()
{
    options.sLinkName = szSecondName;
    options.sLinkPassword = szLinkPassword;
}

void LinkedServers::SetUp()
{
    ServerSession::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    linkRelay = std::make_unique<RecordingRelay>(server->Port());
    IrcdOptions secondOptions;
    secondOptions.sName = szSecondName;
    secondOptions.sLinkName = options.sName;
    secondOptions.nLinkPort = static_cast<unsigned short>(std::stoi(linkRelay->PortText()));
    secondOptions.sLinkPassword = szLinkPassword;
    second = std::make_unique<LocalIrcd>(WorkDir() + ".second", secondOptions);
    ASSERT_TRUE(second->Listening()) << second->Error();
    ASSERT_TRUE(server->WaitForLog("Server \"" + std::string(szSecondName) + "\" registered", 10000))
        << "the second server links to the first:\n" << server->Log() << "\n--- second server\n" << second->Log();
}

void LinkedServers::TearDown()
{
    if (pidChild > 0) ChildOutcome(pidChild, 0);  // a test that stopped early leaves its child running
    if (HasFailure() && second) std::cout << "--- second server log\n" << second->Log() << "\n";
    second.reset();
    linkRelay.reset();
    ServerSession::TearDown();
}

std::string LinkedServers::PlaySide(const Side& side, unsigned short nPort)
{
    CopyField(client.szNickname, side.szNick);
    CopyField(client.szChannel, "Go-Moku");
    CopyField(client.szIRCServer, "localhost");  // the default server: the game channel turns game mode on
    CopyField(client.szIRCPort, std::to_string(nPort).c_str());
    fake.nTicks = side.bInvites ? 1234 : 987654;  // the coins' seeds: equal ones would tie every toss
    nLastPoll = END_NONE;
    // Yes to the invitation, ready before connecting: the invitation may come
    // in the same receive as the inviter's JOIN, and then the game has begun
    // before the partner could be seen in the nick list in game mode.
    if (!side.bInvites) fake.answers.push_back(6);
    auto Met = [&] {
        if (client.nGameState == GAME_PLAYING) return !side.bInvites && std::strcmp(client.szPartner, side.szPartner) == 0;
        return client.nGameState == GAME_IDLE && InNickList(side.szPartner);
    };
    if (ConnectToServer() != 0 || !FinishConnectAttempt() || !client.bConnected) return "cannot connect";
    if (!PumpUntil(Met, 20000)) return std::string("no game mode with ") + side.szPartner + " in the nick list";
    if (side.bInvites) {
        fake.nSelected = static_cast<int>(std::find(fake.nicks.begin(), fake.nicks.end(), side.szPartner) - fake.nicks.begin());
        OnNickListSelect();
    }
    if (!PumpUntil([] { return gameClient.record.bCoinsSettled != 0; }, 10000)) return "no coin toss";
    const GameRecord& r = gameClient.record;
    const short nTheirs = static_cast<short>(1 - r.nMyColor);
    const int nGoal = side.nStopAfter;
    int nLaid = 0;
    auto MayMove = [&] { return r.bMyTurn && (nGoal == 0 || nLaid < nGoal); };
    auto Stopped = [&] { return nGoal > 0 && nLaid == nGoal && StonesOf(nTheirs) == nGoal; };
    while (!Stopped()) {
        if (!PumpUntil([&] { return MayMove() || GameFinished(r) || Stopped(); }, 20000))
            return "no move came from " + std::string(side.szPartner);
        if (GameFinished(r)) return nGoal > 0 ? "the game ended before it was to stop" : "";
        if (MayMove()) {
            BoardPoint pt = NextStone(r.nMyColor == STONE_BLACK ? 3 : 5);
            PlayAt(gameClient, pt.x, pt.y);
            ++nLaid;
        }
    }
    return "";
}

pid_t LinkedServers::PlayInChild(const Side& side)
{
    pid_t pid = fork();
    if (pid != 0) return pidChild = pid;
    // The relays' sockets are the parent's alone: held here as well, a link
    // that the parent cuts would stay open.
    close_range(3, ~0u, 0);
    ResetClientAndFake();
    std::string sFailure = NetStartup() == 0 ? PlaySide(side, second->Port()) : "the network does not start";
    if (sFailure.empty() && side.nStopAfter > 0 && !PumpUntilShown("<KELVA> Your opponent has left.\r\n", 30000))
        sFailure = "not told that the opponent has left";
    if (!sFailure.empty()) std::ofstream(WorkDir() + ".second/child.txt") << sFailure << "\n--- output pane\n" << fake.sOutput;
    _exit(sFailure.empty() ? 0 : 1);
}

std::string LinkedServers::ChildOutcome(pid_t pid, int nMs)
{
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(nMs);
    int nStatus = 0;
    while (waitpid(pid, &nStatus, WNOHANG) != pid) {
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &nStatus, 0);
            pidChild = -1;
            return "the child did not end in time";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pidChild = -1;
    if (WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) return "";
    std::ifstream in(WorkDir() + ".second/child.txt");
    std::ostringstream text;
    text << in.rdbuf();
    return "the child failed: " + text.str();
}
