// Benchmark load, not a test: many players at once, each on a connection of
// its own, each playing the computer on the other server of a linked pair,
// game after game, with the client's own play logic and random moves. After
// the players have all begun, it measures for a while and prints one row:
// games finished per second, the time from a move sent to the computer's
// answer (median, 99th percentile), and the processor time and memory of
// the processes it is told to watch (the servers and the computers).
//   kelva-load --ports P1,P2 --computers NICK1,NICK2 --games N --seconds S
//              [--watch PID,...] [--prefix LETTER]
// Players take turns between the two ports; a player on P1 plays NICK2
// (who sits on P2) and a player on P2 plays NICK1. Linux only: it polls many
// sockets at once.
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "game/play.h"
#include "irc/net.h"
#include "opponent/line_assembler.h"
#include "opponent/percentile.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Player {
    SOCKET sock = INVALID_SOCKET;
    std::string sNick, sComputer, sOut;
    LineAssembler assembler;
    Game game = {};
    std::mt19937 rng;
    bool bInvited = false;
    bool bAwaitingAnswer = false;
    Clock::time_point tMoveSent, tRetryAt;
};

struct Tally {
    bool bMeasuring = false;
    long nGames = 0, nBusy = 0, nLost = 0, nGone = 0;
    std::vector<double> answerMs;
};

Tally tally;

Player& PlayerOf(Game& game) { return *static_cast<Player*>(game.pHostData); }

void Queue(Player& p, const std::string& sLine) { p.sOut += sLine + "\r\n"; }

void HostSend(Game& game, const char* szMessage)
{
    Player& p = PlayerOf(game);
    p.sOut += "PRIVMSG " + p.sComputer + " :" + szMessage;
    if (std::strncmp(szMessage, "!M", 2) == 0) {
        p.bAwaitingAnswer = true;
        p.tMoveSent = Clock::now();
    }
}
void HostShow(Game&, const char*) {}
void HostQuiet(Game&) {}
unsigned HostTicks(Game& game) { return PlayerOf(game).rng(); }
const GameHost kHost = {HostSend, HostShow, HostQuiet, HostQuiet, HostTicks};

void Invite(Player& p)
{
    ResetGame(p.game);
    Queue(p, "PRIVMSG " + p.sComputer + " :!I");
    p.bInvited = true;
}

// The player's turn: a random empty intersection.
void TakeTurn(Player& p)
{
    GameRecord& r = p.game.record;
    if (!r.bMyTurn || !r.bCoinsSettled || GameFinished(r)) return;
    std::vector<BoardPoint> empty;
    for (short x = 1; x <= BOARD_LINES; ++x)
        for (short y = 1; y <= BOARD_LINES; ++y)
            if (BoardCell(p.game.board, x, y) == CELL_EMPTY) empty.push_back({x, y});
    BoardPoint pt = empty[std::uniform_int_distribution<size_t>(0, empty.size() - 1)(p.rng)];
    PlayAt(p.game, pt.x, pt.y);
}

// Asks the computer again a second later.
void RetryLater(Player& p)
{
    p.bInvited = false;
    p.bAwaitingAnswer = false;
    p.tRetryAt = Clock::now() + std::chrono::seconds(1);
}

void OnGameMessage(Player& p, const char* szLine, short nLetter)
{
    char cLetter = szLine[nLetter];
    if (cLetter == 'M' && p.bAwaitingAnswer) {
        p.bAwaitingAnswer = false;
        if (tally.bMeasuring)
            tally.answerMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - p.tMoveSent).count());
    }
    if (cLetter == 'P' || cLetter == 'L') {  // busy, or the game given up
        tally.nBusy += tally.bMeasuring ? 1 : 0;
        RetryLater(p);
        return;
    }
    HandleOpponentMessage(p.game, szLine, nLetter);
    if (GameFinished(p.game.record)) {
        tally.nGames += tally.bMeasuring ? 1 : 0;
        p.bAwaitingAnswer = false;
        Invite(p);  // the next game at once, with a new coin toss
        return;
    }
    TakeTurn(p);
}

void OnLine(void* pData, const char* szLine)
{
    Player& p = *static_cast<Player*>(pData);
    std::string sLine(szLine);
    if (sLine.compare(0, 5, "PING ") == 0) {
        Queue(p, "PONG " + sLine.substr(5, sLine.find_first_of("\r\n") - 5));
        return;
    }
    if (sLine.find(" 001 ") != std::string::npos) Queue(p, "JOIN #Go-Moku KELVA");
    if (sLine.find(" 366 ") != std::string::npos && !p.bInvited) Invite(p);
    // The computer is not there (401), or has gone, with the link it was behind.
    bool bComputerQuit = sLine.compare(1, p.sComputer.size() + 1, p.sComputer + "!") == 0 && sLine.find(" QUIT ") != std::string::npos;
    if (p.bInvited && (bComputerQuit || sLine.find(" 401 " + p.sNick + " " + p.sComputer + " ") != std::string::npos)) {
        tally.nGone += tally.bMeasuring ? 1 : 0;
        RetryLater(p);
        return;
    }
    size_t nText = sLine.find(" PRIVMSG " + p.sNick + " :!");
    if (nText != std::string::npos && sLine.compare(1, p.sComputer.size() + 1, p.sComputer + "!") == 0)
        OnGameMessage(p, szLine, static_cast<short>(nText + std::strlen(" PRIVMSG ") + p.sNick.size() + std::strlen(" :!")));
}

void Flush(Player& p)
{
    while (!p.sOut.empty()) {
        ssize_t n = send(p.sock, p.sOut.data(), p.sOut.size(), MSG_NOSIGNAL);
        if (n <= 0) return;  // the rest when the socket takes it
        p.sOut.erase(0, static_cast<size_t>(n));
    }
}

std::vector<std::string> Split(const char* szText)
{
    std::vector<std::string> parts;
    std::stringstream in(szText);
    for (std::string s; std::getline(in, s, ',');) parts.push_back(s);
    return parts;
}

// Processor seconds (user and system) and resident memory (now, peak) in MB.
struct Usage {
    double nCpu = 0, nRss = 0, nPeak = 0;
};

Usage UsageOf(const std::string& sPid)
{
    Usage u;
    std::ifstream stat("/proc/" + sPid + "/stat");
    std::string sStat((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(sStat.substr(sStat.rfind(')') + 2));
    std::string s;
    double nUser = 0, nSystem = 0;
    for (int i = 3; i <= 15 && fields >> s; ++i) {
        if (i == 14) nUser = std::atof(s.c_str());
        if (i == 15) nSystem = std::atof(s.c_str());
    }
    u.nCpu = (nUser + nSystem) / 100.0;
    std::ifstream status("/proc/" + sPid + "/status");
    for (std::string sLine; std::getline(status, sLine);) {
        if (sLine.compare(0, 6, "VmRSS:") == 0) u.nRss = std::atof(sLine.c_str() + 6) / 1024.0;
        if (sLine.compare(0, 6, "VmHWM:") == 0) u.nPeak = std::atof(sLine.c_str() + 6) / 1024.0;
    }
    return u;
}

bool Connect(Player& p, unsigned short nPort)
{
    p.sock = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(nPort);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (p.sock == INVALID_SOCKET || connect(p.sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return false;
    unsigned long nNonBlocking = 1;
    ioctlsocket(p.sock, FIONBIO, &nNonBlocking);
    Queue(p, "NICK " + p.sNick);
    Queue(p, "USER load 0 * :KELVA load");
    return true;
}

// Reads and plays every player for nMs.
void Run(std::vector<Player>& players, std::vector<pollfd>& pfds, int nMs)
{
    Clock::time_point tEnd = Clock::now() + std::chrono::milliseconds(nMs);
    while (Clock::now() < tEnd) {
        for (size_t i = 0; i < players.size(); ++i) pfds[i].events = POLLIN | (players[i].sOut.empty() ? 0 : POLLOUT);
        poll(pfds.data(), pfds.size(), 50);
        Clock::time_point tNow = Clock::now();
        for (size_t i = 0; i < players.size(); ++i) {
            Player& p = players[i];
            if (pfds[i].fd < 0) continue;
            if (pfds[i].revents & (POLLIN | POLLHUP | POLLERR)) {
                char buffer[8192];
                ssize_t n = recv(p.sock, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    ++tally.nLost;
                    pfds[i].fd = -1;
                    continue;
                }
                FeedLines(p.assembler, buffer, static_cast<int>(n), OnLine, &p);
            }
            if (!p.bInvited && p.tRetryAt != Clock::time_point() && tNow >= p.tRetryAt) {
                p.tRetryAt = Clock::time_point();
                Invite(p);
            }
            Flush(p);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> ports, computers, watched;
    int nGames = 10, nSeconds = 30;
    std::string sPrefix = "L";
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--ports")) ports = Split(argv[i + 1]);
        if (!std::strcmp(argv[i], "--computers")) computers = Split(argv[i + 1]);
        if (!std::strcmp(argv[i], "--watch")) watched = Split(argv[i + 1]);
        if (!std::strcmp(argv[i], "--games")) nGames = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--seconds")) nSeconds = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--prefix")) sPrefix = argv[i + 1];
    }
    if (ports.size() != 2 || computers.size() != 2 || nGames < 1 || nGames > 9999) {
        std::fprintf(stderr, "usage: kelva-load --ports P1,P2 --computers NICK1,NICK2 --games N --seconds S [--watch PID,...]\n");
        return 2;
    }
    std::vector<Player> players(static_cast<size_t>(nGames));
    std::vector<pollfd> pfds(players.size(), pollfd{-1, POLLIN, 0});
    int nConnected = 0;
    for (size_t i = 0; i < players.size(); ++i) {
        // A few at a time, so that a server takes in a thousand without
        // dropping those it had no time to register.
        if (i % 10 == 0) Run(players, pfds, 100);
        Player& p = players[i];
        size_t nSide = i % 2;
        std::string sNumber = std::to_string(10000 + i);  // four digits after the prefix
        p.sNick = sPrefix + sNumber.substr(1);
        p.sComputer = computers[1 - nSide];
        p.rng.seed(static_cast<unsigned>(i) * 7919u + 1u);
        p.game.pHost = &kHost;
        p.game.pHostData = &p;
        bool bUp = Connect(p, static_cast<unsigned short>(std::atoi(ports[nSide].c_str())));
        nConnected += bUp ? 1 : 0;
        pfds[i] = {bUp ? p.sock : -1, POLLIN, 0};
    }
    // Everybody registers, joins and is playing before the measurement.
    int nWarmUpMs = 10000;
    Run(players, pfds, nWarmUpMs);
    watched.push_back("self");  // the load's own share of the machine
    std::vector<Usage> before;
    for (const std::string& sPid : watched) before.push_back(UsageOf(sPid));
    tally.bMeasuring = true;
    Clock::time_point tStart = Clock::now();
    Run(players, pfds, nSeconds * 1000);
    double nElapsed = std::chrono::duration<double>(Clock::now() - tStart).count();
    tally.bMeasuring = false;
    long nPlaying = 0;
    for (const Player& p : players) nPlaying += p.bInvited && p.game.record.bCoinsSettled ? 1 : 0;

    std::printf("games %d: connected %d, lost %ld; in %.0f s: %ld games finished (%.2f/s), %zu answers, median %.0f ms, "
                "99th percentile %.0f ms; %ld refused as busy, %ld with the computer gone; %ld playing at the end\n",
                nGames, nConnected, tally.nLost, nElapsed, tally.nGames, static_cast<double>(tally.nGames) / nElapsed,
                tally.answerMs.size(), Percentile(tally.answerMs, 0.5), Percentile(tally.answerMs, 0.99), tally.nBusy,
                tally.nGone, nPlaying);
    for (size_t i = 0; i < watched.size(); ++i) {
        Usage after = UsageOf(watched[i]);
        std::printf("  pid %s: CPU %.1f s (%.0f %% of one core), RSS %.1f MB, peak %.1f MB\n", watched[i].c_str(),
                    after.nCpu - before[i].nCpu, 100.0 * (after.nCpu - before[i].nCpu) / nElapsed, after.nRss, after.nPeak);
    }
    for (Player& p : players) closesocket(p.sock);
    return 0;
}
