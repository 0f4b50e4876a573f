// A whole meeting of two players in the game channel on the default server:
// invitation, coin toss, a game to five in a row, the next game, leaving,
// and an invitation declined.
#include "scenarios.h"

#include "board_probe.h"
#include "relay.h"
#include "resources/resource.h"
#include "scenario_support.h"

namespace {

void FinishAndBeginAgain(const Client& black, const Client& white)
{
    WaitForOutput(black, "<KELVA> You have won the game. Your opponent may now clear the pieces and start a new "
                         "game. Once your opponent has cleared the board it will be their move.\r\n");
    WaitForOutput(white, "<KELVA> Your opponent has won the game. Click on the board to clear the pieces and start a "
                         "new game. Once you have cleared the board it will be your move.\r\n");
    for (const Client* c : {&black, &white})
        EXPECT_UI(WinLineBetween(*c, 2, 3, 3, 3) && WinLineBetween(*c, 5, 3, 6, 3),
                  c->sName + "'s board shows the red line through the five");
    EXPECT_UI(MarkerAt(white, 6, 3), white.sName + "'s board marks the winning stone");
    EXPECT_UI(!MarkerAt(black, 5, 5), black.sName + "'s own stone took the marker away");

    ClickIntersection(black, 7, 7);
    Sleep(300);
    EXPECT_UI(StoneAt(black, 7, 7) == '.' && StoneAt(black, 2, 3) == 'b', "the winner's click changes nothing");

    ClickIntersection(white, 8, 8);  // the loser clears the board: no stone
    for (const Client* c : {&black, &white}) WaitForStone(*c, 2, 3, '.');
    EXPECT_UI(StoneAt(white, 8, 8) == '.' && !WinLineBetween(black, 2, 3, 3, 3), "both boards are empty");
    ClickIntersection(white, 4, 4);  // and begins the next game, black
    WaitForStone(black, 4, 4, 'b');
    EXPECT_UI(MarkerAt(black, 4, 4), "the opponent's stone carries the marker");
}

}  // namespace

void GameBetweenTwo(int nPort)
{
    Client anna("Anna"), bert("Bert");
    Relay relay;
    const Client* pBlack = MeetForAGame(anna, bert, "game-between-two", nPort, &relay);
    EXPECT_UI(relay.ClientSent().find("JOIN #Go-Moku KELVA\r\n") != std::string::npos,
              "the server sees the channel key:\n" + relay.ClientSent());
    if (!pBlack) return;
    const Client& black = *pBlack;
    const Client& white = pBlack == &anna ? bert : anna;
    if (!PlayRowToFive(black, white)) return;
    FinishAndBeginAgain(black, white);

    ClickListRow(anna.hNickList, FindListRow(anna.hNickList, "Bert"));
    HWND hLeave = WaitForDialog(anna, "But wait...");
    if (!hLeave) return;
    EXPECT_UI(DialogPrompt(hLeave) == "Would you like to leave the game with Bert?", "Anna is asked to leave Bert");
    PressButton(hLeave, IDYES);
    WaitForOutput(bert, "<KELVA> Your opponent has left.\r\n");
    WaitForStone(bert, 4, 4, '.');
    WaitForStone(anna, 4, 4, '.');  // the leaver's own board is cleared too

    ClickListRow(anna.hNickList, FindListRow(anna.hNickList, "Bert"));
    HWND hAsk = WaitForDialog(bert, "Hey...");
    if (!hAsk) return;
    PressButton(hAsk, IDNO);
    WaitForOutput(anna, "<KELVA> Bert has declined to play.\r\n");
    EXPECT_UI(CloseClient(anna) == 0 && CloseClient(bert) == 0, "both programs end with exit code 0");
}
