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
SOCKET BindLoopback(unsigned short& nPort, bool bListen);
// A TCP socket connected to the loopback port; INVALID_SOCKET when nothing
// accepts there.
SOCKET ConnectLoopback(unsigned short nPort);

// A TCP listener on a free loopback port, for ConnectToServer to reach.
class Listener {
public:
    Listener();
    ~Listener();
    unsigned short Port() const { return m_nPort; }
    std::string PortText() const { return std::to_string(m_nPort); }

    // Waits for the next connection; false after a few seconds without one.
    bool Accept();
    // Everything the accepted peer has sent, waiting up to nMs for more.
    std::string Read(int nMs = 200);
    // Whether the accepted peer has closed its end.
    bool PeerClosed();

private:
    SOCKET m_listen;
    SOCKET m_peer;
    unsigned short m_nPort;
};
