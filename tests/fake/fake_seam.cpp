#include "tests/fake/fake_seam.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

#include "game/client_game.h"
#include "irc/client_state.h"
#include "irc/connection_state.h"
#include "irc/text.h"
#include "irc/tls.h"
#include "irc/seam.h"

FakeSeam fake;

namespace {

// The dialog handle the fake gives out; never looked inside.
int nChannelListDialog;

bool SortsBefore(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; }

}  // namespace

void ResetClientAndFake()
{
    AbandonAttempt();  // an attempt an earlier test left under way
    TransportClose();
    connection = ConnectionRecord();
    client = ClientState();
    ResetClientGame();
    fake = FakeSeam();
}

void AppendOutput(const char* szText)
{
    fake.sOutput += szText;
    fake.appends.push_back(szText);
}

void ScrollOutputToEnd() { fake.calls.push_back("scroll output"); }

void NickListRemoveAll()
{
    fake.nicks.clear();
    fake.nSelected = -1;
    fake.calls.push_back("nick list emptied");
}

void NickListAdd(const char* szName)
{
    auto it = std::upper_bound(fake.nicks.begin(), fake.nicks.end(), std::string(szName), SortsBefore);
    int nAt = static_cast<int>(it - fake.nicks.begin());
    fake.nicks.insert(it, szName);
    if (fake.nSelected >= nAt) ++fake.nSelected;
}

short NickListFindExact(const char* szName)
{
    for (size_t i = 0; i < fake.nicks.size(); ++i)
        if (strcasecmp(fake.nicks[i].c_str(), szName) == 0) return static_cast<short>(i);
    return -1;
}

void NickListDeleteAt(short nIndex)
{
    fake.nicks.erase(fake.nicks.begin() + nIndex);
    if (fake.nSelected == nIndex)
        fake.nSelected = -1;
    else if (fake.nSelected > nIndex)
        --fake.nSelected;
}

void NickListRename(short nIndex, const char* szName)
{
    bool bSelected = fake.nSelected == nIndex;
    NickListDeleteAt(nIndex);
    auto it = std::upper_bound(fake.nicks.begin(), fake.nicks.end(), std::string(szName), SortsBefore);
    int nAt = static_cast<int>(it - fake.nicks.begin());
    NickListAdd(szName);
    if (bSelected) fake.nSelected = nAt;
}

void NickListClearSelection()
{
    fake.nSelected = -1;
    fake.calls.push_back("deselect");
}

bool NickListGetSelected(TextField& szName)
{
    if (fake.nSelected < 0) return false;
    CopyField(szName, fake.nicks[static_cast<size_t>(fake.nSelected)].c_str());
    return true;
}

void NickListSelectName(const char* szName)
{
    size_t nLen = std::strlen(szName);
    for (size_t i = 0; i < fake.nicks.size(); ++i) {
        if (strncasecmp(fake.nicks[i].c_str(), szName, nLen) == 0) {
            fake.nSelected = static_cast<int>(i);
            return;
        }
    }
}

short NickListCount() { return static_cast<short>(fake.nicks.size()); }

bool NickListGetAt(short nIndex, TextField& szName)
{
    if (nIndex < 0 || static_cast<size_t>(nIndex) >= fake.nicks.size()) return false;
    CopyField(szName, fake.nicks[static_cast<size_t>(nIndex)].c_str());
    return true;
}

void SetMainTitle(const char* szTitle)
{
    fake.sTitle = szTitle;
    fake.calls.push_back(std::string("title ") + szTitle);
}

void LayoutMainWindow() { fake.calls.push_back("layout"); }

void SetConnectionControls(int nControls)
{
    fake.bConnectedControls = nControls == CONTROLS_CONNECTED;
    fake.bConnectingControls = nControls == CONTROLS_CONNECTING;
}

void ResolveServerName(unsigned nAttempt, const char* szName) { fake.lookUps.push_back({nAttempt, szName}); }

void WatchConnect(SOCKET sock) { fake.watchedConnects.push_back(sock); }

void FocusInputLine() { ++fake.nFocusToInput; }

void AskForAttention() { ++fake.nAttentionAsked; }

void RunSetupDialog() { ++fake.nSetupDialogs; }

void ShowGameWindow(int bShow)
{
    fake.nGameWindowShown = bShow;
    fake.calls.push_back(bShow ? "show game window" : "hide game window");
}

void DrawStone(short x, short y, short nColor)
{
    fake.drawings.push_back((nColor == 0 ? "black " : "white ") + std::to_string(x) + " " + std::to_string(y));
}

void DrawMarker(short x, short y) { fake.drawings.push_back("marker " + std::to_string(x) + " " + std::to_string(y)); }

void EraseMarker(short x, short y)
{
    fake.drawings.push_back("erase marker " + std::to_string(x) + " " + std::to_string(y));
}

void DrawWinLine(short xStart, short yStart, short xEnd, short yEnd)
{
    fake.drawings.push_back("win line " + std::to_string(xStart) + " " + std::to_string(yStart) + " " +
                            std::to_string(xEnd) + " " + std::to_string(yEnd));
}

void InvalidateBoard() { ++fake.nInvalidations; }

void SystemBeep() { ++fake.nBeeps; }

unsigned TickCount() { return fake.nTicks; }

long long CurrentTime() { return fake.nTime; }

HWND OpenChannelList()
{
    if (fake.bChannelListFails) return nullptr;
    fake.bChannelListOpen = true;
    fake.sChannelListTitle = "Loading Channel List...";
    fake.channelRows.clear();
    return &nChannelListDialog;
}

void ChannelListEmpty() { fake.channelRows.clear(); }

void ChannelListAddRow(const char* szRow)
{
    auto it = std::upper_bound(fake.channelRows.begin(), fake.channelRows.end(), std::string(szRow), SortsBefore);
    fake.channelRows.insert(it, szRow);
}

void ChannelListSetTitle(const char* szTitle) { fake.sChannelListTitle = szTitle; }

namespace {

short NextAnswer()
{
    if (fake.answers.empty()) return 2;
    short nAnswer = fake.answers.front();
    fake.answers.pop_front();
    return nAnswer;
}

}  // namespace

short ShowMessageDialog(HWND hOwner, const char* szSubject, const char* szTitle, int nStringId)
{
    fake.dialogs.push_back({hOwner != nullptr, szSubject, szTitle, nStringId});
    return NextAnswer();
}

short ShowCertificateQuestion(const char* szQuestion)
{
    fake.dialogs.push_back({true, szQuestion, "Certificate", 0});
    return NextAnswer();
}

bool TlsBegin(SOCKET, const char* szHost, TextField& szReason)
{
    fake.tls.sHost = szHost;
    CopyField(szReason, fake.tls.sReason.c_str());
    fake.tls.bBegun = !fake.tls.bBeginFails;
    return fake.tls.bBegun;
}

int TlsHandshake(TextField& szReason)
{
    CopyField(szReason, fake.tls.sReason.c_str());
    if (fake.tls.bHandshakeFails) return TLS_FAILED;
    if (fake.tls.nPendingSteps > 0) {
        --fake.tls.nPendingSteps;
        return TLS_PENDING;
    }
    return 1;
}

bool TlsPeerCertificate(PeerCertificate& cert)
{
    std::memcpy(cert.pSha256, fake.tls.pSha256, sizeof cert.pSha256);
    CopyField(cert.szSubject, fake.tls.sSubject.c_str());
    cert.nProblem = static_cast<CertProblem>(fake.tls.nProblem);
    return fake.tls.bCertificate;
}

int TlsReceive(char* pOut, int nRoom, TextField& szReason)
{
    if (fake.tls.sIncoming.empty()) {
        CopyField(szReason, fake.tls.sReason.c_str());
        if (fake.tls.bFailsAtEnd) return TLS_FAILED;
        return fake.tls.bClosesAtEnd ? TLS_CLOSED : TLS_PENDING;
    }
    size_t n = std::min({fake.tls.nPiece, fake.tls.sIncoming.size(), static_cast<size_t>(nRoom)});
    std::memcpy(pOut, fake.tls.sIncoming.data(), n);
    fake.tls.sIncoming.erase(0, n);
    return static_cast<int>(n);
}

bool TlsSend(const char* pData, int nLen)
{
    fake.tls.sSent.append(pData, static_cast<size_t>(nLen));
    return true;
}

void TlsEnd()
{
    if (fake.tls.bBegun) ++fake.tls.nEnds;
    fake.tls.bBegun = false;
}
