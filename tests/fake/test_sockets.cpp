#include "tests/fake/test_sockets.h"

#include <fcntl.h>
#include <poll.h>

#include <chrono>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "tests/fake/fake_seam.h"

ServerEnd::ServerEnd()
{
    WSADATA wsa;
    WSAStartup(0x0101, &wsa);
    int fds[2] = {-1, -1};
    socketpair(AF_UNIX, SOCK_STREAM, 0, fds);
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    fcntl(fds[1], F_SETFL, O_NONBLOCK);
    client.sockServer = fds[0];
    m_sock = fds[1];
}

ServerEnd::~ServerEnd()
{
    Close();
    if (client.sockServer != INVALID_SOCKET) closesocket(client.sockServer);
    client.sockServer = INVALID_SOCKET;
}

std::string ServerEnd::ReadAll()
{
    std::string sRead;
    char buf[4096];
    ssize_t n;
    while (m_sock != INVALID_SOCKET && (n = recv(m_sock, buf, sizeof buf, 0)) > 0) sRead.append(buf, static_cast<size_t>(n));
    return sRead;
}

void ServerEnd::Write(const std::string& s)
{
    send(m_sock, s.data(), s.size(), 0);
}

void ServerEnd::Close()
{
    if (m_sock != INVALID_SOCKET) closesocket(m_sock);
    m_sock = INVALID_SOCKET;
}

SOCKET BindLoopback(unsigned short& nPort, bool bListen, int nBacklog)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    if (bListen) listen(s, nBacklog);
    socklen_t nLen = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &nLen);
    nPort = ntohs(addr.sin_port);
    return s;
}

SOCKET ConnectLoopback(unsigned short nPort)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(nPort);
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == SOCKET_ERROR) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

Listener::Listener(int nBacklog) : m_peer(INVALID_SOCKET), m_nPort(0)
{
    m_listen = BindLoopback(m_nPort, true, nBacklog);
}

Listener::~Listener()
{
    if (m_queued != INVALID_SOCKET) closesocket(m_queued);
    if (m_peer != INVALID_SOCKET) closesocket(m_peer);
    closesocket(m_listen);
}

bool Listener::Accept()
{
    pollfd pfd = {m_listen, POLLIN, 0};
    if (poll(&pfd, 1, 5000) != 1) return false;
    if (m_peer != INVALID_SOCKET) closesocket(m_peer);
    m_peer = accept(m_listen, nullptr, nullptr);
    return m_peer != INVALID_SOCKET;
}

std::string Listener::Read(int nMs)
{
    std::string sRead;
    char buf[4096];
    pollfd pfd = {m_peer, POLLIN, 0};
    while (poll(&pfd, 1, nMs) == 1) {
        ssize_t n = recv(m_peer, buf, sizeof buf, 0);
        if (n <= 0) break;
        sRead.append(buf, static_cast<size_t>(n));
    }
    return sRead;
}

void Listener::ClosePeer(bool bReset)
{
    linger noLinger = {1, 0};
    if (bReset) setsockopt(m_peer, SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
    closesocket(m_peer);
    m_peer = INVALID_SOCKET;
}

void Listener::FillQueue() { m_queued = ConnectLoopback(m_nPort); }

bool Listener::PeerClosed()
{
    char c;
    pollfd pfd = {m_peer, POLLIN, 0};
    return poll(&pfd, 1, 2000) == 1 && recv(m_peer, &c, 1, MSG_PEEK) == 0;
}

namespace {

// The numeric addresses of a fake hosts entry, chained into one list that
// freeaddrinfo releases whole, as it does the system's own.
int LookUpInFakeHosts(const std::vector<std::string>& addresses, addrinfo** ppFound)
{
    addrinfo** ppTail = ppFound;
    *ppFound = nullptr;
    for (const std::string& sAddress : addresses) {
        int nError = LookUpServerName(sAddress.c_str(), ppTail);
        if (nError != 0) return nError;
        while (*ppTail != nullptr) ppTail = &(*ppTail)->ai_next;
    }
    return 0;
}

}  // namespace

void AnswerLookUp()
{
    std::pair<unsigned, std::string> request = fake.lookUps.front();
    fake.lookUps.erase(fake.lookUps.begin());
    addrinfo* pFound = nullptr;
    auto entry = fake.hosts.find(request.second);
    int nError = entry != fake.hosts.end() ? LookUpInFakeHosts(entry->second, &pFound)
                                           : LookUpServerName(request.second.c_str(), &pFound);
    OnServerNameResolved(request.first, pFound, nError);
}

bool ReportConnectEnd(int nMs)
{
    if (fake.watchedConnects.empty()) return false;
    SOCKET sock = fake.watchedConnects.back();
    pollfd pfd = {sock, POLLOUT, 0};
    if (poll(&pfd, 1, nMs) != 1) return false;
    int nSocketError = 0;
    socklen_t nSize = sizeof nSocketError;
    getsockopt(sock, SOL_SOCKET, SO_ERROR, &nSocketError, &nSize);
    errno = nSocketError;
    OnConnectDone(sock, nSocketError == 0 ? 0 : WSAGetLastError());
    return true;
}

bool FinishConnectAttempt(int nMs)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMs);
    while (AttemptUnderWay()) {
        auto nLeft = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (nLeft.count() <= 0) return false;
        if (!fake.lookUps.empty())
            AnswerLookUp();
        else if (!ReportConnectEnd(static_cast<int>(nLeft.count())))
            return false;
    }
    return true;
}
