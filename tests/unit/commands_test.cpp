// The main window's commands: the command line, Connect, Setup, List, the
// channel list's Join and the input line's text.
#include <gtest/gtest.h>

#include <string>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "shell/commands.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

int nMainWindow;

struct CommandLineCase {
    const char* szFull;
    const char* szArgument;
};

const CommandLineCase kCommandLines[] = {
    {"kelva.exe", ""},
    {"kelva.exe conn.txt", "conn.txt"},
    {"C:\\KELVA\\kelva.exe   \t conn.txt  ", "conn.txt  "},
    {"\"C:\\Program Files\\kelva.exe\" my file.txt", "my file.txt"},
    {"kelva.exe \"quoted.txt\"", "\"quoted.txt\""},
    {"\"kelva.exe\"", ""},
};

TEST(CommandLine, TheArgumentFollowsTheProgramNameAndItsBlanks)
{
    for (const CommandLineCase& c : kCommandLines) EXPECT_STREQ(c.szArgument, CommandLineArgument(c.szFull)) << c.szFull;
}

class Commands : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetClientAndFake();
        ASSERT_EQ(0, NetStartup());
        client.hMainWnd = &nMainWindow;
        CopyField(client.szNickname, "Ravkel");
        CopyField(client.szIRCServer, "127.0.0.1");
        CopyField(client.szIRCPort, listener.PortText().c_str());
    }
    void TearDown() override { NetShutdown(); }

    void Connect()
    {
        OnConnectCommand();
        ASSERT_TRUE(FinishConnectAttempt());
        ASSERT_TRUE(listener.Accept());
        listener.Read();
        fake.sOutput.clear();
    }

    Listener listener;
};

TEST_F(Commands, ConnectWhileConnectedDisconnectsOnlyOnYes)
{
    Connect();
    for (short nAnswer : {short(7), short(2)}) {
        fake.answers = {nAnswer};
        OnConnectCommand();
        EXPECT_EQ(1, client.bConnected) << "answer " << nAnswer;
    }
    fake.answers = {6};
    OnConnectCommand();
    EXPECT_EQ(0, client.bConnected);
    EXPECT_EQ("QUIT\r\n", listener.Read());
    ASSERT_EQ(3u, fake.dialogs.size());
    EXPECT_EQ("127.0.0.1", fake.dialogs[0].sSubject);
    EXPECT_EQ("But wait...", fake.dialogs[0].sTitle);
    EXPECT_EQ(IDS_DISCONNECT, fake.dialogs[0].nStringId);
    EXPECT_EQ(4, fake.nFocusToInput) << "the focus goes back to the input line every time";
}

TEST_F(Commands, SetupIsRefusedWhileConnectingOrConnected)
{
    OnSetupCommand();
    EXPECT_EQ(1, fake.nSetupDialogs);
    CopyField(client.szIRCServer, "localhost");
    OnConnectCommand();
    OnSetupCommand();
    EXPECT_EQ(1, fake.nSetupDialogs) << "refused while the name is looked up";
    ASSERT_EQ(1u, fake.dialogs.size());
    EXPECT_EQ(4, fake.dialogs[0].nStringId);
    OnConnectCommand();
    EXPECT_EQ(0, fake.bConnectingControls) << "Connect while connecting cancels, without a question";
    EXPECT_EQ(1u, fake.dialogs.size());
    fake.dialogs.clear();
    CopyField(client.szIRCServer, "127.0.0.1");
    Connect();
    OnSetupCommand();
    EXPECT_EQ(1, fake.nSetupDialogs);
    ASSERT_EQ(1u, fake.dialogs.size());
    EXPECT_EQ("", fake.dialogs[0].sSubject);
    EXPECT_EQ(IDS_SETUP_CONNECTED, fake.dialogs[0].nStringId);
}

TEST_F(Commands, ListAsksTheServerOnlyWhenConnected)
{
    OnListCommand();
    ASSERT_EQ(1u, fake.dialogs.size());
    EXPECT_EQ(IDS_NOT_CONNECTED, fake.dialogs[0].nStringId);
    EXPECT_EQ("", fake.sOutput) << "nothing is sent";
    Connect();
    OnListCommand();
    EXPECT_EQ("LIST\r\n", listener.Read());
}

TEST_F(Commands, JoiningFromTheChannelListTakesTheRowsFirstWord)
{
    Connect();
    CopyField(client.szChannel, "#chat");
    JoinListedChannel("#games 5 :Fun and games");
    EXPECT_EQ("PART #chat\r\nJOIN #games\r\n", listener.Read());
    CopyField(client.szChannel, "#games");
    JoinListedChannel("#games 5 :Fun and games");
    JoinListedChannel(" #odd 1 :a row that begins with a blank");
    EXPECT_EQ("<KELVA> You are already in that channel.\r\n<KELVA> You must specify a channel name.\r\n", fake.sOutput);
}

}  // namespace

namespace {

// What the input line's text puts on the wire, line by line, in #lobby.
struct InputCase {
    const char* szWhat;
    const char* szText;
    const char* szWire;
};

const InputCase kInputs[] = {
    {"a pasted second line is chat, not a command", "pasted one\r\nQUIT :pasted two",
     "PRIVMSG #lobby :pasted one\r\nPRIVMSG #lobby :QUIT :pasted two\r\n"},
    {"a bare LF and a bare CR end lines too", "one\ntwo\rthree",
     "PRIVMSG #lobby :one\r\nPRIVMSG #lobby :two\r\nPRIVMSG #lobby :three\r\n"},
    {"an empty line inside is sent as an empty typed line", "one\r\n\r\ntwo",
     "PRIVMSG #lobby :one\r\nPRIVMSG #lobby :\r\nPRIVMSG #lobby :two\r\n"},
    {"a final line break starts no further line", "one\r\n", "PRIVMSG #lobby :one\r\n"},
    {"an empty input line is one empty line", "", "PRIVMSG #lobby :\r\n"},
    {"a pasted line that begins with / is a command, as typed", "bye\r\n/PART",
     "PRIVMSG #lobby :bye\r\nPART #lobby\r\n"},
};

TEST_F(Commands, EachLineOfTheInputTextIsSentAsIfTypedOnItsOwn)
{
    Connect();
    for (const InputCase& c : kInputs) {
        CopyField(client.szChannel, "#lobby");
        SendInputText(c.szText);
        EXPECT_EQ(c.szWire, listener.Read()) << c.szWhat;
    }
    fake.sOutput.clear();
    CopyField(client.szChannel, "#lobby");  // the /PART above left it
    SendInputText("pasted one\r\nQUIT :pasted two");
    listener.Read();
    EXPECT_EQ("<Ravkel> pasted one\r\n<Ravkel> QUIT :pasted two\r\n", fake.sOutput) << "each line is echoed";

    client.nSendMode = SEND_RAW;
    SendInputText(std::string(600, 'r').c_str());
    EXPECT_EQ(std::string(510, 'r') + "\r\n", listener.Read()) << "a line longer than the input line takes";
    SendInputText((std::string(508, 'r') + "\xE2\x98\x83").c_str());
    EXPECT_EQ(std::string(508, 'r') + "\r\n", listener.Read()) << "a snowman that would pass byte 510";
    SendInputText((std::string(507, 'r') + "\xE2\x98\x83!").c_str());
    EXPECT_EQ(std::string(507, 'r') + "\xE2\x98\x83\r\n", listener.Read()) << "a snowman that ends at byte 510";
}

}  // namespace
