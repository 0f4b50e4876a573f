#include "tests/fake/fake_seam.h"

#include "game/handshake.h"
#include "irc/client_state.h"
#include "shell/seam.h"

FakeSeam fake;

void ResetClientAndFake()
{
    client = ClientState();
    fake = FakeSeam();
}

void AppendOutput(const char* szText) { fake.sOutput += szText; }

void ScrollOutputToEnd() { fake.calls.push_back("scroll output"); }

void NickListRemoveAll()
{
    fake.nicks.clear();
    fake.calls.push_back("nick list emptied");
}

void SetMainTitle(const char* szTitle)
{
    fake.sTitle = szTitle;
    fake.calls.push_back(std::string("title ") + szTitle);
}

// The main window procedure would call ToggleGameMode for IDC_GAMEMODE.
void SendGameModeCommand()
{
    fake.calls.push_back("IDC_GAMEMODE");
    ToggleGameMode();
}

void LayoutMainWindow() { fake.calls.push_back("layout"); }

void ShowGameWindow(int bShow)
{
    fake.nGameWindowShown = bShow;
    fake.calls.push_back(bShow ? "show game window" : "hide game window");
}

void SendGameReset()
{
    ++fake.nGameResets;
    fake.calls.push_back("GWM_RESET");
}
