// The output pane's trim rule on the real edit control: a window with the
// pane as the main window creates it, filled through AppendOutput.
#include <windows.h>

#include <cstdio>
#include <string>

#include "irc/client_state.h"
#include "win32/output_pane.h"
#include "win32/redraw.h"
#include "irc/seam.h"

namespace {

int nFailures = 0;

void Expect(bool bOk, const std::string& sWhat, const std::string& sPane)
{
    if (bOk) return;
    ++nFailures;
    std::printf("FAIL: %s\npane (%zu characters): [%s]\n", sWhat.c_str(), sPane.size(),
                sPane.substr(0, 400).c_str());
}

// The pane's UTF-16 text, as UTF-8.
std::string PaneText()
{
    int nLen = GetWindowTextLengthW(client.hOutputEdit);
    std::wstring sWide(static_cast<size_t>(nLen) + 1, L'\0');
    GetWindowTextW(client.hOutputEdit, &sWide[0], nLen + 1);
    std::string s(static_cast<size_t>(nLen) * 3 + 1, '\0');
    int nBytes = WideCharToMultiByte(CP_UTF8, 0, sWide.c_str(), nLen, &s[0], static_cast<int>(s.size()), nullptr, nullptr);
    s.resize(static_cast<size_t>(nBytes > 0 ? nBytes : 0));
    return s;
}

std::string Lines(int nFirst, int nLast)
{
    std::string s;
    for (int i = nFirst; i <= nLast; ++i) s += "line " + std::to_string(i) + "\r\n";
    return s;
}

void ResetPane() { SetWindowTextW(client.hOutputEdit, L""); }

void AppendLines(int nFirst, int nLast)
{
    for (int i = nFirst; i <= nLast; ++i) AppendOutput(("line " + std::to_string(i) + "\r\n").c_str());
}

LRESULT LineCount() { return SendMessageA(client.hOutputEdit, EM_GETLINECOUNT, 0, 0); }

// The text from the first line in view to the end.
std::string InView()
{
    LRESULT nFirst = SendMessageA(client.hOutputEdit, EM_GETFIRSTVISIBLELINE, 0, 0);
    return PaneText().substr(static_cast<size_t>(SendMessageA(client.hOutputEdit, EM_LINEINDEX, nFirst, 0)));
}

// A chat line of about 130 characters, which wraps on a pane 300 pixels wide.
std::string ChatLine(int n)
{
    std::string s = "<talker" + std::to_string(n % 50) + "> " + std::to_string(n);
    while (s.size() < 130) s += " the quick brown fox";
    return s.substr(0, 130) + "\r\n";
}

// nAppends appends after a pane of nOld short lines, once one by one and
// once held as a burst of server data, with a redraw during the burst every
// nRedrawEvery appends (0: none). Gives the two panes' text and what is in
// view.
struct Fed {
    std::string sText, sInView;
};

Fed FeedPane(int nOld, int nAppends, bool bBurst, int nRedrawEvery, std::string (*pfnAppend)(int))
{
    ResetPane();
    AppendLines(1, nOld);
    if (bBurst) BeginBurst();
    for (int i = 0; i < nAppends; ++i) {
        AppendOutput(pfnAppend(i).c_str());
        if (bBurst && nRedrawEvery && i % nRedrawEvery == nRedrawEvery - 1) RedrawDuringBurst();
    }
    RedrawHeld();
    return {PaneText(), InView()};
}

// About 150 bytes of Greek, Chinese, a snowman and an emoji, which wrap.
std::string WorldLine(int n)
{
    std::string s = "<ζ" + std::to_string(n % 50) + "> " + std::to_string(n);
    while (s.size() < 150) s += " Ελληνικά 中文 ☃ 😀";
    return s + "\r\n";
}

std::string ShortLine(int n) { return n % 7 ? "short " + std::to_string(n) + "\r\n" : "three\r\nlines\r\nhere\r\n"; }

}  // namespace

int main()
{
    client.hInstance = GetModuleHandleA(nullptr);
    HWND hParent = CreateWindowExA(0, "STATIC", "pane check", WS_OVERLAPPEDWINDOW, 0, 0, 900, 700, nullptr,
                                   nullptr, client.hInstance, nullptr);
    client.hOutputEdit = CreateOutputPane(hParent);
    MoveWindow(client.hOutputEdit, 0, 30, 800, 600, TRUE);

    AppendLines(1, 200);
    Expect(LineCount() == 201, "200 appends leave 201 lines counted, the last one empty", PaneText());
    AppendLines(201, 201);
    Expect(PaneText() == Lines(101, 201), "the 201st append leaves lines 101 to 201", PaneText());

    ResetPane();
    AppendLines(1, 200);
    AppendOutput("first\r\nsecond\r\nthird\r\n");
    Expect(PaneText() == Lines(101, 200) + "first\r\nsecond\r\nthird\r\n",
           "an append of several lines is never split by the trim", PaneText());

    // 200 lines of 400 characters are far beyond the 32767 characters that a
    // fixed end position would reach; each new line must still go at the end.
    ResetPane();
    MoveWindow(client.hOutputEdit, 0, 0, 4000, 600, TRUE);
    std::string sLong(400, 'x');
    for (int i = 0; i < 150; ++i) AppendOutput((sLong + std::to_string(i) + "\r\n").c_str());
    std::string sPane = PaneText();
    Expect(sPane.size() > 40000, "the pane holds more than 32767 characters", sPane);
    Expect(sPane.size() > 8 && sPane.substr(sPane.size() - 5) == "149\r\n", "the last line appended is at the end",
           sPane.substr(sPane.size() > 400 ? sPane.size() - 400 : 0));

    ResetPane();
    MoveWindow(client.hOutputEdit, 0, 0, 300, 600, TRUE);
    for (int i = 0; i < 60; ++i) AppendOutput((std::string(300, 'w') + "\r\n").c_str());
    Expect(LineCount() <= 201 + 10, "lines that wrap count as several towards the 200", PaneText());

    // Held during a burst: lines no wider than the pane leave exactly what
    // appends one by one leave, in view and above it.
    MoveWindow(client.hOutputEdit, 0, 0, 800, 600, TRUE);
    for (int nAppends : {40, 333}) {
        Fed byOne = FeedPane(150, nAppends, false, 0, ShortLine), held = FeedPane(150, nAppends, true, 0, ShortLine);
        Expect(held.sText == byOne.sText, "a burst of " + std::to_string(nAppends) + " short lines as one by one",
               held.sText);
        Expect(held.sInView == byOne.sInView, "the same lines in view", held.sInView);
        held = FeedPane(150, nAppends, true, 17, ShortLine);
        Expect(held.sText == byOne.sText, "the same with redraws during the burst", held.sText);
    }

    // Lines that wrap: the lines in view are the same and the bound holds;
    // the older lines kept above may differ.
    MoveWindow(client.hOutputEdit, 0, 0, 300, 600, TRUE);
    for (int nRedrawEvery : {0, 29, -29}) {
        std::string (*pfnLine)(int) = nRedrawEvery < 0 ? WorldLine : ChatLine;
        nRedrawEvery = nRedrawEvery < 0 ? -nRedrawEvery : nRedrawEvery;
        Fed byOne = FeedPane(120, 700, false, 0, pfnLine), held = FeedPane(120, 700, true, nRedrawEvery, pfnLine);
        std::string sWhat = std::string(pfnLine == WorldLine ? " of Greek and Chinese" : "") +
                            (nRedrawEvery ? " (redrawn during the burst)" : "");
        Expect(held.sInView == byOne.sInView, "a burst of wrapped lines shows the same lines" + sWhat, held.sInView);
        Expect(LineCount() > 100 && LineCount() <= 201 + 2, "and keeps between 100 and 200 lines" + sWhat, held.sText);
        std::string sAll;
        for (int i = 0; i < 700; ++i) sAll += pfnLine(i);
        Expect(sAll.size() > held.sText.size() && sAll.substr(sAll.size() - held.sText.size()) == held.sText,
               "of the newest lines" + sWhat, held.sText);
    }

    // Each append decoded once: UTF-8, or the whole append as Windows-1252;
    // appended one by one and held during a burst alike.
    const std::string sShown = "<Anna> héllo ☃ 😀 Ελληνικά 中文\r\n<Cleo> café € \x01\r\n";
    for (bool bBurst : {false, true}) {
        ResetPane();
        if (bBurst) BeginBurst();
        AppendOutput("<Anna> héllo ☃ 😀 Ελληνικά 中文\r\n");
        AppendOutput("<Cleo> caf\xE9 \x80 \x01\r\n");
        RedrawHeld();
        Expect(PaneText() == sShown, std::string("the pane holds every language") + (bBurst ? ", held" : ""), PaneText());
    }

    std::printf("output pane check: %s\n", nFailures ? "FAILED" : "passed");
    DestroyWindow(hParent);
    return nFailures ? 1 : 0;
}
