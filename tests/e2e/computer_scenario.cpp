// The computer players in the game channel: clients started as the run
// command starts one (straight into "#Go-Moku", with "Computer" at full
// strength and "Novice" at the beginners' level in the nick list), two games
// against the computer at the same time played to their end by clicking the
// board, and the next game begun by clearing it.
#include "scenarios.h"

#include <algorithm>
#include <string>

#include "board_probe.h"
#include "scenario_support.h"

namespace {

const char szComputerWon[] = "<KELVA> Your opponent has won the game.";

// kelva-opponent.exe, built with the driver, as the run command starts it
// under its name and level; the process is ended with the Client that holds
// it, as a client's is.
bool StartComputer(Client& computer, int nPort, int nLevel)
{
    return StartProcess("\"" + DriverDir() + "\\opponent\\kelva-opponent.exe\" --server localhost --port " +
                            std::to_string(nPort) + " --seed 7 --nick " + computer.sName + " --level " +
                            std::to_string(nLevel),
                        "", computer.pi);
}

// As the run command starts it: a connection file naming the default server
// and the game channel, so that the first window after the Welcome dialog is
// the board, with both computer players in the nick list.
bool StartIntoGameChannel(Client& c, int nPort)
{
    return StartInChannel(c, "game-with-computer", nPort, "#Go-Moku", "localhost") &&
           EXPECT_UI(IsWindowVisible(BoardOf(c)), c.sName + "'s window shows the board") && WaitForNick(c, "Computer") &&
           WaitForNick(c, "Novice");
}

// The board as shown, column by column: 'b', 'w' or '.' for each intersection.
std::string BoardShown(const Client& c)
{
    std::string s;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) s += StoneAt(c, x, y);
    return s;
}

size_t StonesIn(const std::string& sBoard) { return 81 - static_cast<size_t>(std::count(sBoard.begin(), sBoard.end(), '.')); }
size_t StonesShown(const Client& c) { return StonesIn(BoardShown(c)); }

bool GameOverShown(const Client& c)
{
    std::string s = WindowText(c.hOutput);
    return s.find(szComputerWon) != std::string::npos || s.find("<KELVA> You have won the game.") != std::string::npos ||
           s.find("<KELVA> The game has reached a stalemate.") != std::string::npos;
}

// Clicks "Computer" and waits for the toss; false when it does not happen.
bool InviteComputer(const Client& c)
{
    ClickListRow(c.hNickList, FindListRow(c.hNickList, "Computer"));
    if (!WaitForOutput(c, "<KELVA> Computer has accepted.\r\n")) return false;
    bool bTossed = WaitUntil([&] { return WindowText(c.hOutput).find("coin toss") != std::string::npos; });
    if (!EXPECT_UI(bTossed, c.sName + " sees the outcome of the coin toss")) return false;
    // When the computer won the toss, its first stone comes at once.
    if (WindowText(c.hOutput).find("Your opponent has won the coin toss") != std::string::npos)
        return EXPECT_UI(WaitUntil([&] { return StonesShown(c) == 1; }),
                         c.sName + " sees the computer's first stone: " + BoardShown(c) + "\n" + WindowText(c.hOutput));
    return true;
}

// The person clicks the first empty intersection and waits for the answer
// (or for the end of the game). False when nothing comes.
bool PlayOneMove(const Client& c)
{
    std::string sBoard = BoardShown(c);
    size_t i = sBoard.find('.');
    size_t nBefore = StonesIn(sBoard);
    ClickIntersection(c, static_cast<int>(i / 9 + 1), static_cast<int>(i % 9 + 1));
    return EXPECT_UI(WaitUntil([&] { return StonesShown(c) >= nBefore + 2 || GameOverShown(c); }),
                     c.sName + "'s move is answered:\n" + WindowText(c.hOutput));
}

}  // namespace

void GameWithComputer(int nPort)
{
    Client computer("Computer"), novice("Novice"), anna("Anna"), bert("Bert");
    if (!StartComputer(computer, nPort, 3) || !StartComputer(novice, nPort, 1) || !StartIntoGameChannel(anna, nPort) ||
        !StartIntoGameChannel(bert, nPort))
        return;
    PlaceSideBySide(anna, bert);
    if (!InviteComputer(anna) || !InviteComputer(bert)) return;

    // The two games go on at the same time, a move in each by turns.
    for (int nRound = 0; nRound < 41 && !(GameOverShown(anna) && GameOverShown(bert)); ++nRound) {
        for (const Client* c : {&anna, &bert})
            if (!GameOverShown(*c) && !PlayOneMove(*c)) return;
    }
    for (const Client* c : {&anna, &bert})
        EXPECT_UI(WindowText(c->hOutput).find(szComputerWon) != std::string::npos,
                  c->sName + "'s game ends with the computer's five:\n" + WindowText(c->hOutput));
    size_t nBertStones = StonesShown(bert);

    ClickIntersection(anna, 1, 1);  // the loser clears the board and begins the next game, black
    EXPECT_UI(WaitUntil([&] { return StonesShown(anna) == 0; }), "Anna's click clears her board: " + BoardShown(anna));
    ClickIntersection(anna, 5, 5);
    EXPECT_UI(WaitForStone(anna, 5, 5, 'b') && WaitUntil([&] { return StonesShown(anna) == 2; }),
              "Anna's first stone of the next game is black and is answered");
    EXPECT_UI(StonesShown(bert) == nBertStones, "Bert's finished game is untouched by Anna's next one");
    EXPECT_UI(CloseClient(anna) == 0 && CloseClient(bert) == 0, "both programs end with exit code 0");
}
