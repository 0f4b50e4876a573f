// HandleServerLine: every kind of line, what it shows, sends and changes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "irc/client_state.h"
#include "irc/dispatch.h"
#include "irc/seam.h"
#include "irc/text.h"
#include "opponent/opponent.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

int nMainWindow;  // stands for the main window's handle

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Local times in the tests' expectations are UTC.
        setenv("TZ", "UTC", 1);
        tzset();
        Enter("", GAME_OFF);
    }

    void Enter(const char* szPartner, short nGameState)
    {
        ResetClientAndFake();
        CopyField(client.szNickname, "Ravkel");
        CopyField(client.szPartner, szPartner);
        client.nGameState = nGameState;
        client.nSendMode = SEND_COMPOSE;
        client.hMainWnd = &nMainWindow;
        server.reset();
        server.reset(new ServerEnd);
    }

    std::string Sent() { return server->ReadAll(); }

    std::unique_ptr<ServerEnd> server;
};

struct PingCase {
    const char* szWhat;
    const char* szPing;
    const char* szPong;
};

// The answers servers check: the cookie before registration, the token of a
// lag measurement.
const PingCase kPings[] = {
    {"a trailing parameter comes back", "PING :irc.example.net\r\n", "PONG :irc.example.net\r\n"},
    {"a registration cookie", "PING :2699719890\r\n", "PONG :2699719890\r\n"},
    {"a middle parameter comes back as a trailing one", "PING 2699719890\r\n", "PONG :2699719890\r\n"},
    {"with a prefix", ":irc.example.net PING :x\r\n", "PONG :x\r\n"},
    {"a trailing parameter keeps its blanks", "PING :lag 1234\r\n", "PONG :lag 1234\r\n"},
    {"of two middle parameters the first", "PING abc def\r\n", "PONG :abc\r\n"},
    {"lower case, bare LF", "ping 123\n", "PONG :123\r\n"},
    {"no parameter: the nickname", "   PING\n", "PONG Ravkel\r\n"},
    {"an empty trailing parameter: the nickname", "PING :\r\n", "PONG Ravkel\r\n"},
};

TEST_F(Dispatch, PingIsAnsweredRawWithItsOwnToken)
{
    for (const PingCase& c : kPings) {
        for (short nMode : {SEND_COMPOSE, SEND_RAW}) {
            client.nSendMode = nMode;
            HandleServerLine(c.szPing);
            EXPECT_EQ(c.szPong, Sent()) << c.szWhat;
            EXPECT_EQ(nMode, client.nSendMode) << "the send mode is given back after " << c.szWhat;
        }
    }
    EXPECT_EQ("", fake.sOutput);
}

void RecordOpponentLine(void* pData, const char* szLine) { *static_cast<std::string*>(pData) += szLine; }
void IgnoreOpponentLog(void*, const char*) {}

TEST(OpponentPing, IsAnsweredAsTheClientAnswersIt)
{
    for (const PingCase& c : kPings) {
        std::string sSent;
        Opponent o;
        StartOpponent(o, {RecordOpponentLine, IgnoreOpponentLog, &sSent}, "Ravkel", 1);
        BeginRegistration(o, 0);
        sSent.clear();
        HandleOpponentLine(o, c.szPing, 0);
        EXPECT_EQ(c.szPong, sSent) << c.szWhat;
    }
}

TEST_F(Dispatch, TheAnswerToTheClientsOwnPingIsNotShown)
{
    for (const char* szPong : {":irc.example.net PONG irc.example.net :KELVA\r\n", "PONG irc.example.net KELVA\n",
                               ":irc.example.net pong irc.example.net :KELVA\r\n"}) {
        HandleServerLine(szPong);
        EXPECT_EQ("", fake.sOutput) << szPong;
    }
    for (const char* szPong : {":irc.example.net PONG irc.example.net :other\r\n",
                               ":irc.example.net PONG irc.example.net :NOTKELVA\r\n", "PONG\r\n"}) {
        fake.sOutput.clear();
        HandleServerLine(szPong);
        EXPECT_EQ(std::string("<?> ") + szPong, fake.sOutput) << "any other PONG is shown whole";
    }
    EXPECT_EQ("", Sent());
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

// What a channel member's departure, rename, kick or mark does, in the
// channel "#chat" with the partner's entry selected.
struct MemberCase {
    const char* szWhat;
    std::vector<std::string> nicksBefore;
    const char* szPartner;
    short nGameState;
    const char* szLine;
    std::vector<std::string> nicksAfter;
    const char* szShown;
    const char* szPartnerAfter;
    short nGameAfter;
    const char* szSelectedAfter = "";  // "" for none
    const char* szChannelAfter = "#chat";
    const char* szNickAfter = "Ravkel";
};

const MemberCase kMemberCases[] = {
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
     {"carol"}, "", "carol", GAME_OFF, "carol"},
    {"the private partner leaves", {"bob", "carol"}, "carol", GAME_OFF, ":carol!c@h QUIT\r\n", {"bob"},
     "<carol> Quiting\r\n<KELVA> Private conversation off.\r\n", "", GAME_OFF},
    {"the opponent leaves a game", {"bob", "carol"}, "carol", GAME_PLAYING, ":carol!c@h PART #Go-Moku\r\n", {"bob"},
     "<carol> Parting\r\n<KELVA> Your opponent has left.\r\n", "", GAME_IDLE},
    {"the invited person leaves", {"carol"}, "carol", GAME_INVITING, ":carol!c@h QUIT :x\r\n", {},
     "<carol> Quiting\r\n<KELVA> Your opponent has left.\r\n", "", GAME_IDLE},
    {"a QUIT of a nick not in the channel changes nothing", {"bob"}, "", GAME_OFF, ":zed!z@h QUIT :bye\r\n", {"bob"},
     "", "", GAME_OFF},
    {"a QUIT of the partner from outside the channel ends the conversation", {"bob"}, "zed", GAME_OFF,
     ":zed!z@h QUIT :bye\r\n", {"bob"}, "<zed> Quiting\r\n<KELVA> Private conversation off.\r\n", "", GAME_OFF},

    {"a rename moves the entry to its sorted place", {"alice", "bob", "Irene", "Ravkel"}, "", GAME_OFF,
     ":Irene!~bench@127.0.0.1 NICK Zora\r\n", {"alice", "bob", "Ravkel", "Zora"}, "<Irene> Now known as Zora\r\n", "",
     GAME_OFF},
    {"a rename keeps the operator's mark", {"@Irene", "bob"}, "", GAME_OFF, ":Irene!i@h NICK :Irena\r\n",
     {"@Irena", "bob"}, "<Irene> Now known as Irena\r\n", "", GAME_OFF},
    {"a rename keeps the voice mark", {"+Irene", "Ravkel"}, "", GAME_OFF, ":Irene!i@h NICK :Irena\r\n",
     {"+Irena", "Ravkel"}, "<Irene> Now known as Irena\r\n", "", GAME_OFF},
    {"the private partner's rename keeps the conversation and the selection", {"alice", "Irene", "zed"}, "Irene",
     GAME_OFF, ":Irene!i@h NICK :Abe\r\n", {"Abe", "alice", "zed"}, "<Irene> Now known as Abe\r\n", "Abe", GAME_OFF,
     "Abe"},
    {"the opponent's rename keeps the game", {"Irene", "Ravkel"}, "Irene", GAME_PLAYING, ":Irene!i@h NICK :Irena\r\n",
     {"Irena", "Ravkel"}, "<Irene> Now known as Irena\r\n", "Irena", GAME_PLAYING, "Irena"},
    {"someone else's rename during a conversation is not shown", {"bob", "carol"}, "carol", GAME_OFF,
     ":bob!b@h NICK :bert\r\n", {"bert", "carol"}, "", "carol", GAME_OFF, "carol"},
    {"the user's own rename changes the nickname", {"bob", "Ravkel"}, "", GAME_OFF, ":Ravkel!r@h NICK :Ravkel2\r\n",
     {"bob", "Ravkel2"}, "<Ravkel> Now known as Ravkel2\r\n", "", GAME_OFF, "", "#chat", "Ravkel2"},
    {"a rename of a nick not in the channel changes nothing", {"bob"}, "", GAME_OFF, ":zed!z@h NICK :zod\r\n", {"bob"},
     "", "", GAME_OFF},

    {"a kick removes the victim", {"bob", "Irena", "Ravkel"}, "", GAME_OFF, ":op!o@h KICK #chat Irena :flooding\r\n",
     {"bob", "Ravkel"}, "<op> Kicked Irena (flooding)\r\n", "", GAME_OFF},
    {"a kick without a reason, the channel in other letters", {"@Irena", "bob"}, "", GAME_OFF,
     ":op!o@h KICK #CHAT Irena\r\n", {"bob"}, "<op> Kicked Irena\r\n", "", GAME_OFF},
    {"a kick from another channel changes nothing", {"bob", "Irena"}, "", GAME_OFF, ":op!o@h KICK #other Irena :x\r\n",
     {"bob", "Irena"}, "", "", GAME_OFF},
    {"the kicked opponent ends the game", {"Irena", "Ravkel"}, "Irena", GAME_PLAYING,
     ":op!o@h KICK #chat Irena :bye\r\n", {"Ravkel"}, "<op> Kicked Irena (bye)\r\n<KELVA> Your opponent has left.\r\n", "", GAME_IDLE},
    {"the kicked private partner ends the conversation", {"bob", "Irena"}, "Irena", GAME_OFF,
     ":op!o@h KICK #chat Irena\r\n", {"bob"}, "<op> Kicked Irena\r\n<KELVA> Private conversation off.\r\n", "",
     GAME_OFF},
    {"someone else kicked during a conversation is not shown", {"bob", "carol"}, "carol", GAME_OFF,
     ":op!o@h KICK #chat bob\r\n", {"carol"}, "", "carol", GAME_OFF, "carol"},
    {"kicked, the user leaves the channel", {"bob", "Ravkel"}, "", GAME_OFF, ":op!o@h KICK #chat Ravkel :out\r\n", {},
     "<KELVA> You were kicked from #chat by op (out)\r\n", "", GAME_OFF, "", ""},
    {"kicked in a game, game mode ends", {"bob", "Ravkel"}, "bob", GAME_PLAYING, ":op!o@h KICK #chat Ravkel\r\n", {},
     "<KELVA> You were kicked from #chat by op\r\n", "", GAME_OFF, "", ""},

    {"+o marks an operator", {"bob", "Irena"}, "", GAME_OFF, ":op!o@h MODE #chat +o Irena\r\n", {"@Irena", "bob"},
     "<op> Mode +o Irena\r\n", "", GAME_OFF},
    {"-o takes the mark away", {"@Irena", "bob"}, "", GAME_OFF, ":op!o@h MODE #chat -o Irena\r\n", {"bob", "Irena"},
     "<op> Mode -o Irena\r\n", "", GAME_OFF},
    {"+v marks a voice", {"bob", "Irena"}, "", GAME_OFF, ":op!o@h MODE #chat +v :Irena\r\n", {"+Irena", "bob"},
     "<op> Mode +v :Irena\r\n", "", GAME_OFF},
    {"voice given to an operator keeps the @", {"@Irena"}, "", GAME_OFF, ":op!o@h MODE #chat +v Irena\r\n",
     {"@Irena"}, "<op> Mode +v Irena\r\n", "", GAME_OFF},
    {"-v of a voice", {"+Irena"}, "", GAME_OFF, ":op!o@h MODE #chat -v Irena\r\n", {"Irena"},
     "<op> Mode -v Irena\r\n", "", GAME_OFF},
    {"several marks at once", {"@zed", "bob", "Irena"}, "", GAME_OFF, ":op!o@h MODE #chat +ov-o Irena bob zed\r\n",
     {"+bob", "@Irena", "zed"}, "<op> Mode +ov-o Irena bob zed\r\n", "", GAME_OFF},
    {"the selected member stays selected", {"bob", "Irena"}, "Irena", GAME_OFF, ":op!o@h MODE #chat +o Irena\r\n",
     {"@Irena", "bob"}, "<op> Mode +o Irena\r\n", "Irena", GAME_OFF, "@Irena"},
    {"a mark without its member changes nothing", {"bob"}, "", GAME_OFF, ":op!o@h MODE #chat +o\r\n", {"bob"},
     "<op> Mode +o\r\n", "", GAME_OFF},
    {"another mode is shown whole", {"bob"}, "", GAME_OFF, ":op!o@h MODE #chat +b *!*@h\r\n", {"bob"},
     "<?> :op!o@h MODE #chat +b *!*@h\r\n", "", GAME_OFF},
    {"marks and another mode together are shown whole", {"bob"}, "", GAME_OFF, ":op!o@h MODE #chat +ol bob 5\r\n",
     {"bob"}, "<?> :op!o@h MODE #chat +ol bob 5\r\n", "", GAME_OFF},
    {"a mode in another channel is shown whole", {"bob"}, "", GAME_OFF, ":op!o@h MODE #other +o bob\r\n", {"bob"},
     "<?> :op!o@h MODE #other +o bob\r\n", "", GAME_OFF},
    {"the user's own mode is shown whole", {"bob"}, "", GAME_OFF, ":Ravkel MODE Ravkel :+i\r\n", {"bob"},
     "<?> :Ravkel MODE Ravkel :+i\r\n", "", GAME_OFF},
    {"a topic change", {"bob"}, "", GAME_OFF, ":op!o@h TOPIC #chat :New rules: be nice\r\n", {"bob"},
     "<op> Topic: New rules: be nice\r\n", "", GAME_OFF},
};

TEST_F(Dispatch, ChannelMembersLeaveRenameAreKickedAndMarked)
{
    for (const MemberCase& c : kMemberCases) {
        Enter(c.szPartner, c.nGameState);
        CopyField(client.szChannel, "#chat");
        fake.sTitle = "KELVA: #chat";
        fake.nicks = c.nicksBefore;
        if (c.szPartner[0] != '\0') NickListSelectName(c.szPartner);
        HandleServerLine(c.szLine);
        EXPECT_EQ(c.nicksAfter, fake.nicks) << c.szWhat;
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_STREQ(c.szPartnerAfter, client.szPartner) << c.szWhat;
        EXPECT_EQ(c.nGameAfter, client.nGameState) << c.szWhat;
        std::string sSelected = fake.nSelected < 0 ? "" : fake.nicks[static_cast<size_t>(fake.nSelected)];
        EXPECT_EQ(c.szSelectedAfter, sSelected) << c.szWhat;
        EXPECT_STREQ(c.szChannelAfter, client.szChannel) << c.szWhat;
        EXPECT_EQ(c.szChannelAfter[0] != '\0' ? "KELVA: #chat" : "KELVA", fake.sTitle) << c.szWhat;
        EXPECT_STREQ(c.szNickAfter, client.szNickname) << c.szWhat;
        bool bOpponentLeft = c.szPartner[0] != '\0' && c.szPartnerAfter[0] == '\0' && c.nGameAfter == GAME_IDLE;
        EXPECT_EQ(bOpponentLeft ? 1 : 0, fake.nInvalidations) << c.szWhat << ": the game's board cleared";
        EXPECT_EQ("", Sent()) << c.szWhat;
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
    {"formatting codes are taken out, the text between them kept", "",
     ":bob!b@h PRIVMSG #c :\x02" "bold\x02 \x03" "04,12red\x03 \x04" "FF8800orange\x0F \x1Ditalic\x1D 5,6\r\n",
     "<bob> bold red orange italic 5,6\r\n"},
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
struct CtcpCase {
    const char* szWhat;
    const char* szLine;
    const char* szShown;
    const char* szSent;
    const char* szPartner = "";
    short nGameState = GAME_OFF;
};

#define VERSION_ANSWER "KELVA " KELVA_PROJECT_VERSION " for Windows"

// fake.nTicks is 5000 and the time 2023-11-14 22:13:20 UTC.
const CtcpCase kCtcpCases[] = {
    {"an ACTION in the channel", ":bob!b@h PRIVMSG #c :\x01" "ACTION waves\x01\r\n", "* bob waves\r\n", ""},
    {"a private ACTION", ":bob!b@h PRIVMSG Ravkel :\x01" "ACTION waves\x01\r\n", "* bob-Private waves\r\n", ""},
    {"the partner's ACTION", ":bob!b@h PRIVMSG Ravkel :\x01" "ACTION waves\x01\r\n", "* bob waves\r\n", "", "bob"},
    {"a third person's ACTION during a conversation", ":cy!c@h PRIVMSG #c :\x01" "ACTION waves\x01\r\n", "", "",
     "bob"},
    {"an ACTION without its closing mark, with codes", ":bob!b@h PRIVMSG #c :\x01" "ACTION \x02waves\r\n",
     "* bob waves\r\n", ""},
    {"VERSION", ":bob!b@h PRIVMSG Ravkel :\x01VERSION\x01\r\n", "<KELVA> bob asked for VERSION\r\n",
     "NOTICE bob :\x01VERSION " VERSION_ANSWER "\x01\r\n"},
    {"a request to the channel is answered to the sender", ":bob!b@h PRIVMSG #c :\x01version\x01\r\n",
     "<KELVA> bob asked for version\r\n", "NOTICE bob :\x01version " VERSION_ANSWER "\x01\r\n"},
    {"PING", ":bob!b@h PRIVMSG Ravkel :\x01PING 1700000000 123\x01\r\n", "<KELVA> bob asked for PING\r\n",
     "NOTICE bob :\x01PING 1700000000 123\x01\r\n"},
    {"TIME", ":bob!b@h PRIVMSG Ravkel :\x01TIME\x01\r\n", "<KELVA> bob asked for TIME\r\n",
     "NOTICE bob :\x01TIME 2023-11-14 22:13:20\x01\r\n"},
    {"CLIENTINFO", ":bob!b@h PRIVMSG Ravkel :\x01" "CLIENTINFO\x01\r\n", "<KELVA> bob asked for CLIENTINFO\r\n",
     "NOTICE bob :\x01" "CLIENTINFO ACTION CLIENTINFO PING TIME VERSION\x01\r\n"},
    {"an unknown request is shown, not answered", ":bob!b@h PRIVMSG Ravkel :\x01" "FINGER\x01\r\n",
     "<KELVA> bob asked for FINGER\r\n", ""},
    {"an empty request", ":bob!b@h PRIVMSG Ravkel :\x01\x01\r\n", "", ""},
    {"a request without a sender", "PRIVMSG Ravkel :\x01VERSION\x01\r\n", "", ""},
    {"a reply", ":bob!b@h NOTICE Ravkel :\x01VERSION Other 2.0\x01\r\n", "<bob> VERSION reply: Other 2.0\r\n", ""},
    {"a PING reply to our request: the round trip", ":bob!b@h NOTICE Ravkel :\x01PING 3750\x01\r\n",
     "<bob> PING reply: 1.250 seconds\r\n", ""},
    {"a PING reply with another argument", ":bob!b@h NOTICE Ravkel :\x01PING 9000\x01\r\n",
     "<bob> PING reply: 9000\r\n", ""},
    {"a game message in game mode is never CTCP", ":bob!b@h PRIVMSG Ravkel :!I\x01VERSION\x01\r\n", "",
     "PRIVMSG bob :!D\r\n", "", GAME_IDLE},
};

TEST_F(Dispatch, CtcpIsShownAnsweredAndActedOut)
{
    for (const CtcpCase& c : kCtcpCases) {
        Enter(c.szPartner, c.nGameState);
        fake.nTicks = 5000;
        HandleServerLine(c.szLine);
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ(c.szSent, Sent()) << c.szWhat;
    }
}

TEST_F(Dispatch, CtcpAnswersAreRateLimitedOnTheTickCount)
{
    // Answered or not, at each tick count in turn.
    const struct {
        unsigned nTicks;
        bool bAnswered;
    } kRequests[] = {{100000, true}, {100000, true}, {100400, true}, {100400, false}, {100999, false},
                     {101000, true}, {101000, false}, {102500, true}, {103000, true}, {103000, false},
                     {200000, true}, {200000, true}, {200000, true}, {200000, false}};
    for (const auto& r : kRequests) {
        fake.nTicks = r.nTicks;
        fake.sOutput.clear();
        HandleServerLine(":bob!b@h PRIVMSG Ravkel :\x01PING x\x01\r\n");
        EXPECT_EQ(r.bAnswered ? "NOTICE bob :\x01PING x\x01\r\n" : "", Sent()) << "at " << r.nTicks;
        EXPECT_EQ("<KELVA> bob asked for PING\r\n", fake.sOutput) << "at " << r.nTicks;
    }
}

struct AttentionCase {
    const char* szWhat;
    const char* szLine;
    int nAsked;
    const char* szPartner = "";
    short nGameState = GAME_OFF;
};

const AttentionCase kAttentionCases[] = {
    {"a private message", ":bob!b@h PRIVMSG Ravkel :psst\r\n", 1},
    {"a private notice", ":bob!b@h NOTICE Ravkel :note\r\n", 0},
    {"a channel line", ":bob!b@h PRIVMSG #c :hi all\r\n", 0},
    {"the nickname as a word", ":bob!b@h PRIVMSG #c :Ravkel: hi\r\n", 1},
    {"in another letter case, at the end", ":bob!b@h PRIVMSG #c :hi ravkel!\r\n", 1},
    {"behind a mark, between codes", ":bob!b@h PRIVMSG #c :@\x02Ravkel\x02\r\n", 1},
    {"inside a longer nickname", ":bob!b@h PRIVMSG #c :Ravkel2 and xRavkel\r\n", 0},
    {"an ACTION naming the user", ":bob!b@h PRIVMSG #c :\x01" "ACTION hugs Ravkel\x01\r\n", 1},
    {"a private request", ":bob!b@h PRIVMSG Ravkel :\x01VERSION\x01\r\n", 0},
    {"a line not shown during a conversation", ":cy!c@h PRIVMSG #c :Ravkel?\r\n", 0, "bob"},
    {"a game invitation", ":bob!b@h PRIVMSG Ravkel :!I\r\n", 1, "", GAME_IDLE},
};

TEST_F(Dispatch, WordsForTheUserAskForHisAttention)
{
    for (const AttentionCase& c : kAttentionCases) {
        Enter(c.szPartner, c.nGameState);
        HandleServerLine(c.szLine);
        EXPECT_EQ(c.nAsked, fake.nAttentionAsked) << c.szWhat;
    }
}

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
        {"a part", ":bob!b@h PART #chat :bye\r\n", "<bob> Parting\r\n"},
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
    HandleServerLine(":srv 322 Ravkel #zoo 3 :\x02\x03" "03Animals\r\n");
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
    // With multi-prefix every mark comes, the highest first; the list shows it alone.
    HandleServerLine(":srv 353 Ravkel = #chat :@+yan\r\n");
    // The server's own marks, from its PREFIX.
    HandleServerLine(":srv 005 Ravkel PREFIX=(Yov)!@+ :are supported\r\n");
    HandleServerLine(":srv 353 Ravkel = #chat :!@+xi\r\n");
    // Sorted as the fake list box keeps them: letter case ignored, bytes otherwise.
    std::vector<std::string> expected = {"!xi", "+carol", "@alice", "@yan", "@zed", "bob", "dave", "erin", "Ravkel"};
    EXPECT_EQ(expected, fake.nicks);
    EXPECT_EQ("PREFIX=(Yov)!@+ :are supported\r\n", fake.sOutput);
}

struct MotdCase {
    const char* szWhat;
    const char* szChannel;
    int bShowList;
    const char* szSent;
    const char* szLine = ":srv 376 Ravkel :End of MOTD command\r\n";
    int bEndedBefore = 0;  // an end of the MOTD has come on this connection
};

const MotdCase kMotdCases[] = {
    {"a channel without its #", "Go-Moku", 1, "JOIN #Go-Moku\r\n"},
    {"a channel with its #", "#lobby", 1, "JOIN #lobby\r\n"},
    {"no channel, the list", "", 1, "LIST\r\n"},
    {"no channel and no list", "", 0, ""},
    {"a server without a MOTD says so instead", "#lobby", 1, "JOIN #lobby\r\n",
     ":srv 422 Ravkel :End of MOTD command\r\n"},
    {"once per connection", "", 1, "", ":srv 422 Ravkel :End of MOTD command\r\n", 1},
};

TEST_F(Dispatch, TheEndOfTheMotdJoinsTheRememberedChannelOrLists)
{
    for (const MotdCase& c : kMotdCases) {
        Enter("", GAME_OFF);
        CopyField(client.szIRCServer, "irc.example.net");
        CopyField(client.szChannel, c.szChannel);
        client.bShowList = c.bShowList;
        client.bMotdEnded = c.bEndedBefore;
        HandleServerLine(c.szLine);
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
    {"333 in words", ":srv 333 Ravkel #lobby bob!b@h 1700000000\r\n", "Topic set by bob on 2023-11-14 22:13\r\n"},
    {"329 in words", ":srv 329 Ravkel #lobby 1700000000\r\n", "Channel created on 2023-11-14 22:13\r\n"},
    {"311 in words", ":srv 311 Ravkel bob ~b h.example * :Bob B\r\n", "bob is ~b@h.example (Bob B)\r\n"},
    {"312 in words", ":srv 312 Ravkel bob irc.example.net :Test net\r\n", "bob is on irc.example.net (Test net)\r\n"},
    {"313 in words", ":srv 313 Ravkel bob :is an IRC operator\r\n", "bob is an IRC operator\r\n"},
    {"317 in words", ":srv 317 Ravkel bob 93784 1700000000 :seconds idle, signon time\r\n",
     "bob has been idle 1 day 2 hours 3 minutes 4 seconds, signed on 2023-11-14 22:13\r\n"},
    {"317 without a sign-on time", ":srv 317 Ravkel bob 60 :seconds idle\r\n", "bob has been idle 1 minute\r\n"},
    {"318 in words", ":srv 318 Ravkel bob :End of /WHOIS list.\r\n", "End of WHOIS for bob\r\n"},
    {"319 in words", ":srv 319 Ravkel bob :@#lobby #chat\r\n", "bob is in @#lobby #chat\r\n"},
    {"330 in words", ":srv 330 Ravkel bob bobby :is logged in as\r\n", "bob is logged in as bobby\r\n"},
    {"671 in words", ":srv 671 Ravkel bob :is using a secure connection\r\n", "bob is using a secure connection\r\n"},
    {"301 in words", ":srv 301 Ravkel bob :Gone fishing\r\n", "bob is away: Gone fishing\r\n"},
    {"a reply short of its parameters shows its text", ":srv 333 Ravkel #lobby\r\n", "#lobby\r\n"},
    {"a time that is not a number stays as it is", ":srv 329 Ravkel #lobby soon\r\n", "Channel created on soon\r\n"},
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

struct NickTakenCase {
    const char* szWhat;
    const char* szChosen;
    const char* szTried;
    int bRegistered;
    const char* szLine;
    const char* szShown;
    const char* szSent;
    const char* szNickAfter;
    short nNickLength = 0;  // the server's NICKLEN, from an earlier connection
};

const NickTakenCase kNicksTaken[] = {
    {"the chosen nickname gets a _", "Ravkel", "Ravkel", 0, ":srv 433 * Ravkel :Nickname already in use\r\n",
     "<KELVA> Nickname Ravkel is taken; using Ravkel_\r\n", "NICK Ravkel_\r\n", "Ravkel_"},
    {"then the _ becomes 2", "Ravkel", "Ravkel_", 0, ":srv 433 * Ravkel_ :Nickname already in use\r\n",
     "<KELVA> Nickname Ravkel_ is taken; using Ravkel2\r\n", "NICK Ravkel2\r\n", "Ravkel2"},
    {"then 3", "Ravkel", "Ravkel2", 0, ":srv 433 * Ravkel2 :Nickname already in use\r\n",
     "<KELVA> Nickname Ravkel2 is taken; using Ravkel3\r\n", "NICK Ravkel3\r\n", "Ravkel3"},
    {"after 9 the refusal is shown as today", "Ravkel", "Ravkel9", 0, ":srv 433 * Ravkel9 :Nickname already in use\r\n",
     "<?> :srv 433 * Ravkel9 :Nickname already in use\r\n", "", "Ravkel9"},
    {"a nickname of nine characters is cut for the _", "Kelvinian", "Kelvinian", 0,
     ":srv 433 * Kelvinian :Nickname already in use\r\n", "<KELVA> Nickname Kelvinian is taken; using Kelvinia_\r\n",
     "NICK Kelvinia_\r\n", "Kelvinia_"},
    {"and for the 2", "Kelvinian", "Kelvinia_", 0, ":srv 433 * Kelvinia_ :Nickname already in use\r\n",
     "<KELVA> Nickname Kelvinia_ is taken; using Kelvinia2\r\n", "NICK Kelvinia2\r\n", "Kelvinia2"},
    {"a longer nickname the server took keeps its length", "Ravkelovich12", "Ravkelovich12", 0,
     ":srv 433 * Ravkelovich12 :Nickname already in use\r\n",
     "<KELVA> Nickname Ravkelovich12 is taken; using Ravkelovich1_\r\n", "NICK Ravkelovich1_\r\n", "Ravkelovich1_"},
    {"the server's NICKLEN lets a nickname of nine characters grow", "Kelvinian", "Kelvinian", 0,
     ":srv 433 * Kelvinian :Nickname already in use\r\n", "<KELVA> Nickname Kelvinian is taken; using Kelvinian_\r\n",
     "NICK Kelvinian_\r\n", "Kelvinian_", 30},
    {"and keeps a longer one within it", "Ravkelovich12", "Ravkelovich12", 0,
     ":srv 433 * Ravkelovich12 :Nickname already in use\r\n",
     "<KELVA> Nickname Ravkelovich12 is taken; using Ravkelovi_\r\n", "NICK Ravkelovi_\r\n", "Ravkelovi_", 10},
    {"after registration a 433 is shown as today", "Ravkel", "Ravkel", 1,
     ":srv 433 Ravkel bob :Nickname already in use\r\n", "bob :Nickname already in use\r\n", "", "Ravkel"},
};

TEST_F(Dispatch, ATakenNicknameFallsBackWhileRegistering)
{
    for (const NickTakenCase& c : kNicksTaken) {
        Enter("", GAME_OFF);
        CopyField(client.szChosenNickname, c.szChosen);
        CopyField(client.szNickname, c.szTried);
        client.bRegistered = c.bRegistered;
        client.features.nNickLength = c.nNickLength;
        HandleServerLine(c.szLine);
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ(c.szSent, Sent()) << c.szWhat;
        EXPECT_STREQ(c.szNickAfter, client.szNickname) << c.szWhat;
        EXPECT_STREQ(c.szChosen, client.szChosenNickname) << c.szWhat;
        EXPECT_EQ(SEND_COMPOSE, client.nSendMode) << c.szWhat;
    }
}

TEST_F(Dispatch, TheWelcomeEndsTheFallbacks)
{
    CopyField(client.szChosenNickname, "Ravkel");
    HandleServerLine(":srv 433 * Ravkel :Nickname already in use\r\n");
    HandleServerLine(":srv 001 Ravkel_ :Welcome to IRC\r\n");
    EXPECT_EQ(1, client.bRegistered);
    EXPECT_EQ("<KELVA> Nickname Ravkel is taken; using Ravkel_\r\nWelcome to IRC\r\n", fake.sOutput);
    fake.sOutput.clear();
    HandleServerLine(":srv 433 Ravkel_ bob :Nickname already in use\r\n");
    EXPECT_EQ("bob :Nickname already in use\r\n", fake.sOutput);
    EXPECT_EQ("NICK Ravkel_\r\n", Sent());
}

TEST_F(Dispatch, AWelcomeToANicknameTheServerCutEndsTheFallbacksToo)
{
    CopyField(client.szChosenNickname, "Ravkelovich12");
    CopyField(client.szNickname, "Ravkelovich12");
    HandleServerLine(":srv 001 Ravkelovi :Welcome\r\n");
    HandleServerLine(":srv 433 * Ravkelovich12 :Nickname already in use\r\n");
    EXPECT_EQ("", Sent()) << "no fallback after the welcome";
    EXPECT_STREQ("Ravkelovich12", client.szNickname);
}

TEST_F(Dispatch, ANicknameThatBeginsLikeACommandWordGetsItsReplies)
{
    CopyField(client.szNickname, "Joiner");
    HandleServerLine(":srv 001 Joiner :Welcome\r\n");
    EXPECT_EQ("Welcome\r\n", fake.sOutput);
    EXPECT_TRUE(fake.nicks.empty());
}

TEST_F(Dispatch, WithoutANicknameNoNumericIsTheUsers)
{
    client.szNickname[0] = '\0';
    HandleServerLine(":srv 001 Ravkel :Welcome\r\n");
    EXPECT_EQ("<?> :srv 001 Ravkel :Welcome\r\n", fake.sOutput);
}

}  // namespace
