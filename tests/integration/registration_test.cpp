// Registration on a real server, as the relay records it: NICK and USER
// always, PASS only with a password, the identification line only for the
// default server; and how the server's answers to it are shown.
#include <gtest/gtest.h>

#include <string>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/integration/server_session.h"

namespace {

const size_t npos = std::string::npos;

struct ServerName {
    const char* szWhat;
    const char* szServer;
    bool bIdentifies;
};

const ServerName kServerNames[] = {
    {"a dotted address is not the default server", "127.0.0.1", false},
    {"the default server's name", "localhost", true},
    {"the default server's name in other letters", "LocalHost", true},
};

TEST_F(OpenServer, RegistersWithNickAndUserAndIdentifiesOnlyToTheDefaultServer)
{
    if (std::string(szDefaultServer) != "localhost") GTEST_SKIP() << "the default server is not this machine";
    for (const ServerName& c : kServerNames) {
        ASSERT_NO_FATAL_FAILURE(RestartServer());
        fake.sOutput.clear();
        EXPECT_EQ(0, Connect(c.szServer)) << c.szWhat;
        EXPECT_TRUE(PumpUntilShown(szEndOfMotd)) << c.szWhat;

        std::string sIdentification = c.bIdentifies ? "KELVA 1.32 32\r\n" : "";
        EXPECT_EQ(sIdentification + "NICK Ravkel\r\n" + UserLine(), relay->Recorded()) << c.szWhat;
        EXPECT_NE(npos, fake.sOutput.find(szWelcome)) << c.szWhat;
        EXPECT_EQ(npos, fake.sOutput.find("<?> ")) << c.szWhat << ": every line of the welcome is understood";

        EXPECT_EQ(0, Disconnect()) << c.szWhat;
    }
}

struct PasswordCase {
    const char* szWhat;
    const char* szPassword;
    const char* szPassLine;
    bool bAccepted;
};

const PasswordCase kPasswords[] = {
    {"the server's password is sent and accepted", "s3cret", "PASS s3cret\r\n", true},
    {"without a password no PASS is sent, and the server refuses", "", "", false},
    {"a wrong password is refused", "wrong", "PASS wrong\r\n", false},
};

TEST_F(PasswordServer, RegistrationSucceedsOnlyWithTheServersPassword)
{
    for (const PasswordCase& c : kPasswords) {
        ASSERT_NO_FATAL_FAILURE(RestartServer());
        fake.sOutput.clear();
        CopyField(client.szPassword, c.szPassword);
        EXPECT_EQ(0, Connect()) << c.szWhat;
        if (c.bAccepted) {
            EXPECT_TRUE(PumpUntilShown(szEndOfMotd)) << c.szWhat;
            EXPECT_NE(npos, fake.sOutput.find(szWelcome)) << c.szWhat;
        } else {
            EXPECT_TRUE(PumpUntil([&] { return nLastPoll != 0; })) << c.szWhat << ": the server hangs up";
            EXPECT_EQ(END_CLOSED, nLastPoll) << c.szWhat;
            EXPECT_EQ("Attempting to connect to 127.0.0.1\r\n"
                      "<?> ERROR :Access denied: Bad password?\r\n"
                      "Error: nBytesRecv = 0\r\n"
                      "<KELVA> Connecting again in 5 seconds\r\n",
                      fake.sOutput)
                << c.szWhat;
        }
        EXPECT_EQ(c.szPassLine + ("NICK Ravkel\r\n" + UserLine()), relay->Recorded()) << c.szWhat;

        EXPECT_EQ(0, Disconnect()) << c.szWhat;
    }
}

TEST_F(OpenServer, ANicknameInUseFallsBackForThisConnectionOnly)
{
    std::unique_ptr<IrcPeer> holder = NewPeer("Ravkel");
    std::unique_ptr<IrcPeer> second = NewPeer("Ravkel_");
    EXPECT_EQ(0, Connect());
    // The server takes its time over a second nickname from one connection.
    EXPECT_TRUE(PumpUntilShown(szEndOfMotd, 10000));
    EXPECT_NE(npos, fake.sOutput.find("<KELVA> Nickname Ravkel is taken; using Ravkel_\r\n"
                                      "<KELVA> Nickname Ravkel_ is taken; using Ravkel2\r\n"))
        << fake.sOutput;
    EXPECT_EQ("NICK Ravkel\r\n" + UserLine() + "NICK Ravkel_\r\nNICK Ravkel2\r\n", relay->Recorded());
    EXPECT_STREQ("Ravkel2", client.szNickname);
    EXPECT_EQ(npos, fake.sOutput.find("<?> ")) << "every line of the welcome is understood";

    EXPECT_EQ(0, Disconnect());
    EXPECT_STREQ("Ravkel", client.szNickname) << "the chosen nickname for the settings and the next connection";
}

}  // namespace
