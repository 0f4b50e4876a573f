// Not a test: two clients chatting in #lobby, held still for a screenshot or
// a measurement. When the scene is set it writes "ready.txt" (the main
// window's place: left top width height) in its work directory, and holds
// until "done.txt" appears there (at most two minutes).
#include "scenarios.h"

#include <cstdio>

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
