// The play logic in the client's game window: the reset, the coin toss,
// the opponent's messages and the local player's clicks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "game/client_game.h"
#include "irc/client_state.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"
#include "tests/fake/test_sockets.h"

namespace {

const char szBadMove[] = "GoMokuWndProc() Error: Bad move received from opponent.\r\n";
const char szTheyWon[] = "<KELVA> Your opponent has won the game. Click on the board to clear the pieces and start a new "
                         "game. Once you have cleared the board it will be your move.\r\n";
const char szTheirStalemate[] = "<KELVA> The game has reached a stalemate. Click on the board to clear the pieces and "
                                "start a new game. Once you have cleared the board it will be your move.\r\n";
const char szIWon[] = "<KELVA> You have won the game. Your opponent may now clear the pieces and start a new game. "
                      "Once your opponent has cleared the board it will be their move.\r\n";

// A phase of the game window, as its record shows it.
struct Phase {
    const char* szName;
    int bMyTurn;
    int bCoinSent;
    int bCoinsSettled;
    short nGameResult;
    short nMyColor;
};
const Phase kReset = {"reset", 0, 0, 0, RESULT_CLEAR, STONE_BLACK};
const Phase kToss = {"coin toss", 0, 1, 0, RESULT_CLEAR, STONE_BLACK};
const Phase kMyTurn = {"my turn", 1, 1, 1, MOVE_PLAYON, STONE_BLACK};
const Phase kTheirTurn = {"their turn", 0, 1, 1, MOVE_PLAYON, STONE_WHITE};
const Phase kIWonPhase = {"after my win", 0, 1, 1, MOVE_FIVE, STONE_BLACK};
const Phase kTheyWonPhase = {"after their win", 1, 1, 1, MOVE_FIVE, STONE_WHITE};
const Phase kMyStalemate = {"after my stalemate", 0, 1, 1, MOVE_STALEMATE, STONE_WHITE};
const Phase kTheirBadMove = {"after a bad move received", 0, 1, 1, MOVE_REFUSED, STONE_WHITE};

class GamePlay : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetClientAndFake();
        CopyField(client.szNickname, "Ravkel");
        CopyField(client.szPartner, "bob");
        client.nGameState = GAME_PLAYING;
        client.nSendMode = SEND_COMPOSE;
        server.reset(new ServerEnd);
        OnBoardSize(300, 250);
    }

    // The board after a reset, with a black stone at (5, 5) and a white one
    // at (6, 6), and the record of the phase.
    void Enter(const Phase& phase)
    {
        OnGameReset();
        BoardCell(gameClient.board, 5, 5) = STONE_BLACK;
        BoardCell(gameClient.board, 6, 6) = STONE_WHITE;
        GameRecord& r = gameClient.record;
        r.bMyTurn = phase.bMyTurn;
        r.bCoinSent = phase.bCoinSent;
        r.bCoinsSettled = phase.bCoinsSettled;
        r.nGameResult = phase.nGameResult;
        r.nMyColor = phase.nMyColor;
        fake = FakeSeam();
        server->ReadAll();
    }

    void Receive(const char* szText)
    {
        std::string sLine = ":bob!b@h PRIVMSG Ravkel :" + std::string(szText) + "\r\n";
        OnGameCommand(static_cast<short>(sLine.find(" :!") + 3), sLine.c_str());
    }

    std::string Sent() { return server->ReadAll(); }

    std::unique_ptr<ServerEnd> server;
};

std::string Stones()
{
    std::string s;
    for (short x = 1; x <= 9; ++x)
        for (short y = 1; y <= 9; ++y)
            if (BoardCell(gameClient.board, x, y) != CELL_EMPTY)
                s += std::to_string(x) + std::to_string(y) + (BoardCell(gameClient.board, x, y) ? "w " : "b ");
    return s;
}

// Mended: the second reset also takes the turn away, or a winner of a toss
// who is left before the first stone would keep it into the next meeting
// and could play before that toss.
TEST_F(GamePlay, TheFirstResetClearsSeedsAndRepaintsTheNextOnlyRestartsTheToss)
{
    fake.nTicks = 4242;
    BoardCell(gameClient.board, 1, 1) = STONE_WHITE;
    gameClient.board.ptLastMove = {1, 1};
    OnGameReset();
    EXPECT_EQ("", Stones());
    EXPECT_EQ(RESULT_CLEAR, gameClient.record.nGameResult);
    EXPECT_EQ(0, gameClient.board.ptLastMove.x);
    EXPECT_EQ(1, fake.nInvalidations);
    std::srand(4242);
    int nSeeded = std::rand();
    std::srand(4242);

    gameClient.record.bCoinSent = gameClient.record.bCoinsSettled = gameClient.record.bMyTurn = 1;
    OnGameReset();
    EXPECT_EQ(1, fake.nInvalidations) << "a clear board is not painted again";
    EXPECT_EQ(0, gameClient.record.bCoinSent);
    EXPECT_EQ(0, gameClient.record.bCoinsSettled);
    EXPECT_EQ(0, gameClient.record.bMyTurn) << "mend: the toss winner's turn goes too";
    EXPECT_EQ(nSeeded, std::rand()) << "and the generator is not seeded again";
}

// Either side's coin may come first; "!A" makes the inviter send its own.
TEST_F(GamePlay, TheCoinTossDecidesColourAndTurn)
{
    const char szWon[] = "<KELVA> You have won the coin toss and may make the first move.\r\n";
    const char szLost[] = "<KELVA> Your opponent has won the coin toss and will make the first move.\r\n";
    struct Case {
        const char* szWhat;
        Phase phase;
        unsigned nMyCoin;  // before the message, when the own coin is out
        const char* szText;
        bool bSendsCoin;
        const char* szShown;
        int bSettled, bMyTurn;
        short nMyColor;
    } kCases[] = {
        {"the accepted inviter sends its coin", kReset, 0, "!A", true, "", 0, 0, STONE_BLACK},
        {"the invitee answers the first coin with its own, then compares", kReset, 0, "!C 32768", true, szLost, 1,
         0, STONE_WHITE},
        {"a smaller coin loses to the own: black and the turn", kToss, 1000, "!C 999", false, szWon, 1, 1,
         STONE_BLACK},
        {"a greater coin wins: white and waiting", kToss, 1000, "!C 1001", false, szLost, 1, 0, STONE_WHITE},
        {"32768 reads negative and beats every own coin", kToss, 32767, "!C 32768", false, szLost, 1, 0, STONE_WHITE},
        {"65535 reads as -1", kToss, 0, "!C 65535", false, szLost, 1, 0, STONE_WHITE},
        {"larger numbers wrap modulo 65536 first", kToss, 1000, "!C 66535", false, szWon, 1, 1, STONE_BLACK},
        {"an unreadable coin reads 0", kToss, 5, "!C x", false, szWon, 1, 1, STONE_BLACK},
        {"a tie draws again silently; the next pair decides", kToss, 77, "!C 77", true, "", 0, 0, STONE_BLACK},
        {"a coin after the toss", kMyTurn, 0, "!C 5", false, "GoMokuWndProc() Error: Too many coins sent.\r\n", 1, 1,
         STONE_BLACK},
    };
    for (const Case& c : kCases) {
        Enter(c.phase);
        gameClient.record.nMyCoin = c.nMyCoin;
        Receive(c.szText);
        const GameRecord& r = gameClient.record;
        std::string sCoin = c.bSendsCoin ? "PRIVMSG bob :!C " + std::to_string(r.nMyCoin) + "\r\n" : "";
        EXPECT_EQ(sCoin, Sent()) << c.szWhat;
        EXPECT_LE(r.nMyCoin, 32767u) << c.szWhat;
        EXPECT_EQ(1, r.bCoinSent) << c.szWhat << ": the own coin is out, and is not sent again";
        EXPECT_EQ(c.szShown, fake.sOutput) << c.szWhat;
        EXPECT_EQ(c.bSettled, r.bCoinsSettled) << c.szWhat;
        EXPECT_EQ(c.bMyTurn, r.bMyTurn) << c.szWhat;
        EXPECT_EQ(c.nMyColor, r.nMyColor) << c.szWhat;
    }
}

// The opponent's messages. The two mends: a move out of turn, before the
// toss or on a finished game is refused without changing anything, and so
// is a board clear unless the local player made the last move of a
// finished game.
TEST_F(GamePlay, OpponentMessagesAreJudgedByPhase)
{
    struct Case {
        const char* szWhat;
        Phase phase;
        const char* szText;
        const char* szShown;
        const char* szStones;  // after
        short nResult;
        int bMyTurn;
        int nBeeps;
    } kCases[] = {
        {"a move in the opponent's turn", kTheirTurn, "!M 3 4", "", "34b 55b 66w ", MOVE_PLAYON, 1, 1},
        {"extra blanks between the numbers", kTheirTurn, "!M  3   4", "", "34b 55b 66w ", MOVE_PLAYON, 1, 1},
        {"mend: a move on a stalemate", kMyStalemate, "!M 1 1", szBadMove, "55b 66w ", MOVE_STALEMATE, 0, 0},
        {"mend: a move in the local player's turn", kMyTurn, "!M 3 4", szBadMove, "55b 66w ", MOVE_PLAYON, 1, 0},
        {"mend: a move before the toss", kToss, "!M 3 4", szBadMove, "55b 66w ", RESULT_CLEAR, 0, 0},
        {"mend: a move after the reset", kReset, "!M 3 4", szBadMove, "55b 66w ", RESULT_CLEAR, 0, 0},
        {"mend: a move on a game the local player won", kIWonPhase, "!M 3 4", szBadMove, "55b 66w ", MOVE_FIVE, 0, 0},
        {"mend: a move on a game the opponent won", kTheyWonPhase, "!M 3 4", szBadMove, "55b 66w ", MOVE_FIVE, 1, 0},
        {"a taken intersection", kTheirTurn, "!M 6 6", szBadMove, "55b 66w ", MOVE_REFUSED, 0, 0},
        {"unreadable numbers read 0", kTheirTurn, "!M x y", szBadMove, "55b 66w ", MOVE_REFUSED, 0, 0},
        {"after a bad move the opponent's next is still played", kTheirBadMove, "!M 1 2", "", "12b 55b 66w ",
         MOVE_PLAYON, 1, 1},
        {"a lower-case letter is not a move", kTheirTurn, "!m 3 4",
         "GoMokuWndProc() Error: Game command 'm' not recognized.\r\n", "55b 66w ", MOVE_PLAYON, 0, 0},
        {"an invitation during a game is not a game command", kTheirTurn, "!I",
         "GoMokuWndProc() Error: Game command 'I' not recognized.\r\n", "55b 66w ", MOVE_PLAYON, 0, 0},
        {"a clear after the local player's win", kIWonPhase, "!R", "", "", MOVE_PLAYON, 0, 0},
        {"a clear after the local player's stalemate", kMyStalemate, "!R", "", "", MOVE_PLAYON, 0, 0},
        {"mend: a clear after the opponent's win", kTheyWonPhase, "!R", szBadMove, "55b 66w ", MOVE_FIVE, 1, 0},
        {"mend: a clear during a game", kTheirTurn, "!R", szBadMove, "55b 66w ", MOVE_PLAYON, 0, 0},
        {"mend: a clear before the toss", kToss, "!R", szBadMove, "55b 66w ", RESULT_CLEAR, 0, 0},
    };
    for (const Case& c : kCases) {
        Enter(c.phase);
        gameClient.board.ptLastMove = {6, 6};
        Receive(c.szText);
        std::string sWhat = std::string(c.szWhat) + " (" + c.phase.szName + ")";
        EXPECT_EQ(c.szShown, fake.sOutput) << sWhat;
        EXPECT_EQ(c.szStones, Stones()) << sWhat;
        EXPECT_EQ(c.nResult, gameClient.record.nGameResult) << sWhat;
        EXPECT_EQ(c.bMyTurn, gameClient.record.bMyTurn) << sWhat;
        EXPECT_EQ(c.nBeeps, fake.nBeeps) << sWhat;
        EXPECT_EQ("", Sent()) << sWhat;
    }
}

TEST_F(GamePlay, AClearReceivedStartsTheNextGameWithTheLocalPlayerWhite)
{
    Enter(kIWonPhase);
    gameClient.board.ptLastMove = {6, 6};
    Receive("!R");
    EXPECT_EQ(STONE_WHITE, gameClient.record.nMyColor);
    EXPECT_EQ(0, gameClient.board.ptLastMove.x);
    EXPECT_EQ(1, fake.nInvalidations);
}

TEST_F(GamePlay, TheOpponentsMovesEndGames)
{
    Enter(kTheirTurn);
    for (short y = 1; y <= 4; ++y) BoardCell(gameClient.board, 1, y) = STONE_BLACK;
    Receive("!M 1 5");
    EXPECT_EQ(szTheyWon, fake.sOutput);
    EXPECT_EQ(3u, fake.appends.size()) << "three pieces that make one line";
    EXPECT_EQ(1, gameClient.record.bMyTurn) << "the loser clears the board";
    std::vector<std::string> drawn = {"black 1 5", "marker 1 5", "win line 1 1 1 5"};
    EXPECT_EQ(drawn, fake.drawings);
    EXPECT_EQ(0, fake.nBeeps);

    Enter(kTheirTurn);
    for (short x = 1; x <= 9; ++x)
        for (short y = 1; y <= 9; ++y)
            if (x != 9 || y != 9) BoardCell(gameClient.board, x, y) = (x + 2 * y) % 4 < 2 ? STONE_BLACK : STONE_WHITE;
    Receive("!M 9 9");
    EXPECT_EQ(szTheirStalemate, fake.sOutput);
}

TEST_F(GamePlay, ClicksInEveryPhase)
{
    struct Case {
        const char* szWhat;
        Phase phase;
        unsigned short px, py;
        const char* szSent;
        const char* szShown;
        const char* szStones;
        short nResult;
        int bMyTurn;
        short nMyColor;
        int nBeeps;
    } kCases[] = {
        {"after a reset", kReset, 75, 75, "", "", "55b 66w ", RESULT_CLEAR, 0, STONE_BLACK, 1},
        {"during the toss", kToss, 75, 75, "", "", "55b 66w ", RESULT_CLEAR, 0, STONE_BLACK, 1},
        {"in the opponent's turn", kTheirTurn, 75, 75, "", "", "55b 66w ", MOVE_PLAYON, 0, STONE_WHITE, 1},
        {"a free intersection", kMyTurn, 75, 100, "PRIVMSG bob :!M 3 4\r\n", "", "34b 55b 66w ", MOVE_PLAYON, 0,
         STONE_BLACK, 0},
        {"on a stone", kMyTurn, 150, 150, "", "", "55b 66w ", MOVE_REFUSED, 1, STONE_BLACK, 1},
        {"after the opponent's win: the board is cleared", kTheyWonPhase, 0, 0, "PRIVMSG bob :!R\r\n", "", "",
         MOVE_PLAYON, 1, STONE_BLACK, 0},
        {"after a stalemate of the opponent's", {"their stalemate", 1, 1, 1, MOVE_STALEMATE, STONE_WHITE}, 75, 75,
         "PRIVMSG bob :!R\r\n", "", "", MOVE_PLAYON, 1, STONE_BLACK, 0},
        {"after the own win", kIWonPhase, 75, 75, "", "", "55b 66w ", MOVE_FIVE, 0, STONE_BLACK, 1},
        {"after a bad move received", kTheirBadMove, 75, 75, "", "", "55b 66w ", MOVE_REFUSED, 0, STONE_WHITE, 1},
    };
    for (const Case& c : kCases) {
        Enter(c.phase);
        OnBoardClick(c.px, c.py);
        std::string sWhat = std::string(c.szWhat) + " (" + c.phase.szName + ")";
        EXPECT_EQ(c.szSent, Sent()) << sWhat;
        EXPECT_EQ(c.szShown, fake.sOutput) << sWhat;
        EXPECT_EQ(c.szStones, Stones()) << sWhat;
        EXPECT_EQ(c.nResult, gameClient.record.nGameResult) << sWhat;
        EXPECT_EQ(c.bMyTurn, gameClient.record.bMyTurn) << sWhat;
        EXPECT_EQ(c.nMyColor, gameClient.record.nMyColor) << sWhat;
        EXPECT_EQ(c.nBeeps, fake.nBeeps) << sWhat;
    }
}

TEST_F(GamePlay, TheOwnWinningClickAndTheMarkerItTakesAway)
{
    Enter(kMyTurn);
    for (short x = 1; x <= 4; ++x) BoardCell(gameClient.board, x, 2) = STONE_BLACK;
    gameClient.board.ptLastMove = {6, 6};
    OnBoardClick(125, 50);
    EXPECT_EQ("PRIVMSG bob :!M 5 2\r\n", Sent());
    EXPECT_EQ(szIWon, fake.sOutput);
    EXPECT_EQ(MOVE_FIVE, gameClient.record.nGameResult);
    std::vector<std::string> drawn = {"erase marker 6 6", "black 5 2", "win line 1 2 5 2"};
    EXPECT_EQ(drawn, fake.drawings);
}

}  // namespace
