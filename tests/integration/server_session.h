// The client's core against a real server. Each test gets its own ngircd on
// a free loopback port with a recording relay in front of it, and a client
// set up as Ravkel would have it. Natively there is no main loop, so the
// tests receive by calling PollReceive themselves until what they wait for
// has happened, each wait bounded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "tests/integration/irc_peer.h"
#include "tests/integration/local_ircd.h"
#include "tests/integration/recording_relay.h"

class ServerSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new server and relay in place of the old, for the next case of a
    // table: quicker than waiting until the server lets go of the nickname.
    void RestartServer();
    // Connects the client to the relay, calling it by the given host name.
    short Connect(const char* szServer = "127.0.0.1");
    // Receives, as the main loop does, until done() holds; false when nMs
    // pass first or the connection breaks (nLastPoll then says how).
    bool PumpUntil(const std::function<bool()>& done, int nMs = 3000);
    bool PumpUntilShown(const std::string& sText, int nMs = 3000);
    // With the relay holding the server's lines: forwards the next one and
    // has the client receive exactly that line. Returns it; empty when none
    // came.
    std::string StepOneLine();

    // Another user, registered on the server.
    std::unique_ptr<IrcPeer> NewPeer(const std::string& sNick, bool bAnswerPings = true);
    // "Peer", registered and already in the channel.
    std::unique_ptr<IrcPeer> PeerInChannel(const std::string& sChannel);
    // The USER line of the client's registration.
    std::string UserLine() const;

    IrcdOptions options;  // the derived fixture's server configuration
    std::unique_ptr<LocalIrcd> server;
    std::unique_ptr<RecordingRelay> relay;
    short nLastPoll = 0;
};

class OpenServer : public ServerSession {};

class PingingServer : public ServerSession {
protected:
    PingingServer()
    {
        options.nPingTimeout = 5;
        options.nPongTimeout = 5;
    }
};

class PasswordServer : public ServerSession {
protected:
    PasswordServer() { options.sPassword = "s3cret"; }
};

// Tests compare against these; the server writes them into its replies.
extern const char szWelcome[];
extern const char szEndOfMotd[];
