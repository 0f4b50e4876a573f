// Real sockets for the tests: a connected pair whose one end becomes
// client.sockServer, and a loopback listener.
#pragma once

#include <string>

#include "irc/net.h"

class ServerEnd {
public:
    ServerEnd();   // connects a new pair and hands one end to the client
    ~ServerEnd();  // closes both ends that are still open

    std::string ReadAll();            // everything sent so far, without waiting
    void Write(const std::string& s); // bytes for the client to receive
    void Close();                     // the server side hangs up

private:
    SOCKET m_sock;
};

// A TCP socket bound to a free loopback port, listening when bListen;
// nPort receives the port.
SOCKET BindLoopback(unsigned short& nPort, bool bListen, int nBacklog = 4);
// A TCP socket connected to the loopback port; INVALID_SOCKET when nothing
// accepts there.
SOCKET ConnectLoopback(unsigned short nPort);

// Plays the shell's part in the attempt to connect that the core has begun:
// answers its look-ups (from fake.hosts, else from the system) and reports
// the end of each connect, until the attempt is over or nMs have passed.
// Whether it is over.
bool FinishConnectAttempt(int nMs = 5000);
// The outcome of the look-up the core asked for last, handed to it as the
// look-up thread would; the request is taken off fake.lookUps.
void AnswerLookUp();
// Waits up to nMs for the end of the watched connect under way and reports
// it; false when it has not ended by then.
bool ReportConnectEnd(int nMs);

// A TCP listener on a free loopback port, for ConnectToServer to reach.
class Listener {
public:
    explicit Listener(int nBacklog = 4);
    ~Listener();
    unsigned short Port() const { return m_nPort; }
    std::string PortText() const { return std::to_string(m_nPort); }

    // Waits for the next connection; false after a few seconds without one.
    bool Accept();
    // Everything the accepted peer has sent, waiting up to nMs for more.
    std::string Read(int nMs = 200);
    // Whether the accepted peer has closed its end.
    bool PeerClosed();
    // Closes the accepted connection: in order, or with a reset.
    void ClosePeer(bool bReset);
    // With a backlog of 0: one connection that is never accepted fills the
    // queue, and the next connect waits until it gives up.
    void FillQueue();

private:
    SOCKET m_listen;
    SOCKET m_peer;
    SOCKET m_queued = INVALID_SOCKET;
    unsigned short m_nPort;
};
