#include "board_probe.h"

HWND BoardOf(const Client& c) { return FindWindowExA(c.hMain, nullptr, "KELVA Game Window", nullptr); }

int BoardSpacing(const Client& c)
{
    RECT rc;
    GetClientRect(BoardOf(c), &rc);
    return (rc.right < rc.bottom ? rc.right : rc.bottom) / 10;
}

namespace {

LPARAM ClickPoint(const Client& c, int x, int y)
{
    int s = BoardSpacing(c);
    return MAKELPARAM(x * s, y * s);
}

}  // namespace

void ClickIntersection(const Client& c, int x, int y)
{
    PostMessageA(BoardOf(c), WM_LBUTTONDOWN, MK_LBUTTON, ClickPoint(c, x, y));
    PostMessageA(BoardOf(c), WM_LBUTTONUP, 0, ClickPoint(c, x, y));
}

// Sent messages are handled before the call returns; RDW_UPDATENOW sends
// the board its WM_PAINT, if the click asked for one, the same way.
void ClickIntersectionAndWait(const Client& c, int x, int y)
{
    DWORD_PTR nResult = 0;
    SendMessageTimeoutA(BoardOf(c), WM_LBUTTONDOWN, MK_LBUTTON, ClickPoint(c, x, y), SMTO_ABORTIFHUNG, 10000, &nResult);
    SendMessageTimeoutA(BoardOf(c), WM_LBUTTONUP, 0, ClickPoint(c, x, y), SMTO_ABORTIFHUNG, 10000, &nResult);
    RedrawWindow(BoardOf(c), nullptr, nullptr, RDW_UPDATENOW);
}

POINT SpotOf(const Client& c, int x, int y, char cWhat)
{
    int s = BoardSpacing(c), d = (s / 3 + s / 6) / 2 + 1;  // between the marker's edge and the stone's
    if (cWhat == 'b') return {x * s + d * 7 / 10, y * s + d * 7 / 10};
    if (cWhat == 'w') return {x * s + (x < 9 ? d : -d), y * s};
    return {x * s - s / 12, y * s - s / 12};
}

POINT MidwaySpot(const Client& c, int x1, int y1, int x2, int y2)
{
    int s = BoardSpacing(c);
    return {(x1 + x2) * s / 2, (y1 + y2) * s / 2};
}

// Read from the screen: the windows of the clients lie side by side on the
// desktop, so what a person would see is what the screen holds.
unsigned PixelOf(const Client& c, POINT pt)
{
    ClientToScreen(BoardOf(c), &pt);
    HDC hdc = GetDC(nullptr);
    COLORREF color = GetPixel(hdc, pt.x, pt.y);
    ReleaseDC(nullptr, hdc);
    return static_cast<unsigned>(GetRValue(color)) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

char StoneAt(const Client& c, int x, int y)
{
    if (PixelOf(c, SpotOf(c, x, y, 'b')) == PIXEL_BLACK) return 'b';
    return PixelOf(c, SpotOf(c, x, y, 'w')) == PIXEL_WHITE ? 'w' : '.';
}

bool WaitForStone(const Client& c, int x, int y, char cStone, DWORD nTimeoutMs)
{
    bool bSeen = WaitUntil([&] { return StoneAt(c, x, y) == cStone; }, nTimeoutMs);
    return EXPECT_UI(bSeen, c.sName + "'s board shows '" + std::string(1, cStone) + "' at (" + std::to_string(x) +
                                ", " + std::to_string(y) + "), not '" + std::string(1, StoneAt(c, x, y)) + "'");
}

bool BoardDrawn(const Client& c)
{
    return PixelOf(c, SpotOf(c, 5, 5, 'w')) == PIXEL_BLACK && PixelOf(c, SpotOf(c, 5, 5, 'b')) == PIXEL_WHITE;
}

bool WinLineBetween(const Client& c, int x1, int y1, int x2, int y2)
{
    return PixelOf(c, MidwaySpot(c, x1, y1, x2, y2)) == PIXEL_RED;
}

bool MarkerAt(const Client& c, int x, int y) { return PixelOf(c, SpotOf(c, x, y, 'm')) == PIXEL_YELLOW; }

void PlaceSideBySide(const Client& a, const Client& b)
{
    MoveWindow(a.hMain, 0, 0, 512, 420, TRUE);
    MoveWindow(b.hMain, 512, 0, 512, 420, TRUE);
}

namespace {

bool JoinGameChannel(const Client& c)
{
    TypeLine(c, "/join #Go-Moku");
    if (!WaitForOutput(c, "<KELVA> To invite someone to play, click on their name above.\r\n")) return false;
    return WaitForTitle(c, "KELVA: #Go-Moku") &&
           EXPECT_UI(IsWindowVisible(BoardOf(c)), c.sName + " shows the board in game mode");
}

bool InviteAndAccept(const Client& inviter, const Client& invitee)
{
    if (!WaitForNick(inviter, invitee.sName)) return false;
    ClickListRow(inviter.hNickList, FindListRow(inviter.hNickList, invitee.sName));
    WaitForOutput(inviter, "<KELVA> Please wait while inviting " + invitee.sName + "...\r\n");
    HWND hAsk = WaitForDialog(invitee, "Hey...");
    if (!hAsk) return false;
    std::string sPrompt = "Would you like to play a game with " + inviter.sName + "?";
    EXPECT_UI(DialogPrompt(hAsk) == sPrompt, invitee.sName + " is asked \"" + DialogPrompt(hAsk) + "\"");
    PressButton(hAsk, IDYES);
    return WaitForOutput(inviter, "<KELVA> " + invitee.sName + " has accepted.\r\n");
}

const Client* TossWinner(const Client& a, const Client& b)
{
    const char szWon[] = "<KELVA> You have won the coin toss and may make the first move.\r\n";
    const char szLost[] = "<KELVA> Your opponent has won the coin toss and will make the first move.\r\n";
    auto Decided = [&](const Client& c) {
        std::string s = WindowText(c.hOutput);
        return s.find(szWon) != std::string::npos || s.find(szLost) != std::string::npos;
    };
    if (!EXPECT_UI(WaitUntil([&] { return Decided(a) && Decided(b); }), "both show the outcome of the coin toss"))
        return nullptr;
    bool bAWon = WindowText(a.hOutput).find(szWon) != std::string::npos;
    bool bBWon = WindowText(b.hOutput).find(szWon) != std::string::npos;
    if (!EXPECT_UI(bAWon != bBWon, "exactly one of the two has won the toss:\n" + WindowText(a.hOutput) + "\n" +
                                       WindowText(b.hOutput)))
        return nullptr;
    return bAWon ? &a : &b;
}

}  // namespace

const Client* MeetForAGame(Client& a, Client& b, const std::string& sScenario, int nPort, Relay* pRelay, int nPortOfB,
                           bool bTLS, const std::string& sMoreSettingsA)
{
    auto start = [&](Client& c, int nPortOfC, const std::string& sMore) {
        return bTLS ? StartConnectedWith(c, sScenario, TLSSettingsFor(c.sName, nPortOfC) + sMore)
                    : StartConnected(c, sScenario, "localhost", nPortOfC, sMore);
    };
    bool bStarted = pRelay ? StartOnRelay(a, sScenario, "localhost", *pRelay, nPort, sMoreSettingsA)
                           : start(a, nPort, sMoreSettingsA);
    if (!bStarted || !start(b, nPortOfB != 0 ? nPortOfB : nPort, "")) return nullptr;
    PlaceSideBySide(a, b);
    if (!JoinGameChannel(a) || !JoinGameChannel(b) || !InviteAndAccept(a, b)) return nullptr;
    return TossWinner(a, b);
}

bool PlayRowToFive(const Client& black, const Client& white)
{
    for (int x = 2; x <= 6; ++x) {
        ClickIntersection(black, x, 3);
        if (!WaitForStone(white, x, 3, 'b') || !WaitForStone(black, x, 3, 'b')) return false;
        if (x == 6) break;
        ClickIntersection(white, x, 5);
        if (!WaitForStone(black, x, 5, 'w') || !WaitForStone(white, x, 5, 'w')) return false;
    }
    return true;
}
