// Faults a real network brings: the server killed and started again with
// nobody listening in between, which the client rides out by connecting
// again, a server that dies with unread data and so resets the connection
// while the client is idle,
// a name that cannot be found, a flood of over-long lines, a connect that
// hangs, a server that falls silent. Through each the window stays usable
// and kelva.ini stays whole.
#include "scenarios.h"

#include <ws2tcpip.h>

#include <cstdio>
#include <vector>

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

// A loopback listener whose queue is full: listening with a backlog of 0 and
// holding one connection it never accepts, so that the next connect to it
// neither succeeds nor fails for as long as the system keeps trying.
class FullListener {
public:
    FullListener()
    {
        WSADATA wsa;
        WSAStartup(0x0202, &wsa);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int nLen = sizeof addr;
        m_listen = socket(AF_INET, SOCK_STREAM, 0);
        if (bind(m_listen, reinterpret_cast<sockaddr*>(&addr), nLen) != 0 || listen(m_listen, 0) != 0) return;
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &nLen);
        m_queued = socket(AF_INET, SOCK_STREAM, 0);
        if (connect(m_queued, reinterpret_cast<sockaddr*>(&addr), nLen) == 0) m_nPort = ntohs(addr.sin_port);
    }
    ~FullListener()
    {
        closesocket(m_queued);
        closesocket(m_listen);
        WSACleanup();
    }
    int Port() const { return m_nPort; }

    // Connects to the port still waiting for an answer, read from the Linux
    // kernel's table through Wine's drive Z: (state 02, SYN_SENT).
    int WaitingConnects() const
    {
        std::string sTable;
        ReadTextFile("Z:\\proc\\net\\tcp", sTable);
        char szRemote[16];
        std::snprintf(szRemote, sizeof szRemote, ":%04X 02 ", m_nPort);
        return static_cast<int>(CountOf(sTable, szRemote));
    }

private:
    SOCKET m_listen = INVALID_SOCKET;
    SOCKET m_queued = INVALID_SOCKET;
    int m_nPort = 0;
};

// Asks the window something and allows it 200 ms to answer, as the system
// does before it calls a window "Not responding".
bool AnswersAtOnce(HWND hWnd)
{
    DWORD_PTR nResult = 0;
    return SendMessageTimeoutA(hWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 200, &nResult) != 0;
}

}  // namespace

void ConnectInBackground(int)
{
    FullListener full;
    if (!EXPECT_UI(full.Port() != 0, "a listener with a full queue")) return;
    Client anna("Anna");
    const std::string sSettings = SettingsFor("Anna", "127.0.0.1", full.Port());
    if (!StartWith(anna, "connect-in-background", sSettings) || !CloseWelcome(anna)) return;
    PressCommandButton(anna, IDM_CONNECT);
    if (!WaitForConnectLabel(anna, "Cancel")) return;
    EXPECT_UI(WaitUntil([&] { return full.WaitingConnects() == 1; }), "the connect waits for the full listener");

    int nUnanswered = 0;
    for (int i = 0; i < 20; ++i) {
        if (!AnswersAtOnce(anna.hMain)) ++nUnanswered;
        Sleep(50);
    }
    EXPECT_UI(nUnanswered == 0, "while connecting the window answers within 200 ms; it did not " +
                                    std::to_string(nUnanswered) + " times of 20");
    PressCommandButton(anna, IDM_SETUP);
    HWND hRefused = WaitForDialog(anna, "But wait...");
    if (!hRefused) return;
    PressButton(hRefused, IDOK);
    WaitForClosed(hRefused);
    EXPECT_UI(StoredText(ChildById(anna.hMain, IDM_CONNECT)) == "Cancel", "still connecting after Setup was refused");

    PressCommandButton(anna, IDM_CONNECT);
    WaitForConnectLabel(anna, "Connect", 1000);
    EXPECT_UI(WaitUntil([&] { return full.WaitingConnects() == 0; }, 1000), "Cancel leaves no connect waiting");
    EXPECT_UI(WindowText(anna.hOutput) == "Attempting to connect to 127.0.0.1\r\n",
              "Cancel shows nothing more:\n" + WindowText(anna.hOutput));

    PressCommandButton(anna, IDM_CONNECT);
    if (!WaitForConnectLabel(anna, "Cancel")) return;
    EXPECT_UI(CloseClient(anna) == 0, "closing the window while connecting ends the program with exit code 0");
    ExpectSettingsKept(anna, sSettings);
}

// The addresses of a name as the system gives them, in its order.
std::vector<std::string> AddressesOf(const std::string& sName)
{
    std::vector<std::string> addresses;
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pFound = nullptr;
    if (getaddrinfo(sName.c_str(), nullptr, &hints, &pFound) != 0) return addresses;
    for (addrinfo* p = pFound; p != nullptr; p = p->ai_next) {
        char szAddress[64] = "";
        DWORD nLen = sizeof szAddress;
        WSAAddressToStringA(p->ai_addr, static_cast<DWORD>(p->ai_addrlen), nullptr, szAddress, &nLen);
        addresses.push_back(szAddress);
    }
    freeaddrinfo(pFound);
    return addresses;
}

// Run with a hosts file that gives kelva-dual.test the addresses ::1,
// 127.0.0.1 and 127.0.0.2, which the system puts in that order. Only the
// last leads to the server, through a relay listening there: a client that
// tried one address alone, or IPv4 alone, would find nobody.
void NameWithDeadAddress(int nPort)
{
    Relay relay;
    std::vector<std::string> addresses = AddressesOf("kelva-dual.test");
    std::string sFound;
    for (const std::string& s : addresses) sFound += " " + s;
    if (!EXPECT_UI(addresses == std::vector<std::string>({"::1", "127.0.0.1", "127.0.0.2"}),
                   "kelva-dual.test is ::1, 127.0.0.1, 127.0.0.2 in this order; it is" + sFound) ||
        !EXPECT_UI(relay.Start(nPort, "127.0.0.2"), "the relay listens on 127.0.0.2"))
        return;
    Client anna("Anna");
    if (!StartConnected(anna, "name-with-dead-address", "kelva-dual.test", relay.Port())) return;
    WaitForConnectLabel(anna, "Disconnect");
    std::string sPane = WindowText(anna.hOutput);
    EXPECT_UI(sPane.rfind("Attempting to connect to kelva-dual.test\r\n", 0) == 0 &&
                  sPane.find("Error") == std::string::npos,
              "the dead addresses show nothing:\n" + sPane);
    EXPECT_UI(CloseClient(anna) == 0, "closing the window ends the program with exit code 0");
}

// With PingSeconds=2, a server that answers the PING keeps the connection;
// once it is stopped, the client gives it up within 5 seconds.
void SilentServer(int nPort)
{
    Client anna("Anna");
    Relay relay;
    if (!StartOnRelay(anna, "silent-server", "127.0.0.1", relay, nPort, PingSecondsLine(2))) return;
    EXPECT_UI(WaitUntil([&] { return CountOf(relay.ClientSent(), "PING :KELVA\r\n") >= 3; }),
              "the server's answers keep the PINGs coming; the client sent:\n" + relay.ClientSent());
    std::string sPane = WindowText(anna.hOutput);
    EXPECT_UI(sPane.find("PONG") == std::string::npos && sPane.find("Error") == std::string::npos,
              "the answers are not shown, and the connection lives on:\n" + sPane);
    EXPECT_UI(StoredText(ChildById(anna.hMain, IDM_CONNECT)) == "Disconnect", "still connected");

    if (!OrderServer("pause")) return;
    WaitForOutput(anna, "Error: the server has not answered for 4 seconds\r\n<KELVA> Connecting again in 5 seconds\r\n",
                  5000);
    WaitForConnectLabel(anna, "Cancel", 1000);
    PressCommandButton(anna, IDM_CONNECT);
    WaitForConnectLabel(anna, "Connect", 1000);
    EXPECT_UI(CloseClient(anna) == 0, "closing the window ends the program with exit code 0");
}

// Killed, the server leaves the client waiting to connect again, trying on
// while nobody listens; started again, it has the client back in its channel.
void ServerKilledAndRestarted(int nPort)
{
    Client anna("Anna");
    const std::string sSettings = SettingsFor("Anna", "irc.invalid", 1, true);
    const std::string sFile = "SERVER 127.0.0.1\r\nPORT " + std::to_string(nPort) + "\r\nCHANNEL #lobby\r\n";
    if (!StartWith(anna, "server-killed", sSettings, sFile) || !CloseWelcome(anna) ||
        !WaitForTitle(anna, "KELVA: #lobby"))
        return;

    if (!OrderServer("kill") || !WaitForConnectLabel(anna, "Cancel")) return;
    ExpectConnectionEndShown(anna);
    WaitForOutput(anna, "<KELVA> Connecting again in 5 seconds\r\n");
    WaitForTitle(anna, "KELVA");
    // Out of the channel while waiting, a chat line has nowhere to go.
    TypeLine(anna, "anyone there?");
    WaitForOutput(anna, "<KELVA> You are not in a channel. Type /join #channel, or click a name for a private "
                        "conversation.\r\n");
    WaitForOutput(anna, "Attempting to connect to 127.0.0.1\r\nError: connect() = 10061\r\n"
                        "<KELVA> Connecting again in 10 seconds\r\n",
                  10000);
    WaitForConnectLabel(anna, "Cancel");

    if (!OrderServer("start")) return;
    WaitForTitle(anna, "KELVA: #lobby", 15000);
    WaitForConnectLabel(anna, "Disconnect");
    EXPECT_UI(CountOf(WindowText(anna.hOutput), "Welcome to the Internet Relay Network Anna!") == 2,
              "the server welcomed Anna on each connection:\n" + WindowText(anna.hOutput));
    EXPECT_UI(FindTopWindowOf(anna, "Channel List") == nullptr, "back in the channel, no channel list is asked for");
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
    if (!EXPECT_UI(WaitUntil([&] { return IsIconic(anna.hMain) != FALSE; }), "Anna's window is minimised") ||
        !OrderServer("kill"))
        return;
    // From here on the driver sends the client no message until the reset
    // has been noticed: only the client itself can find it.
    if (!WaitForConnectLabel(anna, "Cancel", 5000)) return;
    ExpectConnectionEndShown(anna);
    PressCommandButton(anna, IDM_CONNECT);
    WaitForConnectLabel(anna, "Connect", 1000);
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
