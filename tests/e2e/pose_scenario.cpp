// Not a test: two clients chatting in #lobby, held still for a screenshot or
// a measurement. When the scene is set it writes "ready.txt" (the main
// window's place: left top width height) in its work directory, and holds
// until "done.txt" appears there (at most two minutes).
#include "scenarios.h"

#include <cstdio>

#include "board_probe.h"
#include "scenario_support.h"

void PoseForPicture(int nPort)
{
    Client anna("Anna"), bert("Bert");
    if (!StartInChannel(bert, "pose", nPort, "lobby") || !StartInChannel(anna, "pose", nPort, "lobby")) return;
    WaitForNick(anna, "Bert");
    const char* pLines[][2] = {
        {"Bert", "Hi Anna! Fancy a game of Go-Moku later?"},
        {"Anna", "Sure, after lunch. Meet you in #Go-Moku."},
        {"Bert", "Great, I'll be there."},
    };
    for (auto& line : pLines) {
        Client& speaker = std::string(line[0]) == "Anna" ? anna : bert;
        TypeLine(speaker, line[1]);
        WaitForOutput(anna, std::string("<") + line[0] + "> " + line[1]);
    }
    ShowWindow(bert.hMain, SW_MINIMIZE);
    SetForegroundWindow(anna.hMain);
    Sleep(1000);

    RECT rc;
    GetWindowRect(anna.hMain, &rc);
    char szPlace[64];
    std::snprintf(szPlace, sizeof szPlace, "%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top);
    std::string sDir = anna.sDir.substr(0, anna.sDir.find_last_of('\\'));
    WriteTextFile(sDir + "\\ready.txt", szPlace);
    std::string sDone;
    WaitUntil([&] { return ReadTextFile(sDir + "\\done.txt", sDone); }, 120000);
    CloseClient(anna);
    CloseClient(bert);
}

namespace {

// The screen position of a client position of the board, relative to the
// main window's top left corner: where it lies in a picture of the window.
POINT InPicture(const Client& c, int px, int py)
{
    POINT pt = {px, py};
    ClientToScreen(BoardOf(c), &pt);
    RECT rc;
    GetWindowRect(c.hMain, &rc);
    return {pt.x - rc.left, pt.y - rc.top};
}

std::string Check(const Client& c, int px, int py, unsigned nColor, const char* szWhat)
{
    POINT pt = InPicture(c, px, py);
    char szLine[96];
    std::snprintf(szLine, sizeof szLine, "%ld %ld %06X %s\n", pt.x, pt.y, nColor, szWhat);
    return szLine;
}

}  // namespace

// Not a test: a finished game on the board of the player who lost it (both
// colours, the marker on the winning stone, the red line), held still for a
// picture like the chat above. Beside "ready.txt" it writes "checks.txt":
// pixels of the picture, "x y RRGGBB what", that the picture must show.
void PoseForGamePicture(int nPort)
{
    Client anna("Anna"), bert("Bert");
    if (!StartConnected(anna, "pose-game", "localhost", nPort) || !StartConnected(bert, "pose-game", "localhost", nPort))
        return;
    MoveWindow(anna.hMain, 0, 0, 512, 420, TRUE);
    MoveWindow(bert.hMain, 512, 0, 512, 420, TRUE);
    if (!JoinGameChannel(anna) || !JoinGameChannel(bert) || !InviteAndAccept(anna, bert)) return;
    const Client* pBlack = TossWinner(anna, bert);
    if (!pBlack) return;
    const Client& white = pBlack == &anna ? bert : anna;
    if (!PlayRowToFive(*pBlack, white)) return;
    WaitForOutput(white, "<KELVA> Your opponent has won the game.");
    TypeLine(white, "Well played!");
    WaitForOutput(*pBlack, "Well played!");

    ShowWindow(pBlack->hMain, SW_MINIMIZE);
    MoveWindow(white.hMain, 192, 144, 640, 480, TRUE);
    SetForegroundWindow(white.hMain);
    Sleep(1000);

    int s = BoardSpacing(white);
    int d = (s / 3 + s / 6) / 2 + 1;
    std::string sChecks = Check(white, 2 * s + d * 7 / 10, 3 * s + d * 7 / 10, PIXEL_BLACK, "black stone (2, 3)") +
                          Check(white, 3 * s + d, 5 * s, PIXEL_WHITE, "white stone (3, 5)") +
                          Check(white, 6 * s - s / 12, 3 * s - s / 12, PIXEL_YELLOW, "marker (6, 3)") +
                          Check(white, 5 * s / 2, 3 * s, PIXEL_RED, "winning line") +
                          Check(white, 8 * s + s / 2, 8 * s + s / 2, PIXEL_WHITE, "empty board") +
                          Check(white, 8 * s, 8 * s, PIXEL_BLACK, "grid (8, 8)");
    RECT rc;
    GetWindowRect(white.hMain, &rc);
    char szPlace[64];
    std::snprintf(szPlace, sizeof szPlace, "%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top);
    std::string sDir = white.sDir.substr(0, white.sDir.find_last_of('\\'));
    WriteTextFile(sDir + "\\checks.txt", sChecks);
    WriteTextFile(sDir + "\\ready.txt", szPlace);
    std::string sDone;
    WaitUntil([&] { return ReadTextFile(sDir + "\\done.txt", sDone); }, 120000);
    CloseClient(anna);
    CloseClient(bert);
}
