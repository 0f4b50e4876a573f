// The client logs in to an account on a network with accounts (InspIRCd with
// Atheme services) while it registers: with the account's password it is
// logged in before it joins; with another the login is refused, the client
// says QUIT and does not try again.
#include <gtest/gtest.h>

#include <string>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/integration/server_session.h"

namespace {

struct SaslCase {
    const char* szWhat;
    const char* szPassword;
    bool bAccepted;
};

const SaslCase kSaslCases[] = {
    {"the account's password", "pl4y-g0moku", true},
    {"a password one letter short", "pl4y-g0mok", false},
};

TEST_F(AccountSession, TheClientLogsInWithTheAccountsPasswordAndNotWithAnother)
{
    for (const SaslCase& c : kSaslCases) {
        ASSERT_NO_FATAL_FAILURE(RestartServer());
        fake.sOutput.clear();
        CopyField(client.szSaslAccount, AccountServer::szAccount);
        CopyField(client.szSaslPassword, c.szPassword);
        CopyField(client.szChannel, "#lobby");
        ASSERT_EQ(0, Connect()) << c.szWhat;
        if (c.bAccepted) {
            EXPECT_TRUE(PumpUntil([] { return fake.sTitle == "KELVA: #lobby"; }, 10000))
                << c.szWhat << ": joined once registered\n" << fake.sOutput;
            size_t nLoggedIn = fake.sOutput.find("<KELVA> Logged in as kelvauser\r\n");
            EXPECT_NE(std::string::npos, nLoggedIn) << c.szWhat << "\n" << fake.sOutput;
            EXPECT_LT(nLoggedIn, fake.sOutput.find("Welcome")) << c.szWhat << ": before the welcome";
            EXPECT_EQ(0, Disconnect()) << c.szWhat;
        } else {
            EXPECT_TRUE(PumpUntil([&] { return nLastPoll != END_NONE; }, 10000)) << c.szWhat << "\n" << fake.sOutput;
            EXPECT_EQ(END_LOGIN_REFUSED, nLastPoll) << c.szWhat;
            EXPECT_NE(std::string::npos, fake.sOutput.find("Error: SASL login failed: SASL authentication failed\r\n"))
                << c.szWhat << "\n" << fake.sOutput;
            EXPECT_FALSE(ConnectAttemptInProgress()) << c.szWhat << ": not tried again";
            EXPECT_TRUE(relay->WaitForClientGone()) << c.szWhat;
            EXPECT_NE(std::string::npos, relay->Recorded().find("QUIT\r\n")) << c.szWhat;
        }
        std::string sSent = relay->Recorded();
        EXPECT_EQ(0u, sSent.find("CAP LS 302\r\nNICK Ravkel\r\n")) << c.szWhat << ": CAP first\n" << sSent;
        EXPECT_EQ(std::string::npos, sSent.find(c.szPassword)) << c.szWhat << ": the password goes out only encoded";
        EXPECT_EQ(std::string::npos, fake.sOutput.find(c.szPassword)) << c.szWhat << ": and is never shown";
    }
}

}  // namespace
