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
    {"chat-both-ways", ChatBothWays},
    {"private-conversation", PrivateConversation},
    {"disconnect-question", DisconnectQuestion},
    {"channel-list", ChannelList},
    {"setup-dialog", SetupDialog},
    {"overflow-notice", OverflowNotice},
    {"game-mode-layout", GameModeLayout},
    {"pose", PoseForPicture},
};

const int nScenarios = sizeof kScenarios / sizeof kScenarios[0];
