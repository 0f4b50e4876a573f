// A real connected socket pair: one end becomes client.sockServer, the test
// holds the other and reads back exactly what the client sent.
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
