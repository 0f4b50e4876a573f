// Not tests: scenes held still for a screenshot or a measurement. When the
// scene is set it writes "ready.txt" (the main window's place: left top
// width height) in its work directory, and holds until "done.txt" appears
// there (at most two minutes).
#include "scenarios.h"

#include <cstdio>
#include <vector>

#include "board_probe.h"
#include "scenario_support.h"

namespace {

// A pixel that a picture of the client's main window must show, at a
// client position of the board.
struct PixelCheck {
    POINT pt;
    unsigned nColor;
    const char* szWhat;
};

// The check as a line "x y RRGGBB what", from the window's top left corner.
std::string CheckLine(const Client& c, const PixelCheck& check)
{
    POINT pt = check.pt;
    ClientToScreen(BoardOf(c), &pt);
    RECT rc;
    GetWindowRect(c.hMain, &rc);
    char szLine[96];
    std::snprintf(szLine, sizeof szLine, "%ld %ld %06X %s\n", pt.x - rc.left, pt.y - rc.top, check.nColor, check.szWhat);
    return szLine;
}

// Sets the one shown window in front of the other, minimised, and holds
// once it is drawn there, the pixels of the checks included; the checks go
// to "checks.txt" beside "ready.txt".
void HoldForPicture(Client& shown, Client& other, const std::vector<PixelCheck>& checks = {})
{
    ShowWindow(other.hMain, SW_MINIMIZE);
    SetForegroundWindow(shown.hMain);
    WaitUntil([&] { return IsIconic(other.hMain) && GetForegroundWindow() == shown.hMain; });
    RedrawWindow(shown.hMain, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::string sChecks;
    for (const PixelCheck& check : checks) {
        WaitUntil([&] { return PixelOf(shown, check.pt) == check.nColor; });
        sChecks += CheckLine(shown, check);
    }

    RECT rc;
    GetWindowRect(shown.hMain, &rc);
    char szPlace[64];
    std::snprintf(szPlace, sizeof szPlace, "%ld %ld %ld %ld\n", rc.left, rc.top, rc.right - rc.left,
                  rc.bottom - rc.top);
    std::string sDir = shown.sDir.substr(0, shown.sDir.find_last_of('\\'));
    if (!sChecks.empty()) WriteTextFile(sDir + "\\checks.txt", sChecks);
    WriteTextFile(sDir + "\\ready.txt", szPlace);
    std::string sDone;
    WaitUntil([&] { return ReadTextFile(sDir + "\\done.txt", sDone); }, 120000);
    CloseClient(shown);
    CloseClient(other);
}

}  // namespace

// Two clients chatting in #lobby, in more than one script.
void PoseForPicture(int nPort)
{
    Client anna("Anna"), bert("Bert");
    if (!StartInChannel(bert, "pose", nPort, "lobby") || !StartInChannel(anna, "pose", nPort, "lobby")) return;
    WaitForNick(anna, "Bert");
    const char* pLines[][2] = {
        {"Bert", "Hi Anna! Fancy a game of Go-Moku later?"},
        {"Anna", "Sure, after lunch. Meet you in #Go-Moku."},
        {"Bert", "Great! Καλή όρεξη, приятного аппетита!"},
    };
    for (auto& line : pLines) {
        Client& speaker = std::string(line[0]) == "Anna" ? anna : bert;
        TypeLine(speaker, line[1]);
        WaitForOutput(anna, std::string("<") + line[0] + "> " + line[1]);
    }
    HoldForPicture(anna, bert);
}

// A finished game on the board of the player who lost it: both colours, the
// marker on the winning stone, the red line. "checks.txt" lists pixels that
// the picture must show.
void PoseForGamePicture(int nPort)
{
    Client anna("Anna"), bert("Bert");
    const Client* pBlack = MeetForAGame(anna, bert, "pose-game", nPort);
    if (!pBlack) return;
    Client& black = pBlack == &anna ? anna : bert;
    Client& white = pBlack == &anna ? bert : anna;
    if (!PlayRowToFive(black, white)) return;
    WaitForOutput(white, "<KELVA> Your opponent has won the game.");
    TypeLine(white, "Well played!");
    WaitForOutput(black, "Well played!");
    MoveWindow(white.hMain, 192, 144, 640, 480, TRUE);  // painted anew at the size of the chat picture

    HoldForPicture(white, black,
                   {{SpotOf(white, 2, 3, 'b'), PIXEL_BLACK, "black stone (2, 3)"},
                    {SpotOf(white, 3, 5, 'w'), PIXEL_WHITE, "white stone (3, 5)"},
                    {SpotOf(white, 6, 3, 'm'), PIXEL_YELLOW, "marker (6, 3)"},
                    {MidwaySpot(white, 2, 3, 3, 3), PIXEL_RED, "winning line"},
                    {MidwaySpot(white, 8, 8, 9, 9), PIXEL_WHITE, "empty board"},
                    {MidwaySpot(white, 7, 8, 9, 8), PIXEL_BLACK, "grid (8, 8)"}});
}

// One client of the flood benchmark, connected to its server on nPort, which
// registers it and puts it into a channel; "ready.txt" is written once the
// Welcome dialog is closed, and the client is held until "done.txt" appears
// (at most an hour). KELVA_WINEDEBUG, when set, becomes the client's
// WINEDEBUG, for tracing one run. KELVA_BENCH_TLS, when set, is the
// fingerprint of the server's certificate: the client connects with TLS to
// localhost and trusts that certificate as if the user had said Yes.
void BenchClient(int nPort)
{
    char szDebug[256];
    if (GetEnvironmentVariableA("KELVA_WINEDEBUG", szDebug, sizeof szDebug) > 0)
        SetEnvironmentVariableA("WINEDEBUG", szDebug);
    char szFingerprint[128];
    bool bTLS = GetEnvironmentVariableA("KELVA_BENCH_TLS", szFingerprint, sizeof szFingerprint) > 0;
    Client kelva("Kelva");
    std::string sPort = std::to_string(nPort);
    std::string sFile = std::string("SERVER ") + (bTLS ? "localhost" : "127.0.0.1") + "\r\nPORT " + sPort + "\r\n" +
                        (bTLS ? "TLS 1\r\n" : "");
    if (!StartWith(kelva, "bench", SettingsFor("Kelva", "irc.invalid", 1), sFile)) return;
    if (bTLS) WriteTextFile(kelva.sDir + "\\kelva-certs.txt", "localhost:" + sPort + " " + szFingerprint + "\r\n");
    if (!CloseWelcome(kelva)) return;
    std::string sDir = kelva.sDir.substr(0, kelva.sDir.find_last_of('\\'));
    WriteTextFile(sDir + "\\ready.txt", "ready\n");
    std::string sDone;
    WaitUntil([&] { return ReadTextFile(sDir + "\\done.txt", sDone); }, 3600000);
    CloseClient(kelva);
}
