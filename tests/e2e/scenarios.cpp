#include "scenarios.h"

#include "resources/resource.h"
#include "scenario_support.h"

void TypedLineWithoutConnection(int)
{
    Client anna("Anna");
    if (!StartWith(anna, "typed-line-without-connection", SettingsFor("Anna", "irc.invalid", 1)) ||
        !CloseWelcome(anna))
        return;
    EXPECT_UI(WindowText(anna.hMain) == "KELVA", "the main window is titled \"KELVA\", not \"" + WindowText(anna.hMain) + "\"");
    if (!EXPECT_UI(anna.hOutput && anna.hInput, "the main window holds the output pane and the input line")) return;

    TypeLine(anna, "hello there");
    WaitForOutput(anna, "Error: send() = 10038\r\n");
    EXPECT_UI(WaitUntil([&] { return WindowText(anna.hInput).empty(); }),
              "the input line is empty again; it holds \"" + WindowText(anna.hInput) + "\"");
    EXPECT_UI(WindowText(anna.hOutput) == "Error: send() = 10038\r\n",
              "before the first connection the line goes out raw, without echo:\n" + WindowText(anna.hOutput));
    EXPECT_UI(CloseClient(anna) == 0, "closing the window ends the program with exit code 0");
}

const Scenario kScenarios[] = {
    {"typed-line-without-connection", TypedLineWithoutConnection},
    {"connect-and-join", ConnectAndJoin},
    {"ping-cookie-server", PingCookieServer},
    {"chat-both-ways", ChatBothWays},
    {"chat-as-people-write", ChatAsPeopleWrite},
    {"same-nickname", SameNickname},
    {"private-conversation", PrivateConversation},
    {"disconnect-question", DisconnectQuestion},
    {"channel-list", ChannelList},
    {"setup-dialog", SetupDialog},
    {"overlong-line-flood", OverlongLineFlood},
    {"server-killed", ServerKilledAndRestarted},
    {"reset-while-idle", ResetWhileIdle},
    {"unknown-host", UnknownHost},
    {"connect-in-background", ConnectInBackground},
    {"name-with-dead-address", NameWithDeadAddress},
    {"silent-server", SilentServer},
    {"silent-player-in-game", SilentPlayerInGame},
    {"game-mode-layout", GameModeLayout},
    {"game-between-two", GameBetweenTwo},
    {"game-across-link", GameAcrossLink},
    {"game-with-a-rename", GameWithARename},
    {"kicked-from-game-channel", KickedFromGameChannel},
    {"game-with-computer", GameWithComputer},
    {"menu-commands", MenuCommands},
    {"installed-program", InstalledProgram},
    {"portable-zip", PortableZip},
    {"default-server-release", DefaultServerRelease},
    {"pose", PoseForPicture},
    {"pose-game", PoseForGamePicture},
    {"flood-keeps-up", FloodKeepsUp},
    {"bench-client", BenchClient},
    {"repaint-after-dialog", RepaintAfterDialog},
    {"tls-trusted-authority", TLSTrustedAuthority},
    {"tls-self-signed", TLSSelfSigned},
    {"tls-not-tls", TLSNotTLS},
    {"tls-game", TLSGame},
};

const int nScenarios = sizeof kScenarios / sizeof kScenarios[0];

void MenuCommands(int)
{
    Client anna("Anna");
    if (!StartWith(anna, "menu-commands", SettingsFor("Anna", "irc.invalid", 1)) || !CloseWelcome(anna)) return;

    TypeText(anna, "ctrl enter");
    PostMessageA(anna.hInput, WM_CHAR, '\n', 1);  // Ctrl+Enter
    WaitForOutput(anna, "Error: send() = 10038\r\n");
    EXPECT_UI(WaitUntil([&] { return WindowText(anna.hInput).empty(); }), "Ctrl+Enter sends like Enter");

    PostMessageA(anna.hMain, WM_COMMAND, IDM_ABOUT, 0);
    HWND hAbout = WaitForDialog(anna, "About KELVA");
    if (!hAbout) return;
    std::string sVersion = WindowText(FindWindowExA(hAbout, nullptr, "Static", nullptr));
    EXPECT_UI(sVersion == "KELVA32 Version 1.32", "the About box names the version: " + sVersion);
    PressEscape(hAbout);
    EXPECT_UI(WaitForClosed(hAbout), "Escape closes the About dialog");

    PostMessageA(anna.hMain, WM_COMMAND, IDM_HELP, 0);
    HWND hHelp = nullptr;
    EXPECT_UI(WaitUntil([&] { return (hHelp = FindTopWindowOf(anna, "KELVA Help")) != nullptr; }),
              "Help opens the help text in a window of the program");
    std::string sHelp = hHelp ? WindowText(GetWindow(hHelp, GW_CHILD)) : "";
    for (const char* szTopic : {"Connecting", "Channels", "Private conversations", "The game"})
        EXPECT_UI(sHelp.find(szTopic) != std::string::npos, std::string("the help explains ") + szTopic);

    PostMessageA(anna.hMain, WM_COMMAND, IDM_EXIT, 0);
    DWORD nCode = STILL_ACTIVE;
    EXPECT_UI(WaitForSingleObject(anna.pi.hProcess, 10000) == WAIT_OBJECT_0 &&
                  GetExitCodeProcess(anna.pi.hProcess, &nCode) && nCode == 0,
              "File > Exit ends the program, help window and all, with exit code 0");
}
