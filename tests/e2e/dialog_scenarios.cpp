// The commands and dialogs of the main window: the channel list, Setup, the
// connection file, the message dialogs, game mode's layout.
#include "scenarios.h"

#include <cstdio>

#include "board_probe.h"
#include "relay.h"
#include "resources/resource.h"
#include "scenario_support.h"

void ChannelList(int nPort)
{
    Client anna("Anna");
    Relay relay;
    if (!EXPECT_UI(relay.Start(nPort), "the relay starts")) return;
    if (!StartWith(anna, "channel-list", SettingsFor("Anna", "127.0.0.1", relay.Port())) || !CloseWelcome(anna))
        return;
    PressCommandButton(anna, IDM_LIST);
    ExpectNotice(anna, "But wait...", "You are not currently connected.");

    PressCommandButton(anna, IDM_CONNECT);
    WaitForOutput(anna, "End of MOTD command\r\n");
    TypeLine(anna, "/JOIN #e2e");
    WaitForTitle(anna, "KELVA: #e2e");
    TypeLine(anna, "/TOPIC #e2e :héllo ☃ Ελληνικά 中文");
    WaitForOutput(anna, "<Anna> Topic: héllo ☃ Ελληνικά 中文\r\n");

    relay.HoldFrom(" 323 ");
    PressCommandButton(anna, IDM_LIST);
    HWND hList = WaitForDialog(anna, "Loading Channel List...");
    if (!hList) return;
    HWND hRows = GetDlgItem(hList, IDC_CHANNELLIST);
    EXPECT_UI(WaitUntil([&] { return FindListRow(hRows, "#lobby ") >= 0; }), "the rows arrive while loading");
    relay.Release();
    EXPECT_UI(WaitUntil([&] { return WindowText(hList) == "Channel List"; }),
              "the end of the list retitles the dialog; it reads \"" + WindowText(hList) + "\"");
    int nTopicRow = FindListRow(hRows, "#e2e ");
    EXPECT_UI(nTopicRow >= 0 && ListBoxItems(hRows)[static_cast<size_t>(nTopicRow)] == "#e2e 1 :héllo ☃ Ελληνικά 中文",
              "the row shows the topic in UTF-8");

    ClickListRow(hRows, FindListRow(hRows, "#lobby "), true);
    EXPECT_UI(WaitForClosed(hList), "a double-click closes the channel list");
    WaitForTitle(anna, "KELVA: #lobby");
    EXPECT_UI(relay.ClientSent().find("PART #e2e\r\nJOIN #lobby\r\n") != std::string::npos,
              "the current channel is left and the chosen one joined; the client sent:\n" + relay.ClientSent());
}

namespace {

// Ticking "Secure connection (TLS)" moves the usual plain port to the usual
// TLS port and back; another port stays. Leaves the box unticked.
void ExpectTLSToggle(HWND hSetup)
{
    HWND hTLS = GetDlgItem(hSetup, IDC_SETUP_TLS), hPort = GetDlgItem(hSetup, IDC_SETUP_PORT);
    EXPECT_UI(WindowText(hTLS) == "Secure connection (TLS)", "Setup has the TLS check box, unticked");
    EXPECT_UI(IsDlgButtonChecked(hSetup, IDC_SETUP_TLS) == BST_UNCHECKED, "TLS is off without the key");
    const struct { const char* szPort; const char* szTicked; } kCases[] = {{"6667", "6697"}, {"7000", "7000"}};
    for (const auto& c : kCases) {
        TypeInto(hPort, c.szPort);
        PostMessageA(hTLS, BM_CLICK, 0, 0);
        EXPECT_UI(WaitUntil([&] {
                      return IsDlgButtonChecked(hSetup, IDC_SETUP_TLS) == BST_CHECKED && WindowText(hPort) == c.szTicked;
                  }),
                  std::string("ticking TLS with the port ") + c.szPort + " leaves " + WindowText(hPort));
        PostMessageA(hTLS, BM_CLICK, 0, 0);
        EXPECT_UI(WaitUntil([&] {
                      return IsDlgButtonChecked(hSetup, IDC_SETUP_TLS) == BST_UNCHECKED && WindowText(hPort) == c.szPort;
                  }),
                  std::string("unticking TLS gives the port ") + c.szPort + " back, not " + WindowText(hPort));
    }
}

}  // namespace

void SetupDialog(int nPort)
{
    Client anna("Anna");
    if (!StartWith(anna, "setup-dialog", SettingsFor("Anna", "irc.invalid", 1)) || !CloseWelcome(anna)) return;
    PressCommandButton(anna, IDM_SETUP);
    HWND hSetup = WaitForDialog(anna, "Setup");
    if (!hSetup) return;
    EXPECT_UI(WindowText(GetDlgItem(hSetup, IDC_SETUP_NICKNAME)) == "Anna", "Setup shows the nickname");
    EXPECT_UI(IsDlgButtonChecked(hSetup, IDC_SETUP_SHOWLIST) == BST_UNCHECKED, "Setup shows ShowList off");
    TypeInto(GetDlgItem(hSetup, IDC_SETUP_NICKNAME), "new nick here");
    TypeInto(GetDlgItem(hSetup, IDC_SETUP_REALNAME), "  Änna  Tëst ☃ ");
    TypeInto(GetDlgItem(hSetup, IDC_SETUP_PASSWORD), "");
    TypeInto(GetDlgItem(hSetup, IDC_SETUP_SERVER), "127.0.0.1");
    ExpectTLSToggle(hSetup);
    TypeInto(GetDlgItem(hSetup, IDC_SETUP_PORT), std::to_string(nPort));
    PostMessageA(GetDlgItem(hSetup, IDC_SETUP_SHOWLIST), BM_CLICK, 0, 0);
    PressButton(hSetup, IDOK);
    EXPECT_UI(WaitForClosed(hSetup), "OK closes Setup");

    std::string sIni;
    std::string sExpected = "[KELVA]\r\nNickname=new_nick_\r\nRealname=  \xC3\x84nna  T\xC3\xABst \xE2\x98\x83 \r\nPassword=\r\n"
                            "IRCServer=127.0.0.1\r\nIRCPort=" + std::to_string(nPort) + "\r\nShowList=TRUE\r\nTLS=0\r\n";
    EXPECT_UI(ReadTextFile(anna.sDir + "\\kelva.ini", sIni) && sIni == sExpected,
              "kelva.ini is written exactly:\n[" + sIni + "]\nnot\n[" + sExpected + "]");

    PressCommandButton(anna, IDM_CONNECT);
    WaitForOutput(anna, "Welcome to the Internet Relay Network new_nick_!");
    PressCommandButton(anna, IDM_SETUP);
    ExpectNotice(anna, "But wait...", "Please wait until you disconnect to make changes to the setup.");

    Client bert("Bert");
    std::string sDir = FreshWorkDir("setup-dialog", "Bert");
    // A file of an earlier version, in the Western code page.
    WriteTextFile(sDir + "\\kelva.ini", SettingsFor("Bert", "127.0.0.1", nPort, false, "B\xE9rt \x80"));
    if (!StartClient(bert, sDir, "no-such-file.txt") || !CloseWelcome(bert)) return;
    ExpectNotice(bert, "Opps...", "Could not load the file \"no-such-file.txt\".");
    EXPECT_UI(WindowText(bert.hOutput).find("Attempting") == std::string::npos,
              "no connection follows a file that cannot be opened");
    PressCommandButton(bert, IDM_SETUP);
    HWND hOld = WaitForDialog(bert, "Setup");
    if (!hOld) return;
    EXPECT_UI(WindowText(GetDlgItem(hOld, IDC_SETUP_REALNAME)) == "Bért €",
              "a Windows-1252 realname shows as it was written: \"" + WindowText(GetDlgItem(hOld, IDC_SETUP_REALNAME)) + "\"");
    PressButton(hOld, IDCANCEL);
    EXPECT_UI(WaitForClosed(hOld), "Cancel closes Setup");
}

void GameModeLayout(int nPort)
{
    Client anna("Anna");
    Relay relay;
    if (!StartOnRelay(anna, "game-mode-layout", "localhost", relay, nPort)) return;
    EXPECT_UI(!IsWindowVisible(FindWindowExA(anna.hMain, nullptr, "KELVA Game Window", nullptr)),
              "the board is hidden in chat mode");
    TypeLine(anna, "/join #go-moku");
    WaitForOutput(anna, "<KELVA> To invite someone to play, click on their name above.\r\n");
    WaitForTitle(anna, "KELVA: #Go-Moku");
    EXPECT_UI(relay.ClientSent().find("JOIN #Go-Moku KELVA\r\n") != std::string::npos,
              "the server sees the game channel joined with its key:\n" + relay.ClientSent());

    HWND hBoard = FindWindowExA(anna.hMain, nullptr, "KELVA Game Window", nullptr);
    RECT rcClient;
    GetClientRect(anna.hMain, &rcClient);
    int nWidth = rcClient.right, nHeight = rcClient.bottom;
    RECT rcBoard = ChildPlace(hBoard), rcPane = ChildPlace(anna.hOutput), rcNicks = ChildPlace(anna.hNickList);
    EXPECT_UI(IsWindowVisible(hBoard), "the board is shown in game mode");
    EXPECT_UI(rcBoard.left == 0 && rcBoard.top == 30 && rcBoard.right == nWidth - 199 && rcBoard.bottom == nHeight,
              "the board fills the left part below the buttons");
    EXPECT_UI(rcPane.left == nWidth - 200 && rcPane.right == nWidth && rcPane.top == 82,
              "the output pane is in the 200-pixel strip on the right");
    EXPECT_UI(rcNicks.left == nWidth - 200 && rcNicks.bottom - rcNicks.top == 83, "the nick list tops the strip");

    TypeLine(anna, "/part");
    EXPECT_UI(WaitUntil([&] { return !IsWindowVisible(hBoard); }), "leaving the channel hides the board");
    EXPECT_UI(WaitUntil([&] { return ChildPlace(anna.hOutput).left == 0; }), "the output pane is back on the left");
    EXPECT_UI(CloseClient(anna) == 0, "closing the window ends the program with exit code 0");
}

namespace {

COLORREF ScreenPixel(POINT pt)
{
    HDC hdc = GetDC(nullptr);
    COLORREF c = GetPixel(hdc, pt.x, pt.y);
    ReleaseDC(nullptr, hdc);
    return c;
}

}  // namespace

// A dialog over the board, closed: how long until the board shows again
// where the dialog was. One dialog opens from a command, one from the
// receive path (the overflow notice).
void RepaintAfterDialog(int nPort)
{
    Client anna("Anna");
    Relay relay;
    if (!StartOnRelay(anna, "repaint-after-dialog", "localhost", relay, nPort)) return;
    TypeLine(anna, "/join #go-moku");
    WaitForTitle(anna, "KELVA: #Go-Moku");
    HWND hBoard = BoardOf(anna);
    if (!EXPECT_UI(WaitUntil([&] { return BoardDrawn(anna); }), "the board is drawn")) return;
    const COLORREF cDialog = GetSysColor(COLOR_BTNFACE);
    for (int nWay = 0; nWay < 2; ++nWay) {
        if (nWay == 0)
            PostMessageA(anna.hMain, WM_COMMAND, IDM_ABOUT, 0);
        else
            relay.Inject(":bert!b@h PRIVMSG Anna :" + std::string(600, 'x') + "\r\n");
        HWND hDlg = WaitForDialog(anna, nWay == 0 ? "About KELVA" : "Error");
        if (!hDlg) return;
        RECT rcDlg, rcBoard;
        GetWindowRect(hDlg, &rcDlg);
        GetWindowRect(hBoard, &rcBoard);
        POINT pt = {rcDlg.left + 3, (rcDlg.top + rcDlg.bottom) / 2};
        EXPECT_UI(PtInRect(&rcBoard, pt), "the dialog covers the board");
        if (!EXPECT_UI(WaitUntil([&] { return ScreenPixel(pt) == cDialog; }), "the dialog is drawn")) return;
        PressButton(hDlg, IDOK);
        WaitForClosed(hDlg);
        DWORD t0 = GetTickCount();
        bool bBack = WaitUntil([&] { return ScreenPixel(pt) != cDialog; }, 10000);
        std::printf("board pixel back after %lu ms (%06lx -> %06lx)\n", GetTickCount() - t0, cDialog, ScreenPixel(pt));
        EXPECT_UI(bBack, "the board is drawn again where the dialog was");
    }
}
