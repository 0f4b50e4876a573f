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

#include <sys/types.h>

#include "irc/connection_state.h"
#include "tests/integration/account_server.h"
#include "tests/integration/irc_peer.h"
#include "tests/integration/local_ircd.h"
#include "tests/integration/recording_relay.h"

class ServerSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new server and relay in place of the old, for the next case of a
    // table: quicker than waiting until the server lets go of the nickname.
    // ngircd here; another server in a derived fixture.
    virtual void RestartServer();
    // The port of the server itself, behind the relay.
    virtual unsigned short ServerPort() const { return server->Port(); }
    // Connects the client to the relay, calling it by the given host name.
    short Connect(const char* szServer = "127.0.0.1");
    // Passes of the connection, as the main loop makes them, until done()
    // holds; false when nMs pass first or the connection ends (nLastPoll
    // then says why).
    bool PumpUntil(const std::function<bool()>& done, int nMs = 10000);
    bool PumpUntilShown(const std::string& sText, int nMs = 10000);
    // Passes until the client has read the server's line ending in
    // sLineEnd: the relay has delivered it, and nothing waits on the
    // client's socket any more.
    bool PumpUntilReceived(const std::string& sLineEnd, int nMs = 10000);
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
    EndReason nLastPoll = END_NONE;
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

// The network with accounts in place of ngircd: InspIRCd with Atheme
// services, an account registered, the relay in front of InspIRCd.
class AccountSession : public ServerSession {
protected:
    void RestartServer() override;
    void TearDown() override;
    unsigned short ServerPort() const override { return accounts->Port(); }

    std::unique_ptr<AccountServer> accounts;
};

// Two servers of one network: the session's own and a second one, which
// links to it through a relay so that a test can cut the link while both
// servers go on. A client of the core plays in this process; another one,
// on the second server, in a child process of its own, since the core's
// state is one per process.
class LinkedServers : public ServerSession {
protected:
    LinkedServers();
    void SetUp() override;
    void TearDown() override;

    // One side of a game as a person would play it in the game channel:
    // black lays its stones along row 3, white along row 5, each on the
    // first empty intersection of its row, so that between two such sides
    // black's fifth stone wins. With nStopAfter, the side stops once both
    // have laid that many stones (in the child, it then waits to be told
    // that its opponent has left).
    struct Side {
        const char* szNick;
        const char* szPartner;
        bool bInvites;  // otherwise it accepts the invitation
        int nStopAfter;  // 0: to the end of the game
    };
    // Empty when the side played as asked, to the end of the game or to
    // its stop; otherwise what went wrong.
    std::string PlaySide(const Side& side, unsigned short nPort);
    // PlaySide on the second server in a child process, whose outcome
    // ChildOutcome gives (with its output pane when it failed), waiting up
    // to nMs for it.
    pid_t PlayInChild(const Side& side);
    std::string ChildOutcome(pid_t pid, int nMs = 60000);

    std::unique_ptr<RecordingRelay> linkRelay;
    std::unique_ptr<LocalIrcd> second;
    pid_t pidChild = -1;  // the child of PlayInChild until ChildOutcome has reaped it
};

// Tests compare against these; the server writes them into its replies.
extern const char szWelcome[];
extern const char szEndOfMotd[];
