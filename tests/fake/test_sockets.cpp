#include "tests/fake/test_sockets.h"

#include <fcntl.h>
#include <poll.h>

#include "irc/client_state.h"

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

SOCKET BindLoopback(unsigned short& nPort, bool bListen)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    if (bListen) listen(s, 4);
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

Listener::Listener() : m_peer(INVALID_SOCKET), m_nPort(0) { m_listen = BindLoopback(m_nPort, true); }

Listener::~Listener()
{
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

bool Listener::PeerClosed()
{
    char c;
    pollfd pfd = {m_peer, POLLIN, 0};
    return poll(&pfd, 1, 2000) == 1 && recv(m_peer, &c, 1, MSG_PEEK) == 0;
}
