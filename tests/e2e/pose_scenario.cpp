// Not tests: scenes held still for a screenshot or a measurement. A scene
// writes "ready.txt" in its scenario directory when it is set, and holds
// until "done.txt" appears there.
#include "scenarios.h"

#include <cstdio>

#include "scenario_support.h"

namespace {

std::string ScenarioDirOf(const Client& c) { return c.sDir.substr(0, c.sDir.find_last_of('\\')); }

void HoldUntilDone(const Client& c, DWORD nMaxMs)
{
    std::string sDone;
    WaitUntil([&] { return ReadTextFile(ScenarioDirOf(c) + "\\done.txt", sDone); }, nMaxMs);
}

}  // namespace

// Two clients chatting in #lobby; "ready.txt" holds the main window's place
// (left top width height). Held for at most two minutes.
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
    WriteTextFile(ScenarioDirOf(anna) + "\\ready.txt", szPlace);
    HoldUntilDone(anna, 120000);
    CloseClient(anna);
    CloseClient(bert);
}

// One client of the flood benchmark, connected to its server on nPort, which
// registers it and puts it into a channel; "ready.txt" is written once the
// Welcome dialog is closed. Held for at most an hour. KELVA_WINEDEBUG, when
// set, becomes the client's WINEDEBUG, for tracing one run.
void BenchClient(int nPort)
{
    char szDebug[256];
    if (GetEnvironmentVariableA("KELVA_WINEDEBUG", szDebug, sizeof szDebug) > 0)
        SetEnvironmentVariableA("WINEDEBUG", szDebug);
    Client kelva("Kelva");
    std::string sFile = "SERVER 127.0.0.1\r\nPORT " + std::to_string(nPort) + "\r\n";
    if (!StartWith(kelva, "bench", SettingsFor("Kelva", "irc.invalid", 1), sFile) || !CloseWelcome(kelva)) return;
    WriteTextFile(ScenarioDirOf(kelva) + "\\ready.txt", "ready\n");
    HoldUntilDone(kelva, 3600000);
    CloseClient(kelva);
}
