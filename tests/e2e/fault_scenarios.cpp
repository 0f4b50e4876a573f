// Faults a real network brings: the server killed and started again with
// nobody listening in between, a server that dies with unread data and so
// resets the connection while the client is idle,
// a name that cannot be found, a flood of over-long lines. Through each the
// window stays usable and kelva.ini stays whole.
#include "scenarios.h"

#include "relay.h"
#include "resources/resource.h"
#include "scenario_support.h"

namespace {

// Its first label is longer than the 63 characters a name may have, so the
// look-up fails at once, without asking any name server.
const std::string sUnknownHost = std::string(64, 'u') + ".invalid";

size_t CountOf(const std::string& sText, const std::string& sPart)
{
    size_t nCount = 0;
    for (size_t nAt = sText.find(sPart); nAt != std::string::npos; nAt = sText.find(sPart, nAt + 1)) ++nCount;
    return nCount;
}

// Read from the button's own label, which does not wake the client.
bool WaitForConnectLabel(const Client& c, const std::string& sLabel, DWORD nTimeoutMs = 10000)
{
    HWND hConnect = ChildById(c.hMain, IDM_CONNECT);
    bool bSeen = WaitUntil([&] { return StoredText(hConnect) == sLabel; }, nTimeoutMs);
    return EXPECT_UI(bSeen, c.sName + ": the Connect button reads \"" + sLabel + "\", not \"" + StoredText(hConnect) +
                                "\"; the pane holds:\n" + WindowText(c.hOutput));
}

// A failed receive or the server's hang-up, whichever the platform reports.
void ExpectConnectionEndShown(const Client& c)
{
    std::string sPane = WindowText(c.hOutput);
    EXPECT_UI(sPane.find("Error: recv() = ") != std::string::npos ||
                  sPane.find("Error: nBytesRecv = 0\r\n") != std::string::npos,
              c.sName + "'s pane tells that the connection ended:\n" + sPane);
}

}  // namespace

void ServerKilledAndRestarted(int nPort)
{
    Client anna("Anna");
    const std::string sSettings = SettingsFor("Anna", "irc.invalid", 1, true);
    const std::string sFile = "SERVER 127.0.0.1\r\nPORT " + std::to_string(nPort) + "\r\nCHANNEL #lobby\r\n";
    if (!StartWith(anna, "server-killed", sSettings, sFile) || !CloseWelcome(anna) ||
        !WaitForTitle(anna, "KELVA: #lobby"))
        return;

    if (!OrderServer("kill") || !WaitForConnectLabel(anna, "Connect")) return;
    ExpectConnectionEndShown(anna);
    WaitForTitle(anna, "KELVA");
    TypeLine(anna, "anyone there?");
    WaitForOutput(anna, "<Anna> anyone there?\r\nError: send() = ");

    PressCommandButton(anna, IDM_CONNECT);
    WaitForOutput(anna, "Attempting to connect to 127.0.0.1\r\nError: connect() = 10061\r\n");
    WaitForConnectLabel(anna, "Connect");

    if (!OrderServer("start")) return;
    PressCommandButton(anna, IDM_CONNECT);
    // The channel was left with the connection: the end of the message of
    // the day now brings the channel list, and no JOIN.
    EXPECT_UI(WaitUntil([&] { return FindTopWindowOf(anna, "Channel List") != nullptr; }),
              "after registering afresh the channel list arrives; the pane holds:\n" + WindowText(anna.hOutput));
    WaitForConnectLabel(anna, "Disconnect");
    EXPECT_UI(CountOf(WindowText(anna.hOutput), "Welcome to the Internet Relay Network Anna!") == 2,
              "the server welcomed Anna on each connection:\n" + WindowText(anna.hOutput));
    EXPECT_UI(WindowText(anna.hMain) == "KELVA", "no channel is joined on its own");
    ExpectSettingsKept(anna, sSettings);
    EXPECT_UI(CloseClient(anna) == 0, "closing the window ends the program with exit code 0");
}

void ResetWhileIdle(int nPort)
{
    Client anna("Anna");
    if (!StartInChannel(anna, "reset-while-idle", nPort, "lobby")) return;

    // A server that stops reading and then dies with the client's line
    // unread resets the connection.
    if (!OrderServer("pause")) return;
    TypeLine(anna, "are you there?");
    WaitForOutput(anna, "<Anna> are you there?\r\n");
    // In the background, as while the user works in another program, the
    // window gets no timer messages either (no caret blinks there).
    ShowWindow(anna.hMain, SW_MINIMIZE);
    Sleep(1000);
    if (!OrderServer("kill")) return;
    // From here on the driver sends the client no message until the reset
    // has been noticed: only the client itself can find it.
    if (!WaitForConnectLabel(anna, "Connect", 5000)) return;
    ExpectConnectionEndShown(anna);
    ExpectSettingsKept(anna, SettingsFor("Anna", "irc.invalid", 1));
    EXPECT_UI(CloseClient(anna) == 0, "closing the window ends the program with exit code 0");
}

void UnknownHost(int)
{
    Client anna("Anna");
    const std::string sSettings = SettingsFor("Anna", sUnknownHost, 6667);
    if (!StartWith(anna, "unknown-host", sSettings) || !CloseWelcome(anna)) return;
    const std::string sFailure = "Attempting to connect to " + sUnknownHost + "\r\nError: gethostbyname() = 110";
    PressCommandButton(anna, IDM_CONNECT);
    WaitForOutput(anna, sFailure);
    WaitForConnectLabel(anna, "Connect");

    PressCommandButton(anna, IDM_CONNECT);
    EXPECT_UI(WaitUntil([&] { return CountOf(WindowText(anna.hOutput), sFailure) == 2; }),
              "a second attempt fails the same way:\n" + WindowText(anna.hOutput));
    ExpectSettingsKept(anna, sSettings);
    EXPECT_UI(CloseClient(anna) == 0, "closing the window ends the program with exit code 0");
}

void OverlongLineFlood(int nPort)
{
    Client anna("Anna");
    Relay relay;
    if (!StartOnRelay(anna, "overlong-line-flood", "127.0.0.1", relay, nPort)) return;
    std::string sFlood;
    for (int i = 0; i < 50; ++i) sFlood += ":bert!b@h PRIVMSG Anna :" + std::string(600, 'x') + "\r\n";
    relay.Inject(sFlood + "PING :during\r\n" + sFlood);
    ExpectNotice(anna, "Error", "pLine_Buffer overflow");
    relay.Inject(sFlood + "PING :after\r\n");
    EXPECT_UI(WaitUntil([&] {
                  std::string sSent = relay.ClientSent();
                  return CountOf(sSent, "PONG :during\r\n") == 1 && CountOf(sSent, "PONG :after\r\n") == 1;
              }),
              "the lines within and after the flood are still handled; the client sent:\n" + relay.ClientSent());
    EXPECT_UI(FindTopWindowOf(anna, "Error") == nullptr, "one notice for the whole flood");

    PressCommandButton(anna, IDM_CONNECT);
    HWND hAsk = WaitForDialog(anna, "But wait...");
    if (!hAsk) return;
    PressButton(hAsk, IDYES);
    WaitForConnectLabel(anna, "Connect");
    ExpectSettingsKept(anna, SettingsFor("Anna", "127.0.0.1", relay.Port()));
    EXPECT_UI(CloseClient(anna) == 0, "closing the window ends the program with exit code 0");
}
