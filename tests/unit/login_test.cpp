// Logging in with SASL while registering: the server's lines of the exchange
// arrive over a socket pair and pass through the connection, as the main
// loop's passes take them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/login.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

struct LoginCase {
    const char* szWhat;
    std::vector<std::string> serverLines;
    std::string sSent;  // after "CAP LS 302"
    std::string sShown;
    EndReason nEnd;
    const char* szAccount = "jilles";
    const char* szPassword = "sesame";
};

std::string Repeat(const std::string& s, int n)
{
    std::string sAll;
    for (int i = 0; i < n; ++i) sAll += s;
    return sAll;
}

// "jilles\0jilles\0sesame" in Base64.
const std::string sJilles = "AUTHENTICATE amlsbGVzAGppbGxlcwBzZXNhbWU=\r\n";
const std::string sUpToPlus = "CAP REQ :sasl\r\nAUTHENTICATE PLAIN\r\n";
const char szAck[] = ":srv CAP * ACK :sasl\r\n";
const char szPlus[] = "AUTHENTICATE +\r\n";
// 30 + 1 + 30 + 1 + 238 bytes: 400 characters of Base64 exactly.
const std::string sAccount30(30, 'a'), sPassword238(238, 'p');

const LoginCase kLogins[] = {
    {"offered with PLAIN, with multi-prefix; logged in",
     {":srv CAP * LS :multi-prefix sasl=PLAIN,EXTERNAL\r\n", ":srv CAP * ACK :sasl multi-prefix\r\n", szPlus,
      ":srv 900 Ravkel Ravkel!r@h jilles :You are now logged in as jilles\r\n",
      ":srv 903 Ravkel :SASL authentication successful\r\n"},
     "CAP REQ :sasl multi-prefix\r\nAUTHENTICATE PLAIN\r\n" + sJilles + "CAP END\r\n",
     "<KELVA> Logged in as jilles\r\n", END_NONE},
    {"offered without a list of mechanisms, the + as a trailing parameter",
     {":srv CAP * LS :sasl \r\n", szAck, ":srv AUTHENTICATE :+\r\n", ":srv 903 Ravkel :ok\r\n"},
     sUpToPlus + sJilles + "CAP END\r\n", "", END_NONE},
    {"the list over two lines is asked for once it is whole",
     {":srv CAP * LS * :multi-prefix\r\n", ":srv CAP * LS :sasl\r\n"}, "CAP REQ :sasl multi-prefix\r\n", "",
     END_NONE},
    {"a text of exactly 400 characters is followed by a +",
     {":srv CAP * LS :sasl\r\n", szAck, szPlus},
     sUpToPlus + "AUTHENTICATE " + Repeat("YWFh", 10) + "AGFh" + Repeat("YWFh", 9) + "YQBw" + Repeat("cHBw", 79) +
         "\r\nAUTHENTICATE +\r\n",
     "", END_NONE, sAccount30.c_str(), sPassword238.c_str()},
    {"the server refuses the password",
     {":srv CAP * LS :sasl\r\n", szAck, szPlus, ":srv 904 Ravkel :SASL authentication failed\r\n",
      ":srv 908 Ravkel PLAIN :are available SASL mechanisms\r\n"},
     sUpToPlus + sJilles + "QUIT\r\n", "Error: SASL login failed: SASL authentication failed\r\n", END_LOGIN_REFUSED},
    {"no sasl offered", {":srv CAP * LS :multi-prefix\r\n"}, "QUIT\r\n",
     "Error: SASL login failed: the server does not offer SASL\r\n", END_LOGIN_REFUSED},
    {"sasl without PLAIN", {":srv CAP * LS :sasl=EXTERNAL\r\n"}, "QUIT\r\n",
     "Error: SASL login failed: the server does not offer the PLAIN mechanism\r\n", END_LOGIN_REFUSED},
    {"the request refused", {":srv CAP * LS :sasl\r\n", ":srv CAP * NAK :sasl\r\n"}, "CAP REQ :sasl\r\nQUIT\r\n",
     "Error: SASL login failed: the server refused the capability sasl\r\n", END_LOGIN_REFUSED},
    {"a server without CAP says so and registers",
     {":srv 421 Ravkel CAP :Unknown command\r\n", ":srv 001 Ravkel :Welcome\r\n"}, "", "Welcome\r\n", END_NONE},
    {"a server that ignores CAP registers; a late CAP line is only shown",
     {":srv 001 Ravkel :Welcome\r\n", ":srv CAP * LS :sasl\r\n"}, "", "Welcome\r\n<?> :srv CAP * LS :sasl\r\n",
     END_NONE},
};

TEST(Login, EachRowOfTheExchange)
{
    for (const LoginCase& c : kLogins) {
        ResetClientAndFake();
        client.pTCP_Input_Buffer = static_cast<char*>(std::malloc(NET_BUFFER_SIZE));
        client.pLine_Buffer = static_cast<char*>(std::malloc(NET_BUFFER_SIZE));
        client.pLine_Buffer[0] = '\0';
        std::unique_ptr<ServerEnd> server(new ServerEnd);
        client.bConnected = 1;
        client.nSendMode = SEND_COMPOSE;
        CopyField(client.szNickname, "Ravkel");
        CopyField(client.szSaslAccount, c.szAccount);
        CopyField(client.szSaslPassword, c.szPassword);
        BeginLogin();
        for (const std::string& sLine : c.serverLines) {
            server->Write(sLine);
            PumpConnection();
        }
        EXPECT_EQ("CAP LS 302\r\n" + c.sSent, server->ReadAll()) << c.szWhat;
        EXPECT_EQ(c.sShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ(c.nEnd, connection.nLastEnd) << c.szWhat;
        EXPECT_EQ(c.nEnd == END_NONE ? 1 : 0, client.bConnected) << c.szWhat;
        EXPECT_EQ(0, fake.bConnectingControls) << c.szWhat << ": a refused login is not tried again";
        EXPECT_EQ(std::string::npos, fake.sOutput.find(c.szPassword)) << c.szWhat << ": the password is never shown";
        server.reset();
        std::free(client.pTCP_Input_Buffer);
        std::free(client.pLine_Buffer);
        client.pTCP_Input_Buffer = client.pLine_Buffer = nullptr;
    }
}

}  // namespace
