#include "tests/fake/socket_pair.h"

#include <fcntl.h>

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
