// A TCP relay between the client and the server that records what the
// client sends, since the server never echoes it. It accepts one client
// connection after the other on its own loopback port and forwards each to
// the server, on a thread of its own.
//
// Held mode keeps the server's lines back until the test forwards them one
// at a time, so that the test can look at the client after each line.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "irc/net.h"

class RecordingRelay {
public:
    explicit RecordingRelay(unsigned short nServerPort);
    ~RecordingRelay();  // stops the thread and closes every socket
    RecordingRelay(const RecordingRelay&) = delete;
    RecordingRelay& operator=(const RecordingRelay&) = delete;

    std::string PortText() const { return std::to_string(m_nPort); }

    // Everything the client has sent, over all its connections.
    std::string Recorded() const;
    // Whether the server's bytes up to the end of sPart have reached the
    // client's socket: passed on, and acknowledged by the client's side.
    bool DeliveredToClient(const std::string& sPart) const;
    // Waits up to nMs until the recording holds sPart.
    bool WaitForRecorded(const std::string& sPart, int nMs = 10000) const;
    // Wait up to nMs until the client, or the server, has closed its end of
    // the current connection.
    bool WaitForClientGone(int nMs = 10000) const;
    bool WaitForServerGone(int nMs = 10000) const;

    // To be set before the client connects.
    void HoldServerLines() { m_bHold = true; }
    // The next held line, sent on to the client now; empty after nMs
    // without a complete one.
    std::string ForwardServerLine(int nMs = 10000);

private:
    void Run();
    void Relay(SOCKET sockClient);
    void SendToClient(const char* pData, size_t nLen);

    unsigned short m_nServerPort;
    unsigned short m_nPort = 0;
    SOCKET m_sockListen = INVALID_SOCKET;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bHold{false};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    SOCKET m_sockClient = INVALID_SOCKET;  // guarded: the test sends on it in held mode
    std::string m_sRecorded;
    std::string m_sForwarded;
    std::string m_sHeld;
    bool m_bClientGone = false;
    bool m_bServerGone = false;

    std::thread m_thread;
};
