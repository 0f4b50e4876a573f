#include "tests/integration/irc_peer.h"

#include "tests/fake/test_sockets.h"

#include <poll.h>

#include <chrono>

IrcPeer::IrcPeer(unsigned short nPort, const std::string& sNick, bool bAnswerPings, const std::string& sFirstLine)
    : m_bAnswerPings(bAnswerPings)
{
    m_sock = ConnectLoopback(nPort);
    if (m_sock == INVALID_SOCKET) m_bClosed = true;
    if (!sFirstLine.empty()) Send(sFirstLine);
    Send("NICK " + sNick);
    Send("USER " + sNick + " peer.host peer.host :" + sNick + " the peer");
}

IrcPeer::~IrcPeer() { closesocket(m_sock); }

void IrcPeer::Send(const std::string& sLine)
{
    std::string sWire = sLine + "\r\n";
    send(m_sock, sWire.data(), sWire.size(), MSG_NOSIGNAL);
}

bool IrcPeer::Read(int nMs)
{
    if (m_bClosed) return false;
    pollfd pfd = {m_sock, POLLIN, 0};
    if (poll(&pfd, 1, nMs) != 1) return true;
    char buffer[4096];
    ssize_t n = recv(m_sock, buffer, sizeof buffer, 0);
    if (n <= 0) {
        m_bClosed = true;
        return false;
    }
    m_sReceived.append(buffer, static_cast<size_t>(n));
    for (size_t nEnd; (nEnd = m_sReceived.find('\n', m_nPingScan)) != std::string::npos; m_nPingScan = nEnd + 1) {
        if (m_bAnswerPings && m_sReceived.compare(m_nPingScan, 5, "PING ") == 0)
            Send("PONG " + m_sReceived.substr(m_nPingScan + 5, nEnd - m_nPingScan - 5));
    }
    return true;
}

std::string IrcPeer::WaitForLine(const std::string& sPart, int nMs)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(nMs);
    for (;;) {
        for (size_t nStart = m_nSearchFrom, nEnd; (nEnd = m_sReceived.find('\n', nStart)) != std::string::npos;
             nStart = nEnd + 1) {
            std::string sLine = m_sReceived.substr(nStart, nEnd + 1 - nStart);
            if (sLine.find(sPart) != std::string::npos) {
                m_nSearchFrom = nEnd + 1;
                return sLine;
            }
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        int nLeft = static_cast<int>(left.count());
        if (nLeft <= 0 || !Read(nLeft)) return "";
    }
}

bool IrcPeer::ServerHasClosed()
{
    pollfd pfd = {m_sock, POLLIN, 0};
    while (!m_bClosed && poll(&pfd, 1, 0) == 1) Read(0);
    return m_bClosed;
}
