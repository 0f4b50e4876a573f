// A second user on the server, driven by the test over a plain socket: it
// registers, sends the lines the test gives it and reads the server's lines,
// answering each PING unless told to stay silent.
#pragma once

#include <string>

#include "irc/net.h"

class IrcPeer {
public:
    // Connects and sends NICK and USER, after sFirstLine when given (a CAP
    // LS, which holds the registration back until CAP END); Registered()
    // tells whether the server welcomed it.
    IrcPeer(unsigned short nPort, const std::string& sNick, bool bAnswerPings = true,
            const std::string& sFirstLine = "");
    ~IrcPeer();
    IrcPeer(const IrcPeer&) = delete;
    IrcPeer& operator=(const IrcPeer&) = delete;

    bool Registered() { return !WaitForLine(" 376 ").empty(); }
    // Sends sLine and CR LF.
    void Send(const std::string& sLine);
    // The next line, after the last one found, that holds sPart, with its
    // line end; empty after nMs without one.
    std::string WaitForLine(const std::string& sPart, int nMs = 10000);
    // Reads what has arrived without waiting; true once the server has
    // closed the connection.
    bool ServerHasClosed();
    const std::string& Received() const { return m_sReceived; }

private:
    // Reads for up to nMs; false when the connection is closed.
    bool Read(int nMs);

    SOCKET m_sock;
    bool m_bAnswerPings;
    bool m_bClosed = false;
    std::string m_sReceived;
    size_t m_nSearchFrom = 0;  // where the next WaitForLine starts looking
    size_t m_nPingScan = 0;    // where PINGs have not yet been looked for
};
