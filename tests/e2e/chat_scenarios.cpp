// Chatting as people do: joining at start, talking both ways, a private
// conversation, leaving the server.
#include "scenarios.h"

#include "resources/resource.h"
#include "relay.h"
#include "scenario_support.h"

void ConnectAndJoin(int nPort)
{
    Client anna("Anna"), bert("Bert");
    if (!StartInChannel(anna, "connect-and-join", nPort, "lobby")) return;
    if (!StartInChannel(bert, "connect-and-join", nPort, "#lobby")) return;
    WaitForNick(anna, "Bert");
    WaitForNick(bert, "Anna");
    WaitForOutput(anna, "<Bert> Joining\r\n");
    EXPECT_UI(CloseClient(anna) == 0, "Anna's program ends with exit code 0");
    EXPECT_UI(CloseClient(bert) == 0, "Bert's program ends with exit code 0");
}

// A server that registers a client only once the PING it sends first has
// come back with its own token; then a line typed after /RAW goes out as it
// stands, without an echo.
void PingCookieServer(int nPort)
{
    Client anna("Anna");
    if (!StartInChannel(anna, "ping-cookie-server", nPort, "lobby")) return;
    WaitForNick(anna, "@Anna");
    TypeLine(anna, "/RAW PRIVMSG Anna :to myself");
    WaitForOutput(anna, "<Anna-Private> to myself\r\n");
    std::string sPane = WindowText(anna.hOutput);
    EXPECT_UI(sPane.find("<Anna> ") == std::string::npos, "the raw line is not echoed:\n" + sPane);
    EXPECT_UI(CloseClient(anna) == 0, "Anna's program ends with exit code 0");
}

// Two clients set up with the same nickname: the second registers with
// a fallback for this connection, and its kelva.ini keeps the name chosen.
void SameNickname(int nPort)
{
    Client anna("Anna"), twin("Twin");
    if (!StartInChannel(anna, "same-nickname", nPort, "lobby")) return;
    const std::string sSettings = SettingsFor("Anna", "127.0.0.1", nPort);
    if (!StartWith(twin, "same-nickname", sSettings) || !CloseWelcome(twin)) return;
    PressCommandButton(twin, IDM_CONNECT);
    WaitForOutput(twin, "<KELVA> Nickname Anna is taken; using Anna_\r\n");
    if (!WaitForOutput(twin, "End of MOTD command\r\n")) return;
    TypeLine(twin, "/join #lobby");
    WaitForTitle(twin, "KELVA: #lobby");
    WaitForNick(anna, "Anna_");
    TypeLine(twin, "two of us");
    WaitForOutput(anna, "<Anna_> two of us\r\n");
    WaitForOutput(twin, "<Anna_> two of us\r\n");
    ExpectSettingsKept(twin, sSettings);
    EXPECT_UI(CloseClient(twin) == 0 && CloseClient(anna) == 0, "both programs end with exit code 0");
}

namespace {

// Text outside the Western code page, in characters of two to four bytes.
const std::string sWorld = "héllo ☃ 😀 Ελληνικά 中文";

// Anna, on the relay: every language both ways, a line of an old client in
// Windows-1252, a nickname that is not ASCII, and what goes on the wire.
void ChatInEveryLanguage(Client& anna, Client& bert, Relay& relay)
{
    EXPECT_UI(GetACP() == 1252, "the clients run under the Western code page, where the ANSI functions would show "
                                "and send these texts wrongly; it is " + std::to_string(GetACP()));
    TypeLine(anna, sWorld);
    WaitForOutput(bert, "<Anna> " + sWorld + "\r\n");
    WaitForOutput(anna, "<Anna> " + sWorld + "\r\n");
    EXPECT_UI(relay.ClientSent().find("PRIVMSG #lobby :" + sWorld + "\r\n") != std::string::npos,
              "what Anna typed goes out as UTF-8; the client sent:\n" + relay.ClientSent());
    TypeLine(bert, sWorld + " back");
    WaitForOutput(anna, "<Bert> " + sWorld + " back\r\n");
    WaitForOutput(bert, "<Bert> " + sWorld + " back\r\n");

    relay.Inject(":Cleo!c@h PRIVMSG #lobby :caf\xE9 cr\xE8me \x80 5\r\n");
    WaitForOutput(anna, "<Cleo> café crème € 5\r\n");

    relay.Inject(":Zoë!z@h JOIN #lobby\r\n");
    if (!WaitForNick(anna, "Zoë")) return;
    ClickListRow(anna.hNickList, FindListRow(anna.hNickList, "Zoë"));
    WaitForOutput(anna, "<KELVA> Private conversation with Zoë on.\r\n");
    TypeLine(anna, "☃");
    EXPECT_UI(WaitUntil([&] { return relay.ClientSent().find("PRIVMSG Zoë :\xE2\x98\x83\r\n") != std::string::npos; }),
              "the snowman goes to Zoë as UTF-8; the client sent:\n" + relay.ClientSent());
}

}  // namespace

void ChatBothWays(int nPort)
{
    Client anna("Anna"), bert("Bert");
    Relay relay;
    if (!StartOnRelay(anna, "chat-both-ways", "127.0.0.1", relay, nPort)) return;
    TypeLine(anna, "/join #lobby");
    if (!WaitForTitle(anna, "KELVA: #lobby") || !StartInChannel(bert, "chat-both-ways", nPort, "lobby")) return;
    WaitForNick(anna, "Bert");
    TypeLine(anna, "hello from Anna");
    WaitForOutput(bert, "<Anna> hello from Anna\r\n");
    WaitForOutput(anna, "<Anna> hello from Anna\r\n");
    TypeLine(bert, "hi Anna, Bert here");
    WaitForOutput(anna, "<Bert> hi Anna, Bert here\r\n");
    EXPECT_UI(WindowText(anna.hInput).empty(), "Anna's input line is empty after sending");

    // A paste keeps its line breaks: each line goes out as a chat line of its own.
    SendMessageA(anna.hInput, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("pasted one\r\nQUIT :pasted two"));
    PostMessageA(anna.hInput, WM_CHAR, '\r', 1);
    WaitForOutput(bert, "<Anna> pasted one\r\n<Anna> QUIT :pasted two\r\n");
    EXPECT_UI(WindowText(ChildById(anna.hMain, IDM_CONNECT)) == "Disconnect", "Anna is still connected");
    ChatInEveryLanguage(anna, bert, relay);
}

// The chat as people write it: an action, a line brought back with Up, a
// nickname completed with Tab, and another client's coloured line shown without
// its codes.
void ChatAsPeopleWrite(int nPort)
{
    Client anna("Anna"), bert("Bert");
    Relay relay;
    if (!StartOnRelay(anna, "chat-as-people-write", "127.0.0.1", relay, nPort)) return;
    TypeLine(anna, "/join #lobby");
    if (!WaitForTitle(anna, "KELVA: #lobby") || !StartInChannel(bert, "chat-as-people-write", nPort, "lobby")) return;
    WaitForNick(anna, "Bert");
    TypeLine(anna, "/me waves");
    WaitForOutput(bert, "* Anna waves\r\n");
    WaitForOutput(anna, "* Anna waves\r\n");

    PostMessageA(anna.hInput, WM_KEYDOWN, VK_UP, 1);
    EXPECT_UI(WaitUntil([&] { return WindowText(anna.hInput) == "/me waves"; }),
              "Up brings back the line sent; the input line holds \"" + WindowText(anna.hInput) + "\"");
    PostMessageA(anna.hInput, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_UI(WaitUntil([&] { return WindowText(anna.hInput).empty(); }), "Down goes back to the empty line");

    TypeText(anna, "be");
    PostMessageA(anna.hInput, WM_CHAR, '\t', 1);
    EXPECT_UI(WaitUntil([&] { return WindowText(anna.hInput) == "Bert: "; }),
              "Tab completes the nickname; the input line holds \"" + WindowText(anna.hInput) + "\"");
    TypeLine(anna, "hi");
    WaitForOutput(bert, "<Anna> Bert: hi\r\n");

    relay.Inject(":Cleo!c@h PRIVMSG #lobby :\x02" "bold\x02 and \x03" "4,12red\x0F text\r\n");
    WaitForOutput(anna, "<Cleo> bold and red text\r\n");
}

void PrivateConversation(int nPort)
{
    Client anna("Anna"), bert("Bert"), cleo("Cleo");
    for (Client* c : {&anna, &bert, &cleo})
        if (!StartInChannel(*c, "private-conversation", nPort, "lobby")) return;
    if (!WaitForNick(bert, "Anna")) return;

    ClickListRow(bert.hNickList, FindListRow(bert.hNickList, "Anna"));
    WaitForOutput(bert, "<KELVA> Private conversation with Anna on.\r\n");
    TypeLine(bert, "just for you");
    WaitForOutput(anna, "<Bert-Private> just for you\r\n");
    WaitForOutput(bert, "<Bert> just for you\r\n");

    TypeLine(cleo, "Cleo to the channel");
    TypeLine(anna, "Anna to the channel");
    WaitForOutput(bert, "<Anna-Public> Anna to the channel\r\n");
    EXPECT_UI(WindowText(bert.hOutput).find("Cleo to the channel") == std::string::npos,
              "the rest of the channel is not shown to Bert during the conversation");

    ClickListRow(bert.hNickList, FindListRow(bert.hNickList, "Anna"));
    WaitForOutput(bert, "<KELVA> Private conversation off.\r\n");
    TypeLine(bert, "back to everyone");
    WaitForOutput(cleo, "<Bert> back to everyone\r\n");
}

void DisconnectQuestion(int nPort)
{
    Client anna("Anna"), bert("Bert");
    if (!StartInChannel(anna, "disconnect-question", nPort, "lobby") ||
        !StartInChannel(bert, "disconnect-question", nPort, "lobby"))
        return;
    HWND hConnect = ChildById(anna.hMain, IDM_CONNECT);
    EXPECT_UI(WindowText(hConnect) == "Disconnect", "the Connect button reads \"Disconnect\" while connected");

    for (const char* szAnswer : {"No", "Escape"}) {
        PostMessageA(hConnect, BM_CLICK, 0, 0);
        HWND hAsk = WaitForDialog(anna, "But wait...");
        if (!hAsk) return;
        EXPECT_UI(DialogPrompt(hAsk) == "Would you like to disconnect from 127.0.0.1?",
                  "the question names the server: \"" + DialogPrompt(hAsk) + "\"");
        if (std::string(szAnswer) == "No")
            PressButton(hAsk, IDNO);
        else
            PressEscape(hAsk);
        EXPECT_UI(WaitForClosed(hAsk), std::string(szAnswer) + " closes the question");
        TypeLine(anna, std::string("still here after ") + szAnswer);
        WaitForOutput(bert, std::string("<Anna> still here after ") + szAnswer + "\r\n");
    }

    PostMessageA(hConnect, BM_CLICK, 0, 0);
    HWND hAsk = WaitForDialog(anna, "But wait...");
    if (!hAsk) return;
    PressButton(hAsk, IDYES);
    WaitForOutput(bert, "<Anna> Quiting\r\n");
    EXPECT_UI(WaitUntil([&] { return WindowText(hConnect) == "Connect"; }), "the button reads \"Connect\" again");
    WaitForTitle(anna, "KELVA");
    EXPECT_UI(CloseClient(anna) == 0, "closing the window ends the program with exit code 0");
}

namespace {

std::string FloodLine(int n) { return ":bert!b@h PRIVMSG #lobby :flood line " + std::to_string(n) + "\r\n"; }

// Whether the pane's last character is within its client area: the pane is
// scrolled to its end.
bool ShowsItsEnd(HWND hPane)
{
    LRESULT nLast = SendMessageA(hPane, WM_GETTEXTLENGTH, 0, 0) - 3;
    LRESULT nPos = SendMessageA(hPane, EM_POSFROMCHAR, static_cast<WPARAM>(nLast), 0);
    RECT rc;
    GetClientRect(hPane, &rc);
    int y = static_cast<short>(HIWORD(nPos));
    return nPos != -1 && y >= 0 && y < rc.bottom;
}

}  // namespace

// 5,000 channel lines in slices, so that the flood lasts a while whatever
// the client's speed; typing in the middle of it is taken and sent before
// the flood's closing PING is answered, and the pane ends with the last
// line, trimmed to about 200 lines and shown again.
void FloodKeepsUp(int nPort)
{
    Client anna("Anna");
    Relay relay;
    if (!StartOnRelay(anna, "flood-keeps-up", "127.0.0.1", relay, nPort)) return;
    TypeLine(anna, "/join #lobby");
    WaitForTitle(anna, "KELVA: #lobby");

    const int nLines = 5000, nSlice = 100;
    for (int nFirst = 1; nFirst <= nLines; nFirst += nSlice) {
        std::string sSlice;
        for (int n = nFirst; n < nFirst + nSlice; ++n) sSlice += FloodLine(n);
        if (nFirst + nSlice > nLines) sSlice += "PING :flood-end\r\n";
        relay.Inject(sSlice);
        if (nFirst == 10 * nSlice + 1) {
            TypeText(anna, "typed during the flood");
            EXPECT_UI(WaitUntil([&] { return WindowText(anna.hInput) == "typed during the flood"; }),
                      "the input line takes typing during the flood; it holds \"" + WindowText(anna.hInput) + "\"");
            PostMessageA(anna.hInput, WM_CHAR, '\r', 1);
        }
        Sleep(10);
    }
    EXPECT_UI(WaitUntil([&] { return relay.ClientSent().find("PONG :flood-end\r\n") != std::string::npos; }, 60000),
              "the flood's PING is answered");
    std::string sSent = relay.ClientSent();
    size_t nTyped = sSent.find("PRIVMSG #lobby :typed during the flood\r\n");
    EXPECT_UI(nTyped != std::string::npos && nTyped < sSent.find("PONG :flood-end\r\n"),
              "the typed line goes out before the flood is over; the client sent:\n" + sSent.substr(sSent.size() > 600 ? sSent.size() - 600 : 0));

    std::string sPane = WindowText(anna.hOutput);
    std::string sLast = "<bert> " + FloodLine(nLines).substr(FloodLine(nLines).find("flood"));
    EXPECT_UI(sPane.size() >= sLast.size() && sPane.compare(sPane.size() - sLast.size(), sLast.size(), sLast) == 0,
              "the pane ends with the last line of the flood:\n" + sPane.substr(sPane.size() > 300 ? sPane.size() - 300 : 0));
    LRESULT nCount = SendMessageA(anna.hOutput, EM_GETLINECOUNT, 0, 0);
    EXPECT_UI(nCount > 100 && nCount <= 202, "the pane holds about 200 lines, not " + std::to_string(nCount));
    EXPECT_UI(IsWindowVisible(anna.hOutput) && WaitUntil([&] { return ShowsItsEnd(anna.hOutput); }),
              "the pane is shown, scrolled to its last line");
}
