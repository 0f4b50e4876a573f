#include "opponent/net_loop.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "irc/net.h"
#include "opponent/line_assembler.h"
#include "opponent/opponent.h"

namespace {

const unsigned RETRY_MS = 2000;   // between attempts to connect
const unsigned MAX_WAIT_MS = 250;  // the longest wait for the server, so that a stop is seen soon

unsigned NowMs()
{
    using namespace std::chrono;
    return static_cast<unsigned>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

struct Session {
    SOCKET sock = INVALID_SOCKET;
    bool bBroken = false;
    Opponent* pOpponent = nullptr;
};

void SendLine(void* pData, const char* szLine)
{
    Session& s = *static_cast<Session*>(pData);
    size_t nLen = std::strlen(szLine), nSent = 0;
    while (!s.bBroken && nSent < nLen) {
        int n = send(s.sock, szLine + nSent, static_cast<int>(nLen - nSent), 0);
        if (n <= 0) s.bBroken = true;
        else nSent += static_cast<size_t>(n);
    }
}

void LogLine(void*, const char* szText)
{
    std::printf("%s\n", szText);
    std::fflush(stdout);
}

void OnLine(void* pData, const char* szLine)
{
    HandleOpponentLine(*static_cast<Session*>(pData)->pOpponent, szLine, NowMs());
}

bool Stopped(const std::atomic<bool>* pStop) { return pStop != nullptr && pStop->load(); }

void Pause(unsigned nMs, const std::atomic<bool>* pStop)
{
    for (unsigned nWaited = 0; nWaited < nMs && !Stopped(pStop); nWaited += MAX_WAIT_MS) Sleep(MAX_WAIT_MS);
}

// A connected socket, or INVALID_SOCKET with the reason logged. Every
// address of the name is tried in the order the system prefers, as the
// client does.
SOCKET Connect(const OpponentOptions& options)
{
    addrinfo* pFound = nullptr;
    int nError = LookUpServerName(options.szServer, &pFound);
    if (nError != 0) {
        std::printf("cannot find the server %s (error %d)\n", options.szServer, nError);
        return INVALID_SOCKET;
    }
    SOCKET sock = INVALID_SOCKET;
    for (addrinfo* p = pFound; p != nullptr && sock == INVALID_SOCKET; p = p->ai_next) {
        sockaddr_storage address = {};
        std::memcpy(&address, p->ai_addr, p->ai_addrlen);
        SetAddressPort(address, htons(options.nPort));
        sock = socket(p->ai_family, SOCK_STREAM, 0);
        if (sock == INVALID_SOCKET) {
            nError = WSAGetLastError();
        } else if (connect(sock, reinterpret_cast<sockaddr*>(&address), static_cast<int>(p->ai_addrlen)) ==
                   SOCKET_ERROR) {
            nError = WSAGetLastError();
            closesocket(sock);
            sock = INVALID_SOCKET;
        }
    }
    freeaddrinfo(pFound);
    if (sock == INVALID_SOCKET)
        std::printf("cannot connect to %s:%u (error %d)\n", options.szServer, options.nPort, nError);
    return sock;
}

// Reads and plays until the connection breaks or a stop is asked for.
void Converse(Session& s, const std::atomic<bool>* pStop)
{
    LineAssembler assembler;
    BeginRegistration(*s.pOpponent, NowMs());
    while (!s.bBroken && !Stopped(pStop)) {
        unsigned nWait = NextTick(*s.pOpponent, NowMs(), MAX_WAIT_MS);
        timeval tv = {0, static_cast<long>(nWait) * 1000L};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(s.sock, &readable);
        int nReady = select(static_cast<int>(s.sock + 1), &readable, nullptr, nullptr, &tv);
        if (nReady < 0) s.bBroken = true;
        if (nReady > 0) {
            char pBytes[4096];
            int nBytes = recv(s.sock, pBytes, sizeof pBytes, 0);
            if (nBytes <= 0) s.bBroken = true;
            else FeedLines(assembler, pBytes, nBytes, OnLine, &s);
        }
        TickOpponent(*s.pOpponent, NowMs());
    }
}

}  // namespace

int RunOpponent(const OpponentOptions& options, const std::atomic<bool>* pStop)
{
    WSADATA wsaData;
    if (WSAStartup(0x0202, &wsaData) != 0) {
        std::printf("the sockets layer did not start\n");
        return 1;
    }
    unsigned nSeed = options.bSeedGiven ? options.nSeed
                                        : static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count());
    std::unique_ptr<Opponent> pOpponent(new Opponent);
    Session s;
    s.pOpponent = pOpponent.get();
    StartOpponent(*pOpponent, {SendLine, LogLine, &s}, options.szNick, nSeed);
    AllowGames(*pOpponent, options.nMaxGames);
    pOpponent->nLevel = options.nLevel;
    std::printf("kelva-opponent: %s on %s:%u, seed %u, level %d\n", pOpponent->szNickBase, options.szServer, options.nPort,
                nSeed, options.nLevel);
    std::fflush(stdout);
    while (!Stopped(pStop)) {
        s.sock = Connect(options);
        if (s.sock == INVALID_SOCKET) {
            std::printf("trying again in %u s\n", RETRY_MS / 1000);
            std::fflush(stdout);
            Pause(RETRY_MS, pStop);
            continue;
        }
        std::printf("connected to %s:%u\n", options.szServer, options.nPort);
        s.bBroken = false;
        Converse(s, pStop);
        if (!s.bBroken) SendLine(&s, "QUIT :KELVA computer opponent\r\n");
        closesocket(s.sock);
        s.sock = INVALID_SOCKET;
        EndAllGames(*pOpponent);
        if (!Stopped(pStop)) {
            std::printf("the connection is lost; connecting again in %u s\n", RETRY_MS / 1000);
            Pause(RETRY_MS, pStop);
        }
    }
    WSACleanup();
    return 0;
}
