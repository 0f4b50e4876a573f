#include "tests/integration/recording_relay.h"

#include "tests/fake/test_sockets.h"

#include <linux/sockios.h>
#include <poll.h>
#include <sys/ioctl.h>

#include <chrono>

namespace {

const int POLL_MS = 20;  // how soon the thread notices that it is to stop

}  // namespace

RecordingRelay::RecordingRelay(unsigned short nServerPort) : m_nServerPort(nServerPort)
{
    m_sockListen = BindLoopback(m_nPort, true);
    m_thread = std::thread(&RecordingRelay::Run, this);
}

RecordingRelay::~RecordingRelay()
{
    m_bStop = true;
    m_thread.join();
    closesocket(m_sockListen);
}

std::string RecordingRelay::Recorded() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sRecorded;
}

bool RecordingRelay::DeliveredToClient(const std::string& sPart) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int nUnacknowledged = 0;
    return m_sForwarded.find(sPart) != std::string::npos && m_sockClient != INVALID_SOCKET &&
           ioctl(m_sockClient, SIOCOUTQ, &nUnacknowledged) == 0 && nUnacknowledged == 0;
}

bool RecordingRelay::WaitForRecorded(const std::string& sPart, int nMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(nMs),
                              [&] { return m_sRecorded.find(sPart) != std::string::npos; });
}

bool RecordingRelay::WaitForClientGone(int nMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(nMs), [&] { return m_bClientGone; });
}

bool RecordingRelay::WaitForServerGone(int nMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(nMs), [&] { return m_bServerGone; });
}

std::string RecordingRelay::ForwardServerLine(int nMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_changed.wait_for(lock, std::chrono::milliseconds(nMs),
                            [&] { return m_sHeld.find('\n') != std::string::npos; }))
        return "";
    size_t nLen = m_sHeld.find('\n') + 1;
    std::string sLine = m_sHeld.substr(0, nLen);
    m_sHeld.erase(0, nLen);
    if (m_sockClient != INVALID_SOCKET) send(m_sockClient, sLine.data(), sLine.size(), MSG_NOSIGNAL);
    m_sForwarded += sLine;
    return sLine;
}

void RecordingRelay::Run()
{
    while (!m_bStop) {
        pollfd pfd = {m_sockListen, POLLIN, 0};
        if (poll(&pfd, 1, POLL_MS) != 1) continue;
        SOCKET sockClient = accept(m_sockListen, nullptr, nullptr);
        if (sockClient != INVALID_SOCKET) Relay(sockClient);
    }
}

void RecordingRelay::SendToClient(const char* pData, size_t nLen)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bHold) {
        m_sHeld.append(pData, nLen);
        m_changed.notify_all();
    } else {
        send(m_sockClient, pData, nLen, MSG_NOSIGNAL);
        m_sForwarded.append(pData, nLen);
    }
}

// Forwards both ways until both sides have closed or the relay stops. Each
// side's end is passed on to the other as a half close, so that the server
// sees the client leave and the client sees the server hang up.
void RecordingRelay::Relay(SOCKET sockClient)
{
    SOCKET sockServer = ConnectLoopback(m_nServerPort);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sockClient = sockClient;
        m_bClientGone = false;
        m_bServerGone = false;
    }
    bool bClientOpen = sockServer != INVALID_SOCKET;
    bool bServerOpen = bClientOpen;
    char buffer[4096];
    while (!m_bStop && (bClientOpen || bServerOpen)) {
        pollfd pfds[2] = {{bClientOpen ? sockClient : -1, POLLIN, 0}, {bServerOpen ? sockServer : -1, POLLIN, 0}};
        if (poll(pfds, 2, POLL_MS) <= 0) continue;
        if (pfds[0].revents != 0) {
            ssize_t n = recv(sockClient, buffer, sizeof buffer, 0);
            std::lock_guard<std::mutex> lock(m_mutex);
            if (n > 0) {
                m_sRecorded.append(buffer, static_cast<size_t>(n));
                send(sockServer, buffer, static_cast<size_t>(n), MSG_NOSIGNAL);
            } else {
                bClientOpen = false;
                m_bClientGone = true;
                shutdown(sockServer, SHUT_WR);
            }
            m_changed.notify_all();
        }
        if (pfds[1].revents != 0) {
            ssize_t n = recv(sockServer, buffer, sizeof buffer, 0);
            if (n > 0) {
                SendToClient(buffer, static_cast<size_t>(n));
            } else {
                std::lock_guard<std::mutex> lock(m_mutex);
                bServerOpen = false;
                m_bServerGone = true;
                if (!m_bHold) shutdown(sockClient, SHUT_WR);
                m_changed.notify_all();
            }
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (sockServer != INVALID_SOCKET) closesocket(sockServer);
    closesocket(sockClient);
    m_sockClient = INVALID_SOCKET;
    m_bClientGone = true;
    m_bServerGone = true;
    m_changed.notify_all();
}
