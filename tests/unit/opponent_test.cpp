// The opponent fed server lines: registration, and games against partners
// whose side is the client's own play logic, several at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "game/play.h"
#include "opponent/line_assembler.h"
#include "opponent/opponent.h"
#include "opponent/options.h"

namespace {

struct Sent {
    std::vector<std::string> lines;
    std::vector<std::string> log;
};

void RecordLine(void* pData, const char* szLine) { static_cast<Sent*>(pData)->lines.push_back(szLine); }
void RecordLog(void* pData, const char* szText) { static_cast<Sent*>(pData)->log.push_back(szText); }

// A person's client in a game with the computer: the same play logic, with
// its messages kept until the test delivers them.
struct Client {
    Game game = {};
    std::vector<std::string> outbox;
};

void ClientSend(Game& game, const char* szText) { static_cast<Client*>(game.pHostData)->outbox.push_back(szText); }
void ClientQuiet(Game&, const char*) {}
void ClientBeep(Game&) {}
unsigned ClientTicks(Game&) { return 99; }
const GameHost kClientHost = {ClientSend, ClientQuiet, ClientBeep, ClientBeep, ClientTicks};

class OpponentGames : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartOpponent(o, {RecordLine, RecordLog, &sent}, "Computer", 11);
        o.nSearchNodes = 2000;
        BeginRegistration(o, nNow);
        Server(":irc.local 001 Computer :Welcome");
        sent.lines.clear();
    }

    void Server(const std::string& sLine) { HandleOpponentLine(o, (sLine + "\r\n").c_str(), nNow); }
    void From(const std::string& sNick, const std::string& sText) { Server(":" + sNick + "!u@h PRIVMSG Computer :" + sText); }

    // What the computer sent to sNick since the last call, game messages only.
    std::vector<std::string> To(const std::string& sNick)
    {
        std::vector<std::string> texts, kept;
        std::string sHead = "PRIVMSG " + sNick + " :";
        for (const std::string& s : sent.lines) {
            if (s.compare(0, sHead.size(), sHead) == 0) texts.push_back(s.substr(sHead.size(), s.size() - sHead.size() - 2));
            else kept.push_back(s);
        }
        sent.lines = kept;
        return texts;
    }

    // sNick's client invites the computer and receives the acceptance.
    Client& Invite(const std::string& sNick)
    {
        Client& c = clients[sNick];
        c.game.pHost = &kClientHost;
        c.game.pHostData = &c;
        ResetGame(c.game);
        From(sNick, "!I");
        Deliver(sNick);
        return c;
    }

    // The computer's messages to sNick reach its client, and the client's
    // answers the computer, until neither has anything more to say.
    void Deliver(const std::string& sNick)
    {
        Client& c = clients[sNick];
        for (bool bMore = true; bMore;) {
            bMore = false;
            for (const std::string& sText : To(sNick)) {
                std::string sLine = ":Computer!u@host PRIVMSG " + sNick + " :" + sText + "\r\n";
                HandleOpponentMessage(c.game, sLine.c_str(), static_cast<short>(sLine.find(" :!") + 3));
            }
            std::vector<std::string> outbox;
            outbox.swap(c.outbox);
            for (const std::string& sText : outbox) {
                From(sNick, sText.substr(0, sText.size() - 2));
                bMore = true;
            }
        }
    }

    // The client's player clicks the first empty intersection.
    void ClientMoves(const std::string& sNick)
    {
        Game& g = clients[sNick].game;
        auto i = std::find(std::begin(g.board.nBoard), std::end(g.board.nBoard), CELL_EMPTY) - std::begin(g.board.nBoard);
        PlayAt(g, static_cast<short>(i / 9 + 1), static_cast<short>(i % 9 + 1));
        Deliver(sNick);
    }

    PartnerGame* Partner(const std::string& sNick)
    {
        for (PartnerGame& p : o.partners)
            if (p.bInUse && sNick == p.szPartner) return &p;
        return nullptr;
    }

    bool SameBoards(const std::string& sNick)
    {
        return std::memcmp(Partner(sNick)->game.board.nBoard, clients[sNick].game.board.nBoard,
                           sizeof clients[sNick].game.board.nBoard) == 0;
    }

    Opponent o;
    Sent sent;
    unsigned nNow = 1000;
    std::map<std::string, Client> clients;
};

TEST_F(OpponentGames, RegistersWithAFallbackNicknameJoinsAndAnswersPing)
{
    StartOpponent(o, {RecordLine, RecordLog, &sent}, "Opponent1", 1);
    BeginRegistration(o, 0);
    for (int i = 2; i <= 10; ++i) Server(":irc.local 433 * x :Nickname already in use");
    Server(":irc.local 001 Opponen10 :Welcome");
    Server("PING :irc.local");
    Server("PING");
    Server(":op!u@h KICK #Go-Moku Opponen10 :out");
    std::vector<std::string> expected = {"NICK Opponent1\r\n", "USER kelva 0 * :KELVA computer opponent\r\n"};
    for (const char* sz : {"2", "3", "4", "5", "6", "7", "8", "9"}) expected.push_back(std::string("NICK Opponent") + sz + "\r\n");
    for (const char* sz : {"NICK Opponen10\r\n", "JOIN #Go-Moku KELVA\r\n", "PONG :irc.local\r\n", "PONG Opponen10\r\n",
                           "JOIN #Go-Moku KELVA\r\n"})
        expected.push_back(sz);
    EXPECT_EQ(expected, sent.lines);
}

TEST_F(OpponentGames, PlaysTwoPartnersAtOnceToTheEndAndBeginsAgain)
{
    Invite("alice");
    Invite("bob");
    ASSERT_EQ(2, CountGames(o));
    for (const char* sz : {"alice", "bob"}) {
        PartnerGame& p = *Partner(sz);
        EXPECT_TRUE(p.game.record.bCoinsSettled) << sz << ": the toss is decided on both sides";
        EXPECT_NE(p.game.record.nMyColor, clients[sz].game.record.nMyColor) << sz;
    }
    for (int nTurn = 0; nTurn < 60 && !(GameFinished(clients["alice"].game.record) &&
                                        GameFinished(clients["bob"].game.record));
         ++nTurn) {
        for (const char* sz : {"alice", "bob"}) {
            if (!GameFinished(clients[sz].game.record)) ClientMoves(sz);
            EXPECT_TRUE(SameBoards(sz)) << sz << " and the computer see the same board";
        }
    }
    for (const char* sz : {"alice", "bob"}) {
        Client& c = clients[sz];
        ASSERT_EQ(MOVE_FIVE, c.game.record.nGameResult) << sz << ": someone has five";
        EXPECT_TRUE(c.game.record.bMyTurn) << sz << ": the computer made the five, so the person clears";
        PlayAt(c.game, 0, 0);  // clears the board, "!R"
        ClientMoves(sz);       // black, first
        EXPECT_TRUE(SameBoards(sz)) << sz;
        EXPECT_EQ(2, std::count_if(std::begin(c.game.board.nBoard), std::end(c.game.board.nBoard),
                                   [](short n) { return n != CELL_EMPTY; }))
            << sz << ": the new game's first stone and the computer's answer";
    }
}

TEST_F(OpponentGames, TossFromEitherSide)
{
    struct TossCase {
        const char* szWhat;
        std::vector<std::string> partnerSays;
        bool bComputerMoves;
    };
    const TossCase cases[] = {
        {"the partner's coin reads as the larger: the partner begins", {"!I", "!C 65535"}, false},
        {"the partner's coin of 0 is the smaller: the computer begins", {"!I", "!C 0"}, true},
        {"the partner's acceptance: the computer's coin goes first", {"!I", "!A", "!C 65535"}, false},
    };
    for (const TossCase& c : cases) {
        SetUp();
        for (const std::string& s : c.partnerSays) From("carol", s);
        std::vector<std::string> said = To("carol");
        ASSERT_GE(said.size(), 2u) << c.szWhat;
        EXPECT_EQ("!A", said[0]) << c.szWhat;
        EXPECT_EQ(0u, said[1].find("!C ")) << c.szWhat;
        EXPECT_EQ(c.bComputerMoves ? 3u : 2u, said.size()) << c.szWhat << ": one coin, and a move only when first";
        EXPECT_TRUE(Partner("carol")->game.record.bCoinsSettled) << c.szWhat;
    }
    // A tie: the computer draws again, and the next coins decide.
    SetUp();
    From("dave", "!I");
    From("dave", "!A");
    std::string sCoin = To("dave").back();
    From("dave", sCoin);
    std::vector<std::string> said = To("dave");
    ASSERT_EQ(1u, said.size());
    EXPECT_EQ(0u, said[0].find("!C ")) << "a new coin after a tie";
    EXPECT_FALSE(Partner("dave")->game.record.bCoinsSettled);
}

TEST_F(OpponentGames, RefusesBadInputWithoutStallingTheOtherGames)
{
    From("alice", "!I");
    From("alice", "!M 5 5");  // before the toss
    From("alice", "!C 65535");
    From("alice", "!C 1");    // after it
    From("alice", "!R");      // nothing finished to clear
    From("alice", "!M 0 3");  // off the board
    From("alice", "!x");
    std::vector<std::string> said = To("alice");
    ASSERT_EQ(2u, said.size()) << "the acceptance and the coin; nothing for the bad input";
    EXPECT_EQ("!A", said[0]);
    Invite("bob");
    From("alice", "!M 5 5");
    said = To("alice");
    ASSERT_EQ(1u, said.size()) << "the first good move is answered";
    EXPECT_EQ(0u, said[0].find("!M "));
    From("alice", "!M 5 5");  // taken
    EXPECT_TRUE(To("alice").empty());
    ClientMoves("bob");
    EXPECT_TRUE(SameBoards("bob")) << "bob's game goes on";
    auto Logged = [&](const std::string& s) { return std::count(sent.log.begin(), sent.log.end(), "[alice] " + s); };
    EXPECT_EQ(4, Logged("GoMokuWndProc() Error: Bad move received from opponent."))
        << "before the toss, the early clear, off the board, taken";
    EXPECT_EQ(1, Logged("GoMokuWndProc() Error: Too many coins sent."));
    EXPECT_EQ(1, Logged("GoMokuWndProc() Error: Game command 'x' not recognized."));
}

TEST_F(OpponentGames, StrangersAndDepartures)
{
    struct StrangerCase {
        const char* szWhat;
        std::string sLine;
        std::vector<std::string> expected;  // to "carol"
    };
    const StrangerCase cases[] = {
        {"a busy reply is never answered", ":carol!u@h PRIVMSG Computer :!P", {}},
        {"nor the other busy reply", ":carol!u@h PRIVMSG Computer :!W", {}},
        {"a leaving stranger is not answered", ":carol!u@h PRIVMSG Computer :!L", {}},
        {"a move of a game that is not on: busy", ":carol!u@h PRIVMSG Computer :!M 1 1", {"!P"}},
        {"a game message to the channel counts too", ":carol!u@h NOTICE #Go-Moku :!R", {"!P"}},
        {"chat is not a game message", ":carol!u@h PRIVMSG #Go-Moku :hello !I", {}},
    };
    for (const StrangerCase& c : cases) {
        Server(c.sLine);
        EXPECT_EQ(c.expected, To("carol")) << c.szWhat;
        EXPECT_EQ(0, CountGames(o)) << c.szWhat;
    }
    Invite("alice");
    Invite("bob");
    Invite("erin");
    Server(":alice!u@h NICK :alicia");
    Server(":bob!u@h QUIT :gone");
    Server(":erin!u@h PART #Go-Moku");
    EXPECT_EQ(1, CountGames(o));
    ASSERT_NE(nullptr, Partner("alicia")) << "a partner's new nickname keeps the game";
    From("alicia", "!L");
    From("bob", "!M 2 2");
    EXPECT_EQ((std::vector<std::string>{"!P"}), To("bob")) << "a move after leaving is told the game is over";
    EXPECT_EQ(0, CountGames(o));
}

TEST_F(OpponentGames, CapacityTimeoutAndDelayedClear)
{
    for (int i = 0; i < MAX_PARTNERS; ++i) From("p" + std::to_string(i), "!I");
    From("late", "!I");
    EXPECT_EQ((std::vector<std::string>{"!P"}), To("late")) << "one too many";
    EXPECT_EQ(MAX_PARTNERS, CountGames(o));

    nNow += PARTNER_TIMEOUT_MS - 1;
    From("p0", "!C 65535");
    TickOpponent(o, nNow);
    EXPECT_EQ(MAX_PARTNERS, CountGames(o));
    nNow += 1;
    sent.lines.clear();
    TickOpponent(o, nNow);
    EXPECT_EQ(1, CountGames(o)) << "only p0 spoke in the last 10 minutes";
    EXPECT_EQ((std::vector<std::string>{"!L"}), To("p1")) << "a silent partner is told the game is over";

    // p0 makes a five: the computer clears the board after the delay, then opens the new game.
    PartnerGame& p = *Partner("p0");
    for (short y = 1; y <= 4; ++y) PlaceStone(p.game.board, 1, y, static_cast<short>(1 - p.game.record.nMyColor), 0);
    p.game.record.bMyTurn = 0;
    From("p0", "!M 1 5");
    To("p0");
    EXPECT_EQ(MOVE_FIVE, p.game.record.nGameResult);
    EXPECT_EQ(CLEAR_DELAY_MS, NextTick(o, nNow, 60000));
    TickOpponent(o, nNow + CLEAR_DELAY_MS - 1);
    EXPECT_TRUE(To("p0").empty()) << "the final board stays a while";
    TickOpponent(o, nNow + CLEAR_DELAY_MS);
    std::vector<std::string> said = To("p0");
    ASSERT_EQ(2u, said.size());
    EXPECT_EQ("!R", said[0]);
    EXPECT_EQ("!M 5 5", said[1]) << "black, and first, in the middle";
}

TEST(OpponentLines, EverySplitOfAStreamGivesTheSameLines)
{
    const std::string sStream = std::string("PING :a\r\n:b PRIVMSG c :!M 1 2\n") + std::string(600, 'x') + "\r\nEND\r\n";
    for (size_t nSplit = 0; nSplit <= sStream.size(); ++nSplit) {
        LineAssembler a;
        std::vector<std::string> lines;
        auto collect = [](void* pData, const char* szLine) { static_cast<std::vector<std::string>*>(pData)->push_back(szLine); };
        FeedLines(a, sStream.data(), static_cast<int>(nSplit), collect, &lines);
        FeedLines(a, sStream.data() + nSplit, static_cast<int>(sStream.size() - nSplit), collect, &lines);
        EXPECT_EQ((std::vector<std::string>{"PING :a\r\n", ":b PRIVMSG c :!M 1 2\n", "END\r\n"}), lines)
            << "split at " << nSplit << ": the line over 512 characters is dropped";
    }
}

TEST(OpponentOptions, CommandLines)
{
    struct OptionCase {
        const char* szWhat;
        std::vector<const char*> args;
        short nResult;
        std::string sOptions;  // server, port, nickname, whether a seed was given, level
    };
    const OptionCase cases[] = {
        {"defaults", {}, OPTIONS_RUN, "localhost 6667 Computer 0 3"},
        {"all given", {"--server", "irc.example.net", "--port", "7000", "--nick", "Gomoku_9", "--seed", "4294967295",
                       "--level", "2"},
         OPTIONS_RUN, "irc.example.net 7000 Gomoku_9 1 2"},
        {"the novice", {"--nick", "Novice", "--level", "1"}, OPTIONS_RUN, "localhost 6667 Novice 0 1"},
        {"help", {"--port", "1", "--help"}, OPTIONS_HELP, "localhost 1 Computer 0 3"},
        {"level 0", {"--level", "0"}, OPTIONS_ERROR, ""},
        {"level 4", {"--level", "4"}, OPTIONS_ERROR, ""},
        {"a level in words", {"--level", "full"}, OPTIONS_ERROR, ""},
        {"a nickname of ten", {"--nick", "Computer10"}, OPTIONS_ERROR, ""},
        {"a nickname with a blank", {"--nick", "a b"}, OPTIONS_ERROR, ""},
        {"port 0", {"--port", "0"}, OPTIONS_ERROR, ""},
        {"port too large", {"--port", "65536"}, OPTIONS_ERROR, ""},
        {"seed too large", {"--seed", "4294967296"}, OPTIONS_ERROR, ""},
        {"value missing", {"--server"}, OPTIONS_ERROR, ""},
        {"unknown option", {"--colour", "black"}, OPTIONS_ERROR, ""},
    };
    for (const OptionCase& c : cases) {
        std::vector<const char*> argv = {"kelva-opponent"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        OpponentOptions o;
        TextField szError;
        short nResult = ParseOpponentOptions(static_cast<int>(argv.size()), argv.data(), o, szError);
        ASSERT_EQ(c.nResult, nResult) << c.szWhat;
        EXPECT_EQ(nResult == OPTIONS_ERROR, szError[0] != '\0') << c.szWhat << ": an error says why";
        std::string sOptions = std::string(o.szServer) + " " + std::to_string(o.nPort) + " " + o.szNick + " " +
                               std::to_string(o.bSeedGiven) + " " + std::to_string(o.nLevel);
        EXPECT_EQ(c.sOptions, nResult == OPTIONS_ERROR ? "" : sOptions) << c.szWhat;
    }
}

}  // namespace
