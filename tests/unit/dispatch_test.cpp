// HandleServerLine: every kind of line, what it shows, sends and changes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "irc/client_state.h"
#include "irc/dispatch.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

int nMainWindow;  // stands for the main window's handle

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override { Enter("", GAME_OFF); }

    void Enter(const char* szPartner, short nGameState)
    {
        ResetClientAndFake();
        CopyField(client.szNickname, "Ravkel");
        CopyField(client.szPartner, szPartner);
        client.nGameState = nGameState;
        client.nSendMode = SEND_COMPOSE;
        client.nRecvMode = RECV_PARSE;
        client.hMainWnd = &nMainWindow;
        server.reset();
        server.reset(new ServerEnd);
    }

    std::string Sent() { return server->ReadAll(); }

    std::unique_ptr<ServerEnd> server;
};

TEST_F(Dispatch, PingIsAnsweredRawWithTheOwnNickname)
{
    for (const char* szPing : {"PING :irc.example.net\r\n", ":irc.example.net PING :x\r\n", "   PING\n", "ping 123\r\n"}) {
        for (short nMode : {SEND_COMPOSE, SEND_RAW}) {
            client.nSendMode = nMode;
            HandleServerLine(szPing);
            EXPECT_EQ("PONG Ravkel\r\n", Sent()) << szPing;
            EXPECT_EQ(nMode, client.nSendMode) << "the send mode is given back after " << szPing;
        }
    }
    EXPECT_EQ("", fake.sOutput);
}

TEST_F(Dispatch, TheOwnJoinSetsChannelAndTitleAndEmptiesTheNickList)
{
    fake.nicks = {"alice", "bob"};
    HandleServerLine(":Ravkel!~r@host JOIN :#Go-Moku\r\n");
    EXPECT_STREQ("#Go-Moku", client.szChannel);
    EXPECT_EQ("KELVA: #Go-Moku", fake.sTitle);
    EXPECT_TRUE(fake.nicks.empty());
    EXPECT_EQ("", fake.sOutput);
}

TEST_F(Dispatch, ChannelNamesKeepTheirUtf8Bytes)
{
    HandleServerLine(":Ravkel!~r@host JOIN :#caf\xC3\xA9\r\n");
    EXPECT_STREQ("#caf\xC3\xA9", client.szChannel);
    EXPECT_EQ("KELVA: #caf\xC3\xA9", fake.sTitle);

    HandleServerLine(":Ravkel!~r@host JOIN #x\x01y\r\n");
    EXPECT_STREQ("#x", client.szChannel) << "a control character still ends the name";
}

TEST_F(Dispatch, LongNamesAreCutTo255Characters)
{
    std::string sName(300, 'n');
    HandleServerLine((":Ravkel!~r@h JOIN :#" + sName + "\r\n").c_str());
    EXPECT_EQ(("#" + sName).substr(0, 255), client.szChannel);
    EXPECT_EQ("KELVA: " + ("#" + sName).substr(0, 255), fake.sTitle);

    HandleServerLine((":" + sName + "!u@h JOIN :#x\r\n").c_str());
    ASSERT_EQ(1u, fake.nicks.size());
    EXPECT_EQ(sName.substr(0, 255), fake.nicks[0]);
}

TEST_F(Dispatch, SomebodyElsesJoinIsListedAndShownOutsideAConversation)
{
    HandleServerLine(":bob!~b@host JOIN :#chat\r\n");
    HandleServerLine(":RAVKEL!~r@host JOIN :#chat\r\n");  // the nick compare is exact
    EXPECT_EQ((std::vector<std::string>{"bob", "RAVKEL"}), fake.nicks);
    EXPECT_EQ("<bob> Joining\r\n<RAVKEL> Joining\r\n", fake.sOutput);
    EXPECT_STREQ("", client.szChannel);

    Enter("carol", GAME_OFF);
    HandleServerLine(":bob!~b@host JOIN :#chat\r\n");
    EXPECT_EQ(std::vector<std::string>{"bob"}, fake.nicks);
    EXPECT_EQ("", fake.sOutput) << "nothing is shown during a private conversation";
}

struct DepartureCase {
    const char* szWhat;
    std::vector<std::string> nicksBefore;
    const char* szPartner;
    short nGameState;
    const char* szLine;
    std::vector<std::string> nicksAfter;
    const char* szShown;
    const char* szPartnerAfter;
    short nGameAfter;
};

const DepartureCase kDepartures[] = {
    {"a plain PART", {"Ravkel", "bob"}, "", GAME_OFF, ":bob!b@h PART #chat :bye\r\n", {"Ravkel"},
     "<bob> Parting\r\n", "", GAME_OFF},
    {"a QUIT is spelled Quiting", {"Ravkel", "bob"}, "", GAME_OFF, ":bob!b@h QUIT :gone\r\n", {"Ravkel"},
     "<bob> Quiting\r\n", "", GAME_OFF},
    {"an operator's entry", {"@bob", "Ravkel"}, "", GAME_OFF, ":bob!b@h PART #chat\r\n", {"Ravkel"},
     "<bob> Parting\r\n", "", GAME_OFF},
    {"a voiced entry", {"+bob", "Ravkel"}, "", GAME_OFF, ":bob!b@h PART #chat\r\n", {"Ravkel"},
     "<bob> Parting\r\n", "", GAME_OFF},
    {"the entry in another letter case", {"BOB", "Ravkel"}, "", GAME_OFF, ":bob!b@h QUIT\r\n", {"Ravkel"},
     "<bob> Quiting\r\n", "", GAME_OFF},
    {"an entry that only begins with the nick stays", {"bobby", "Ravkel"}, "", GAME_OFF, ":bob!b@h PART #c\r\n",
     {"bobby", "Ravkel"}, "<bob> Parting\r\n", "", GAME_OFF},
    {"of two entries, the one that is the nick goes", {"@bobby", "bob"}, "", GAME_OFF, ":bob!b@h PART #c\r\n",
     {"@bobby"}, "<bob> Parting\r\n", "", GAME_OFF},
    {"at most one entry goes", {"+bob", "@bob"}, "", GAME_OFF, ":bob!b@h PART #c\r\n", {"+bob"},
     "<bob> Parting\r\n", "", GAME_OFF},
    {"the user's own PART shows nothing", {"Ravkel", "bob"}, "", GAME_OFF, ":Ravkel!r@h PART #chat\r\n", {"bob"}, "",
     "", GAME_OFF},
    {"someone else leaves a private conversation", {"bob", "carol"}, "carol", GAME_OFF, ":bob!b@h PART #c\r\n",
     {"carol"}, "", "carol", GAME_OFF},
    {"the private partner leaves", {"bob", "carol"}, "carol", GAME_OFF, ":carol!c@h QUIT\r\n", {"bob"},
     "<carol> Quiting\r\n<KELVA> Private conversation off.\r\n", "", GAME_OFF},
    {"the opponent leaves a game", {"bob", "carol"}, "carol", GAME_PLAYING, ":carol!c@h PART #Go-Moku\r\n", {"bob"},
     "<carol> Parting\r\n<KELVA> Your opponent has left.\r\n", "", GAME_IDLE},
    {"the invited person leaves", {"carol"}, "carol", GAME_INVITING, ":carol!c@h QUIT :x\r\n", {},
     "<carol> Quiting\r\n<KELVA> Your opponent has left.\r\n", "", GAME_IDLE},
};

TEST_F(Dispatch, PartAndQuitRemoveTheDepartingNickAndEndItsConversation)
{
    for (const DepartureCase& c : kDepartures) {
        Enter(c.szPartner, c.nGameState);
        fake.nicks = c.nicksBefore;
        HandleServerLine(c.szLine);
        EXPECT_EQ(c.nicksAfter, fake.nicks) << c.szWhat;
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_STREQ(c.szPartnerAfter, client.szPartner) << c.szWhat;
        EXPECT_EQ(c.nGameAfter, client.nGameState) << c.szWhat;
        bool bPartnerLeft = c.szPartner[0] != '\0' && c.szPartnerAfter[0] == '\0';
        EXPECT_EQ(bPartnerLeft && c.nGameState != GAME_OFF ? 1 : 0, fake.nGameResets) << c.szWhat;
    }
}

struct HeadingCase {
    const char* szWhat;
    const char* szPartner;
    const char* szLine;
    const char* szShown;
};

const HeadingCase kHeadings[] = {
    {"no partner, to me", "", ":bob!b@h PRIVMSG Ravkel :hi\r\n", "<bob-Private> hi\r\n"},
    {"no partner, to the channel", "", ":bob!b@h PRIVMSG #chat :hi all\r\n", "<bob> hi all\r\n"},
    {"partner, to me from the partner", "bob", ":bob!b@h PRIVMSG Ravkel :psst\r\n", "<bob> psst\r\n"},
    {"partner, to me from someone else", "bob", ":carol!c@h PRIVMSG Ravkel :psst\r\n", "<carol-Private> psst\r\n"},
    {"partner, to the channel from the partner", "bob", ":bob!b@h PRIVMSG #chat :all\r\n", "<bob-Public> all\r\n"},
    {"partner, to the channel from someone else", "bob", ":carol!c@h PRIVMSG #chat :all\r\n", ""},
    {"a NOTICE is a message too", "", ":bob!b@h NOTICE Ravkel :note\r\n", "<bob-Private> note\r\n"},
    {"a target in another letter case is not me", "", ":bob!b@h PRIVMSG RAVKEL :x\r\n", "<bob> x\r\n"},
    {"without a prefix only the text is shown", "", "NOTICE AUTH :*** Looking up your hostname\r\n",
     "*** Looking up your hostname\r\n"},
    {"a text without a colon", "", ":bob!b@h PRIVMSG #chat hello there\r\n", "<bob> hello there\r\n"},
    {"only one colon is stepped over", "", ":bob!b@h PRIVMSG #chat ::-)\r\n", "<bob> :-)\r\n"},
    {"a ! line in chat mode is chat", "", ":bob!b@h PRIVMSG Ravkel :!I\r\n", "<bob-Private> !I\r\n"},
    {"a bare LF line end is kept", "", ":bob!b@h PRIVMSG #c :x\n", "<bob> x\n"},
};

TEST_F(Dispatch, MessagesAreShownBehindTheirHeading)
{
    for (const HeadingCase& c : kHeadings) {
        Enter(c.szPartner, GAME_OFF);
        HandleServerLine(c.szLine);
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
    }
}

// Under a flood every append costs the real pane a layout of its own, so a
// shown line goes in whole, in one append, however long its pieces are.
TEST_F(Dispatch, EachShownLineReachesThePaneInOneAppend)
{
    const std::string sNick(255, 'n');
    const std::string sText(512 - 280, 't');
    const struct {
        const char* szWhat;
        std::string sLine;
        std::string sShown;
    } kCases[] = {
        {"a channel message", ":bob!b@h PRIVMSG #chat :hi all\r\n", "<bob> hi all\r\n"},
        {"the longest private message", ":" + sNick + "!b@h PRIVMSG Ravkel :" + sText + "\r\n",
         "<" + sNick + "-Private> " + sText + "\r\n"},
        {"a join", ":bob!b@h JOIN :#chat\r\n", "<bob> Joining\r\n"},
        {"a quit", ":bob!b@h QUIT :bye\r\n", "<bob> Quiting\r\n"},
        {"a line nothing claims", ":srv 999 * :what\r\n", "<?> :srv 999 * :what\r\n"},
    };
    for (const auto& c : kCases) {
        Enter("", GAME_OFF);
        HandleServerLine(c.sLine.c_str());
        EXPECT_EQ(std::vector<std::string>{c.sShown}, fake.appends) << c.szWhat;
    }
}

TEST_F(Dispatch, AnOverlongTargetCountsAsNone)
{
    std::string sTarget(256, 't');
    HandleServerLine((":bob!b@h PRIVMSG " + sTarget + " :x\r\n").c_str());
    EXPECT_EQ("<bob> x\r\n", fake.sOutput);
}

TEST_F(Dispatch, GameMessagesInGameModeAreNotShown)
{
    Enter("", GAME_IDLE);
    HandleServerLine(":bob!b@h PRIVMSG Ravkel :!I\r\n");
    HandleServerLine(":bob!b@h PRIVMSG #Go-Moku :!I\r\n");
    EXPECT_EQ("", fake.sOutput);
    HandleServerLine(":bob!b@h PRIVMSG #Go-Moku :hello\r\n");
    EXPECT_EQ("<bob> hello\r\n", fake.sOutput);
}

TEST_F(Dispatch, TheChannelListIsOpenedFilledAndRetitled)
{
    HandleServerLine(":srv 322 Ravkel #early 1 :dropped while closed\r\n");
    EXPECT_FALSE(fake.bChannelListOpen);

    HandleServerLine(":srv 321 Ravkel Channel :Users  Name\r\n");
    EXPECT_TRUE(fake.bChannelListOpen);
    EXPECT_NE(nullptr, client.hListDlg);
    EXPECT_EQ("Loading Channel List...", fake.sChannelListTitle);
    HandleServerLine(":srv 322 Ravkel #zoo 3 :Animals\r\n");
    HandleServerLine(":srv 322 Ravkel #abc 12 :[+nt] Letters\n");
    EXPECT_EQ((std::vector<std::string>{"#abc 12 :[+nt] Letters", "#zoo 3 :Animals"}), fake.channelRows);
    HandleServerLine(":srv 323 Ravkel :End of LIST\r\n");
    EXPECT_EQ("Channel List", fake.sChannelListTitle);

    HandleServerLine(":srv 321 Ravkel Channel :Users  Name\r\n");
    EXPECT_TRUE(fake.channelRows.empty()) << "a second listing starts over";
    EXPECT_EQ("Loading Channel List...", fake.sChannelListTitle);
    EXPECT_EQ("", fake.sOutput);
}

TEST_F(Dispatch, AListRowIsCutTo255Characters)
{
    client.hListDlg = &nMainWindow;
    std::string sTopic(400, 'x');
    HandleServerLine((":srv 322 Ravkel #c 1 :" + sTopic + "\r\n").c_str());
    ASSERT_EQ(1u, fake.channelRows.size());
    EXPECT_EQ(("#c 1 :" + sTopic).substr(0, 255), fake.channelRows[0]);
}

TEST_F(Dispatch, AChannelListThatCannotBeCreatedDropsTheRows)
{
    fake.bChannelListFails = true;
    HandleServerLine(":srv 321 Ravkel Channel :Users  Name\r\n");
    HandleServerLine(":srv 322 Ravkel #zoo 3 :Animals\r\n");
    HandleServerLine(":srv 323 Ravkel :End of LIST\r\n");
    EXPECT_EQ(nullptr, client.hListDlg);
    EXPECT_EQ("", fake.sOutput);
}

TEST_F(Dispatch, NamesRepliesAddUpInTheNickList)
{
    HandleServerLine(":srv 353 Ravkel = #chat :@alice bob  Ravkel\r\n");
    HandleServerLine(":srv 353 Ravkel = #chat :@zed +carol\r\n");
    HandleServerLine(":srv 353 Ravkel @ #secret :dave\n");
    HandleServerLine(":srv 353 Ravkel * #private :erin\r\n");
    HandleServerLine(":srv 353 Ravkel = #empty :\r\n");
    HandleServerLine(":srv 366 Ravkel #chat :End of NAMES list\r\n");
    // Sorted as the fake list box keeps them: letter case ignored, bytes otherwise.
    std::vector<std::string> expected = {"+carol", "@alice", "@zed", "bob", "dave", "erin", "Ravkel"};
    EXPECT_EQ(expected, fake.nicks);
    EXPECT_EQ("", fake.sOutput);
}

struct MotdCase {
    const char* szWhat;
    const char* szChannel;
    int bShowList;
    const char* szSent;
};

const MotdCase kMotdCases[] = {
    {"a channel without its #", "Go-Moku", 1, "JOIN #Go-Moku\r\n"},
    {"a channel with its #", "#lobby", 1, "JOIN #lobby\r\n"},
    {"no channel, the list", "", 1, "LIST\r\n"},
    {"no channel and no list", "", 0, ""},
};

TEST_F(Dispatch, TheEndOfTheMotdJoinsTheRememberedChannelOrLists)
{
    for (const MotdCase& c : kMotdCases) {
        Enter("", GAME_OFF);
        CopyField(client.szIRCServer, "irc.example.net");
        CopyField(client.szChannel, c.szChannel);
        client.bShowList = c.bShowList;
        HandleServerLine(":srv 376 Ravkel :End of MOTD command\r\n");
        EXPECT_EQ(c.szSent, Sent()) << c.szWhat;
        EXPECT_EQ("End of MOTD command\r\n", fake.sOutput) << c.szWhat;
        EXPECT_STREQ("", client.szChannel) << c.szWhat;
    }
}

struct NumericCase {
    const char* szWhat;
    const char* szLine;
    const char* szShown;
};

const NumericCase kNumerics[] = {
    {"a welcome shows its trailing text", ":srv 001 Ravkel :Welcome to IRC\r\n", "Welcome to IRC\r\n"},
    {"parameters without a colon are all shown", ":srv 005 Ravkel NICKLEN=9 :are supported\r\n",
     "NICKLEN=9 :are supported\r\n"},
    {"332 shows nothing", ":srv 332 Ravkel #chat :The topic\r\n", ""},
    {"366 shows nothing", ":srv 366 Ravkel #chat :End of NAMES list\r\n", ""},
    {"a target of * is not the user", ":srv 451 * :You have not registered\r\n",
     "<?> :srv 451 * :You have not registered\r\n"},
    {"a reply to somebody else", ":srv 001 bob :Welcome\r\n", "<?> :srv 001 bob :Welcome\r\n"},
    {"the own-nick test ignores case", ":srv 001 RAVKEL :Hi\r\n", "Hi\r\n"},
    {"an unknown command is shown whole", ":srv MODE Ravkel :+i\r\n", "<?> :srv MODE Ravkel :+i\r\n"},
    {"an error line is shown whole", "ERROR :Closing connection\r\n", "<?> ERROR :Closing connection\r\n"},
};

TEST_F(Dispatch, NumericRepliesShowTheirTrailingText)
{
    for (const NumericCase& c : kNumerics) {
        Enter("", GAME_OFF);
        HandleServerLine(c.szLine);
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ("", Sent()) << c.szWhat;
    }
}

TEST_F(Dispatch, WithoutANicknameNoNumericIsTheUsers)
{
    client.szNickname[0] = '\0';
    HandleServerLine(":srv 001 Ravkel :Welcome\r\n");
    EXPECT_EQ("<?> :srv 001 Ravkel :Welcome\r\n", fake.sOutput);
}

TEST_F(Dispatch, TheReceiveModeDecidesWhetherLinesAreParsed)
{
    client.nRecvMode = RECV_SHOW;
    HandleServerLine("PING :x\r\n");
    EXPECT_EQ("PING :x\r\n", fake.sOutput);
    EXPECT_EQ("", Sent());

    client.nRecvMode = 3;
    HandleServerLine("PING :x\r\n");
    EXPECT_EQ("PING :x\r\n", fake.sOutput);
    EXPECT_EQ("", Sent());
}

}  // namespace
