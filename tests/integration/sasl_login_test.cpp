// The network with accounts answers a login with SASL PLAIN, spoken by hand
// over a plain socket: the registered account's password is accepted, and
// another is refused; either way the registration then goes on.
#include <gtest/gtest.h>

#include <string>

#include "tests/integration/server_session.h"

namespace {

struct SaslCase {
    const char* szWhat;
    const char* szNick;
    // base64 of "kelvauser", NUL, "kelvauser", NUL and the password, made
    // with the base64 tool
    const char* szPlain;
    bool bAccepted;
};

const SaslCase kSaslCases[] = {
    {"the account's password", "Right", "a2VsdmF1c2VyAGtlbHZhdXNlcgBwbDR5LWcwbW9rdQ==", true},
    {"a password one letter short", "Wrong", "a2VsdmF1c2VyAGtlbHZhdXNlcgBwbDR5LWcwbW9r", false},
};

TEST_F(AccountSession, SaslPlainAcceptsTheAccountsPasswordAndRefusesAnother)
{
    ASSERT_STREQ("kelvauser", AccountServer::szAccount);
    ASSERT_STREQ("pl4y-g0moku", AccountServer::szPassword);
    for (const SaslCase& c : kSaslCases) {
        IrcPeer peer(ServerPort(), c.szNick, true, "CAP LS 302");
        EXPECT_NE(std::string::npos, peer.WaitForLine(" LS ").find("sasl")) << c.szWhat << ":\n" << peer.Received();
        peer.Send("CAP REQ :sasl");
        EXPECT_NE("", peer.WaitForLine(" ACK :sasl")) << c.szWhat;
        peer.Send("AUTHENTICATE PLAIN");
        EXPECT_NE("", peer.WaitForLine("AUTHENTICATE ")) << c.szWhat;
        peer.Send(std::string("AUTHENTICATE ") + c.szPlain);
        if (c.bAccepted) {
            EXPECT_NE(std::string::npos, peer.WaitForLine(" 900 ").find(" kelvauser :")) << c.szWhat;
            EXPECT_NE("", peer.WaitForLine(" 903 ")) << c.szWhat;
        } else {
            EXPECT_NE("", peer.WaitForLine(" 904 ")) << c.szWhat;
        }
        peer.Send("CAP END");
        EXPECT_NE("", peer.WaitForLine(" 001 ")) << c.szWhat << ":\n" << peer.Received();
        EXPECT_EQ(c.bAccepted, peer.Received().find(" 900 ") != std::string::npos) << c.szWhat;
    }
}

}  // namespace
