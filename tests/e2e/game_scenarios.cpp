// A whole meeting of two players in the game channel on the default server:
// invitation, coin toss, a game to five in a row, the next game, leaving,
// and an invitation declined; both on one server, or each on one of two
// linked servers.
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
        EXPECT_UI(WaitUntil([&] { return WinLineBetween(*c, 2, 3, 3, 3) && WinLineBetween(*c, 5, 3, 6, 3); }),
                  c->sName + "'s board shows the red line through the five");
    EXPECT_UI(WaitUntil([&] { return MarkerAt(white, 6, 3); }), white.sName + "'s board marks the winning stone");
    EXPECT_UI(WaitUntil([&] { return !MarkerAt(black, 5, 5); }), black.sName + "'s own stone took the marker away");

    ClickIntersectionAndWait(black, 7, 7);
    EXPECT_UI(StoneAt(black, 7, 7) == '.' && StoneAt(black, 2, 3) == 'b', "the winner's click changes nothing");

    ClickIntersection(white, 8, 8);  // the loser clears the board: no stone
    for (const Client* c : {&black, &white}) WaitForStone(*c, 2, 3, '.');
    EXPECT_UI(StoneAt(white, 8, 8) == '.' && !WinLineBetween(black, 2, 3, 3, 3), "both boards are empty");
    ClickIntersection(white, 4, 4);  // and begins the next game, black
    WaitForStone(black, 4, 4, 'b');
    EXPECT_UI(MarkerAt(black, 4, 4), "the opponent's stone carries the marker");
}

// Anna meets Bert at nPortOfBert, the same server or one linked to hers.
void MeetAndPlay(const char* szScenario, int nPort, int nPortOfBert)
{
    Client anna("Anna"), bert("Bert");
    Relay relay;
    const Client* pBlack = MeetForAGame(anna, bert, szScenario, nPort, &relay, nPortOfBert);
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

}  // namespace

void GameBetweenTwo(int nPort) { MeetAndPlay("game-between-two", nPort, nPort); }

void GameAcrossLink(int nPort)
{
    if (EXPECT_UI(SecondServerPort() != 0, "the driver was given the port of a second, linked server"))
        MeetAndPlay("game-across-link", nPort, SecondServerPort());
}

// The white player renames after the coin toss: the moves that follow come
// from the new name, and the game goes on to its end and the next game.
void GameWithARename(int nPort)
{
    Client anna("Anna"), bert("Bert");
    const Client* pBlack = MeetForAGame(anna, bert, "game-with-a-rename", nPort);
    if (!pBlack) return;
    const Client& black = *pBlack;
    const Client& white = pBlack == &anna ? bert : anna;
    const std::string sNewName = white.sName + "ina";
    TypeLine(white, "/nick " + sNewName);
    WaitForOutput(black, "<" + white.sName + "> Now known as " + sNewName + "\r\n");
    WaitForOutput(white, "<" + white.sName + "> Now known as " + sNewName + "\r\n");
    if (!WaitForNick(black, sNewName)) return;
    for (const std::string& sEntry : ListBoxItems(black.hNickList))
        EXPECT_UI(sEntry != white.sName, "the old name has left " + black.sName + "'s nick list");
    if (!PlayRowToFive(black, white)) return;
    FinishAndBeginAgain(black, white);
    EXPECT_UI(CloseClient(anna) == 0 && CloseClient(bert) == 0, "both programs end with exit code 0");
}

// Kicked from the game channel, the client leaves it as on its own PART:
// the board goes, the nick list empties and the title is "KELVA" again.
void KickedFromGameChannel(int nPort)
{
    Client anna("Anna");
    Relay relay;
    if (!StartOnRelay(anna, "kicked-from-game-channel", "localhost", relay, nPort)) return;
    TypeLine(anna, "/join #Go-Moku");
    if (!WaitForTitle(anna, "KELVA: #Go-Moku") || !WaitForNick(anna, "Anna")) return;
    EXPECT_UI(IsWindowVisible(BoardOf(anna)), "the board is shown in game mode");

    relay.Inject(":Oper!o@127.0.0.1 KICK #Go-Moku Anna :time out\r\n");
    WaitForOutput(anna, "<KELVA> You were kicked from #Go-Moku by Oper (time out)\r\n");
    WaitForTitle(anna, "KELVA");
    EXPECT_UI(WaitUntil([&] { return !IsWindowVisible(BoardOf(anna)); }), "the board is hidden: chat mode");
    EXPECT_UI(ListBoxItems(anna.hNickList).empty(), "the nick list is empty");
    EXPECT_UI(WindowText(anna.hOutput).find("<?> ") == std::string::npos,
              "the kick is understood:\n" + WindowText(anna.hOutput));
    EXPECT_UI(CloseClient(anna) == 0, "the program ends with exit code 0");
}

// The network between one player and the server goes away in a game: that
// player's client notices the silence, says so and leaves game mode; the
// other is told once the server has dropped the silent one.
void SilentPlayerInGame(int nPort)
{
    Client anna("Anna"), bert("Bert");
    Relay relay;
    const Client* pBlack = MeetForAGame(anna, bert, "silent-player-in-game", nPort, &relay, 0, false, PingSecondsLine(2));
    if (!pBlack) return;
    relay.Stall();
    WaitForOutput(anna, "Error: the server has not answered for 4 seconds\r\n");
    EXPECT_UI(WaitUntil([&] { return !IsWindowVisible(BoardOf(anna)); }), "Anna's board is put away");
    WaitForTitle(anna, "KELVA");
    WaitForOutput(bert, "<KELVA> Your opponent has left.\r\n", 45000);
    EXPECT_UI(CloseClient(anna) == 0 && CloseClient(bert) == 0, "both programs end with exit code 0");
}
