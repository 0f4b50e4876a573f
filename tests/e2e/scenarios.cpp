#include "scenarios.h"

#include "probe.h"

namespace {

void TypedLineWithoutConnection(int)
{
    Client a("A");
    if (!StartClient(a, FreshWorkDir("typing", "A"))) return;
    EXPECT_UI(WindowText(a.hMain) == "KELVA", "the main window is titled \"KELVA\", not \"" + WindowText(a.hMain) + "\"");
    if (!EXPECT_UI(a.hOutput && a.hInput, "the main window holds the output pane and the input line")) return;

    TypeLine(a, "hello there");
    WaitForOutput(a, "Error: send() = ");
    EXPECT_UI(WaitUntil([&] { return WindowText(a.hInput).empty(); }),
              "the input line is empty again; it holds \"" + WindowText(a.hInput) + "\"");
    std::string sPane = WindowText(a.hOutput);
    EXPECT_UI(sPane.find("hello") == std::string::npos, "nothing is echoed before the first connection:\n" + sPane);

    EXPECT_UI(CloseClient(a) == 0, "closing the window ends the program with exit code 0");
}

}  // namespace

const Scenario kScenarios[] = {
    {"typed-line-without-connection", TypedLineWithoutConnection},
};

const int nScenarios = sizeof kScenarios / sizeof kScenarios[0];
