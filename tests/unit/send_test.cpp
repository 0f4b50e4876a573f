// SendText over a real socket pair: every kind of user line, its wire bytes,
// what it shows and what it changes locally.
#include <gtest/gtest.h>

#include <string>

#include "irc/client_state.h"
#include "irc/send.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

struct Context {
    const char* szChannel;
    const char* szPartner;
    short nGameState;
    const char* szServer;
};

const Context kInChat = {"#chat", "", GAME_OFF, "irc.example.net"};
const Context kNoChannel = {"", "", GAME_OFF, "irc.example.net"};
const Context kOnDefault = {"", "", GAME_OFF, szDefaultServer};
const Context kWithPartner = {"#chat", "bob", GAME_OFF, "irc.example.net"};
const Context kPlaying = {"#Go-Moku", "bob", GAME_PLAYING, szDefaultServer};

const char szNotInChannel[] =
    "<KELVA> You are not in a channel. Type /join #channel, or click a name for a private conversation.\r\n";

void Enter(const Context& ctx)
{
    ResetClientAndFake();
    CopyField(client.szNickname, "Ravkel");
    CopyField(client.szChannel, ctx.szChannel);
    CopyField(client.szPartner, ctx.szPartner);
    CopyField(client.szIRCServer, ctx.szServer);
    client.nGameState = ctx.nGameState;
    client.nSendMode = SEND_COMPOSE;
}

struct WireCase {
    const char* szWhat;
    Context ctx;
    const char* szTyped;
    const char* szWire;
    const char* szShown;
};

const WireCase kWireCases[] = {
    {"an empty line in a channel is an empty PRIVMSG", kInChat, "\r\n", "PRIVMSG #chat :\r\n", "<Ravkel> \r\n"},
    {"a chat line goes to the channel", kInChat, "hello all\r\n", "PRIVMSG #chat :hello all\r\n", "<Ravkel> hello all\r\n"},
    {"a chat line goes to the private partner", kWithPartner, "hi\r\n", "PRIVMSG bob :hi\r\n", "<Ravkel> hi\r\n"},
    {"a chat line outside any channel is not sent", kNoChannel, "hi\r\n", "", szNotInChannel},
    {"/ME outside any channel is not sent either", kNoChannel, "/me waves\r\n", "", szNotInChannel},
    {"/ME to the channel", kInChat, "/me waves \x02hi\r\n", "PRIVMSG #chat :\x01" "ACTION waves \x02hi\x01\r\n",
     "* Ravkel waves hi\r\n"},
    {"/ME to the partner", kWithPartner, "/ME  waves\r\n", "PRIVMSG bob :\x01" "ACTION waves\x01\r\n",
     "* Ravkel waves\r\n"},
    {"a longer word than ME is an other command", kInChat, "/MEET x\r\n", "MEET x\r\n", ""},
    {"/CTCP sends a request in capitals", kNoChannel, "/ctcp bob version\r\n", "PRIVMSG bob :\x01VERSION\x01\r\n", ""},
    {"/CTCP with a text", kInChat, "/CTCP bob PING abc def\r\n", "PRIVMSG bob :\x01PING abc def\x01\r\n", ""},
    {"/CTCP PING alone carries the tick count", kInChat, "/CTCP bob PING\r\n", "PRIVMSG bob :\x01PING 4242\x01\r\n", ""},
    {"/CTCP without a request", kInChat, "/CTCP bob\r\n", "",
     "<KELVA> Type /CTCP, a nickname and a request, for example /CTCP bob VERSION.\r\n"},
    {"leading blanks are kept in the text", kInChat, "  hi\r\n", "PRIVMSG #chat :  hi\r\n", "<Ravkel>   hi\r\n"},
    {"the current channel in another case is not joined again", kInChat, "/join #CHAT\r\n", "",
     "<KELVA> You are already in that channel.\r\n"},
    {"a channel that the current one begins with is left and joined", {"#abc", "", GAME_OFF, "x"}, "/JOIN #ab\r\n",
     "PART #abc\r\nJOIN #ab\r\n", ""},
    {"JOIN alone is an other command", kInChat, "/JOIN\r\n", "JOIN\r\n", ""},
    {"JOIN and a blank asks for a name", kInChat, "/JOIN \r\n", "", "<KELVA> You must specify a channel name.\r\n"},
    {"two channels and a key go out as typed", kNoChannel, "/join #a,#b key\r\n", "JOIN #a,#b key\r\n", ""},
    {"blanks after the slash still make a JOIN", kNoChannel, "/  JOIN   #x\r\n", "JOIN #x\r\n", ""},
    {"the game channel on the default server gets its key", kOnDefault, "/join #go-moku extra\r\n",
     "JOIN #Go-Moku KELVA\r\n", "<KELVA> To invite someone to play, click on their name above.\r\n"},
    {"the game channel on another server is a plain join", kNoChannel, "/join #go-moku\r\n", "JOIN #go-moku\r\n", ""},
    {"PART leaves the current channel whatever is typed", kInChat, "/PART #other\r\n", "PART #chat\r\n", ""},
    {"PART outside a channel sends an empty line", kNoChannel, "/part\r\n", "",
     "<KELVA> You are not currently in a channel.\r\n"},
    {"a blank after the slash makes PART an other command", kInChat, "/ PART\r\n", "PART\r\n", ""},
    {"a longer word is an other command", kInChat, "/PARTY\r\n", "PARTY\r\n", ""},
    {"QUIT keeps its message", kInChat, "/quit bye now\r\n", "quit bye now\r\n", ""},
    {"QUIT outside a channel", kNoChannel, "/QUIT\r\n", "QUIT\r\n", ""},
    {"an other command keeps its letter case", kInChat, "/list\r\n", "list\r\n", ""},
    {"an other command with arguments", kInChat, "/mode #chat +t\r\n", "mode #chat +t\r\n", ""},
    {"QUOTE sends the text as it stands", kInChat, "/QUOTE PONG 2699719890\r\n", "PONG 2699719890\r\n", ""},
    {"RAW too, in any letter case", kWithPartner, "/raw PRIVMSG #chat :to all\r\n", "PRIVMSG #chat :to all\r\n", ""},
    {"QUOTE of a JOIN is not a JOIN", kOnDefault, "/QUOTE join #Go-Moku\r\n", "join #Go-Moku\r\n", ""},
    {"a longer word than QUOTE is an other command", kInChat, "/QUOTES x\r\n", "QUOTES x\r\n", ""},
    {"a blank after the slash makes RAW an other command", kInChat, "/ RAW x\r\n", "RAW x\r\n", ""},
    {"a game message in game mode is not echoed", kPlaying, "!M 1 2\r\n", "PRIVMSG bob :!M 1 2\r\n", ""},
    {"a blank before the ! is echoed in game mode", kPlaying, " !M\r\n", "PRIVMSG bob : !M\r\n", "<Ravkel>  !M\r\n"},
    {"a ! line in chat mode is echoed", kInChat, "!wow\r\n", "PRIVMSG #chat :!wow\r\n", "<Ravkel> !wow\r\n"},
};

TEST(SendText, ComposesEachLineKind)
{
    for (const WireCase& c : kWireCases) {
        Enter(c.ctx);
        fake.nTicks = 4242;
        ServerEnd server;
        SendText(c.szTyped);
        EXPECT_EQ(c.szWire, server.ReadAll()) << c.szWhat;
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
    }
}

struct StateCase {
    const char* szWhat;
    Context ctx;
    const char* szTyped;
    const char* szChannelAfter;
    const char* szPartnerAfter;
    short nGameAfter;
    bool bNickListEmptied;
};

const StateCase kStateCases[] = {
    {"PART in a channel resets the channel and the partner", kWithPartner, "/PART\r\n", "", "", GAME_OFF, true},
    {"PART in game mode ends game mode", kPlaying, "/part\r\n", "", "", GAME_OFF, true},
    {"QUIT in a channel resets it", kWithPartner, "/QUIT gone\r\n", "", "", GAME_OFF, true},
    {"QUIT outside a channel changes nothing", {"", "bob", GAME_IDLE, "x"}, "/QUIT\r\n", "", "bob", GAME_IDLE, false},
    {"JOIN leaves the old channel through PART", kWithPartner, "/JOIN #new\r\n", "", "", GAME_OFF, true},
    {"JOIN of the game channel turns game mode on", kOnDefault, "/JOIN #Go-Moku\r\n", "", "", GAME_IDLE, false},
    {"PART outside a channel changes nothing", {"", "bob", GAME_OFF, "x"}, "/PART\r\n", "", "bob", GAME_OFF, false},
    {"a blank before PART changes nothing", kWithPartner, "/ PART\r\n", "#chat", "bob", GAME_OFF, false},
    {"QUOTE of a PART sends it and changes nothing", kWithPartner, "/QUOTE PART #chat\r\n", "#chat", "bob", GAME_OFF,
     false},
};

TEST(SendText, JoinPartAndQuitChangeTheLocalState)
{
    for (const StateCase& c : kStateCases) {
        Enter(c.ctx);
        fake.sTitle = "KELVA: #chat";
        fake.nicks = {"Ravkel", "bob"};
        ServerEnd server;
        SendText(c.szTyped);
        EXPECT_STREQ(c.szChannelAfter, client.szChannel) << c.szWhat;
        EXPECT_STREQ(c.szPartnerAfter, client.szPartner) << c.szWhat;
        EXPECT_EQ(c.nGameAfter, client.nGameState) << c.szWhat;
        EXPECT_EQ(c.bNickListEmptied, fake.nicks.empty()) << c.szWhat;
        EXPECT_EQ(c.bNickListEmptied ? "KELVA" : "KELVA: #chat", fake.sTitle) << c.szWhat;
    }
}

TEST(SendText, LeavingAGameHidesTheBoardBeforeThePartGoesOut)
{
    Enter(kPlaying);
    ServerEnd server;
    SendText("/PART\r\n");
    std::vector<std::string> expected = {"nick list emptied", "title KELVA", "hide game window", "layout",
                                         "scroll output"};
    EXPECT_EQ(expected, fake.calls);
    EXPECT_EQ("PART #Go-Moku\r\n", server.ReadAll());
}

TEST(SendText, JoiningTheGameChannelShowsAnEmptyBoard)
{
    Enter(kOnDefault);
    ServerEnd server;
    SendText("/JOIN #Go-Moku\r\n");
    std::vector<std::string> expected = {"show game window", "layout", "scroll output"};
    EXPECT_EQ(expected, fake.calls);
    EXPECT_EQ(1, fake.nGameWindowShown);
    EXPECT_EQ(1, fake.nInvalidations) << "the board is cleared";
}

TEST(SendText, JoiningTheGameChannelFromAGameLeavesTheOldOneFirst)
{
    // The nested PART switches game mode off, so the game channel switches it on again.
    Enter({"#Go-Moku", "bob", GAME_PLAYING, szDefaultServer});
    ServerEnd server;
    SendText("/join #other\r\n");
    EXPECT_EQ("PART #Go-Moku\r\nJOIN #other\r\n", server.ReadAll());
    EXPECT_EQ(GAME_OFF, client.nGameState);
}

TEST(SendText, TheGameChannelNeedsTheDefaultServerExactly)
{
    std::string sUpper = szDefaultServer;
    for (char& c : sUpper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    Enter({"", "", GAME_OFF, sUpper.c_str()});
    ServerEnd server;
    SendText("/JOIN #Go-Moku\r\n");
    EXPECT_EQ("JOIN #Go-Moku\r\n", server.ReadAll());
    EXPECT_EQ(GAME_OFF, client.nGameState);
}

TEST(SendText, ASecondGameChannelJoinInGameModeSendsNothing)
{
    Enter({"", "", GAME_IDLE, szDefaultServer});
    ServerEnd server;
    server.Close();  // an empty send on a closed pair would still report an error
    SendText("/JOIN #Go-Moku\r\n");
    EXPECT_EQ(GAME_IDLE, client.nGameState);
    EXPECT_EQ("Error: send() = 10054\r\n", fake.sOutput) << "the empty line is still handed to send";
}

TEST(SendText, RawModeSendsTheTextUnchanged)
{
    Enter(kInChat);
    client.nSendMode = SEND_RAW;
    ServerEnd server;
    SendText("/JOIN #x\r\n");
    SendText("PONG ");
    EXPECT_EQ("/JOIN #x\r\nPONG ", server.ReadAll());
    EXPECT_EQ("", fake.sOutput);
    EXPECT_STREQ("#chat", client.szChannel);
}

TEST(SendText, AnyOtherModeSendsNothing)
{
    for (short nMode : {short(0), short(3), short(-1)}) {
        Enter(kInChat);
        client.nSendMode = nMode;
        ServerEnd server;
        server.Close();
        SendText("/PART\r\n");
        EXPECT_EQ("", fake.sOutput) << "mode " << nMode;
        EXPECT_STREQ("#chat", client.szChannel) << "mode " << nMode;
    }
}

TEST(SendText, AFailedSendIsShownAfterTheLocalChanges)
{
    Enter(kInChat);
    ServerEnd server;
    server.Close();
    SendText("hello\r\n");
    SendText("/PART\r\n");
    EXPECT_EQ("<Ravkel> hello\r\nError: send() = 10054\r\nError: send() = 10054\r\n", fake.sOutput);
    EXPECT_STREQ("", client.szChannel);
}

TEST(SendText, WithoutAnySocketTheSendFailsWithNotASocket)
{
    Enter(kNoChannel);
    client.nSendMode = SEND_RAW;  // as before the first connection
    SendText("hello\r\n");
    EXPECT_EQ("Error: send() = 10038\r\n", fake.sOutput);
}

TEST(SendText, TheLongestLinesStayWithinTheProtocolLimit)
{
    std::string sTarget(255, 't');
    std::string sLongChannel = "#" + std::string(254, 'c');
    struct Long {
        const char* szWhat;
        std::string sTyped;
    } cases[] = {
        {"510 typed characters to a 255-character partner", std::string(510, 'x') + "\r\n"},
        {"512 characters of text to a 255-character partner", std::string(512, 'y') + "\r\n"},
        {"an other command of 2000 characters", "/" + std::string(2000, 'z') + "\r\n"},
        {"an action of 510 characters", "/ME " + std::string(506, 'a') + "\r\n"},
        {"a join of a 255-character channel from a 255-character one", "/JOIN #" + std::string(254, 'n') + "\r\n"},
    };
    for (const Long& c : cases) {
        Enter(kInChat);
        CopyField(client.szPartner, sTarget.c_str());
        CopyField(client.szChannel, sLongChannel.c_str());
        ServerEnd server;
        SendText(c.sTyped.c_str());
        std::string sWire = server.ReadAll();
        size_t nStart = 0;
        while (nStart < sWire.size()) {
            size_t nEnd = sWire.find("\r\n", nStart);
            ASSERT_NE(std::string::npos, nEnd) << c.szWhat;
            EXPECT_LE(nEnd + 2 - nStart, 512u) << c.szWhat;
            nStart = nEnd + 2;
        }
        EXPECT_FALSE(sWire.empty()) << c.szWhat;
    }
}

TEST(SendText, AnOverlongChatLineIsCutTo510CharactersAndCrLf)
{
    Enter(kWithPartner);
    std::string sTarget(255, 't');
    CopyField(client.szPartner, sTarget.c_str());
    ServerEnd server;
    std::string sText(510, 'x');
    SendText((sText + "\r\n").c_str());
    std::string sComposed = "PRIVMSG " + sTarget + " :" + sText;
    EXPECT_EQ(sComposed.substr(0, 510) + "\r\n", server.ReadAll());
    EXPECT_EQ("<Ravkel> " + sText.substr(0, 510 - 10 - 255) + "\r\n", fake.sOutput) << "the echo shows what was sent";
}

// A character of two, three and four bytes at every place around byte 510
// of the line: it goes out whole or not at all, and the echo shows the same.
TEST(SendText, TheCutNeverSplitsAUtf8Character)
{
    const std::string sPrefix = "PRIVMSG #chat :";
    for (std::string sChar : {"\xC3\xA9", "\xE2\x98\x83", "\xF0\x9F\x98\x80"}) {
        for (size_t nBefore = 510 - sPrefix.size() - 4; nBefore <= 510 - sPrefix.size(); ++nBefore) {
            Enter(kInChat);
            ServerEnd server;
            std::string sText = std::string(nBefore, 'x') + sChar + "yyyy";
            SendText((sText + "\r\n").c_str());
            bool bFits = sPrefix.size() + nBefore + sChar.size() <= 510;
            std::string sSent = std::string(nBefore, 'x') + (bFits ? sChar : "");
            if (bFits) sSent += std::string(510 - sPrefix.size() - nBefore - sChar.size(), 'y');
            std::string sWhat = std::to_string(sChar.size()) + "-byte character after " + std::to_string(nBefore);
            EXPECT_EQ(sPrefix + sSent + "\r\n", server.ReadAll()) << sWhat;
            EXPECT_EQ("<Ravkel> " + sSent + "\r\n", fake.sOutput) << sWhat;
        }
    }
}

TEST(SendText, TheEchoOfTheLongestLineReachesThePaneWholeInOneAppend)
{
    Enter(kWithPartner);
    std::string sNick(255, 'r');
    CopyField(client.szNickname, sNick.c_str());
    ServerEnd server;
    std::string sText(510, 'x');
    SendText((sText + "\r\n").c_str());
    // "PRIVMSG bob :" leaves 497 of the 510 bytes for the text.
    EXPECT_EQ(std::vector<std::string>{"<" + sNick + "> " + sText.substr(0, 497) + "\r\n"}, fake.appends);
}

}  // namespace
