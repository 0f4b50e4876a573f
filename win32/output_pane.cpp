#include "win32/output_pane.h"

#include "irc/client_state.h"
#include "irc/send.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "shell/commands.h"
#include "shell/input_line.h"
#include "shell/output_burst.h"
#include "win32/input_keys.h"
#include "win32/redraw.h"
#include "win32/wide_text.h"
#include "irc/seam.h"

namespace {

// The end of the pane's text. The pane can hold more than 32767 characters
// when its lines are long, so the end is asked for rather than assumed.
LPARAM EndOfPane()
{
    return static_cast<LPARAM>(GetWindowTextLengthW(client.hOutputEdit));
}

LRESULT PaneLines() { return SendMessageW(client.hOutputEdit, EM_GETLINECOUNT, 0, 0); }

void ReplaceRange(LPARAM nFrom, LPARAM nTo, const WCHAR* szText)
{
    SendMessageW(client.hOutputEdit, EM_SETSEL, static_cast<WPARAM>(nFrom), nTo);
    SendMessageW(client.hOutputEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(szText));
}

void InsertAtEnd(const WCHAR* szText)
{
    LPARAM nEnd = EndOfPane();
    ReplaceRange(nEnd, nEnd, szText);
}

// Removes the first nLines displayed lines, but no text from nLimit on;
// false when nothing could go.
bool CutTopLines(int nLines, LPARAM nLimit)
{
    LRESULT nCut = SendMessageW(client.hOutputEdit, EM_LINEINDEX, static_cast<WPARAM>(nLines), 0);
    if (nCut < 0 || nCut > nLimit) nCut = nLimit;
    if (nCut <= 0) return false;
    ReplaceRange(0, nCut, L"");
    return true;
}

// Held text is measured in the pane's font (an edit control given no font
// draws with the system font) on a memory device context. With a font whose
// text is as wide as its characters' widths added up, as the check on a
// sample finds, a table of the widths of Latin-1 does it without a call per
// text; other characters are measured (the held text does not count their
// lines as exact).
HDC hMeasureDC = nullptr;
HFONT hMeasuredFont = nullptr;
bool bWidthTable = false;
const int TABLE_CHARS = 256;
INT charWidths[TABLE_CHARS];

int MeasuredWidth(const WideChar* pText, int nChars)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(hMeasureDC, AsWide(pText), nChars, &size);
    return static_cast<int>(size.cx);
}

// The width from the table, or -1 when a character is not in it.
int TableWidth(const WideChar* pText, int nChars)
{
    int nWidth = 0;
    for (int i = 0; i < nChars; ++i) {
        if (pText[i] >= TABLE_CHARS) return -1;
        nWidth += charWidths[pText[i]];
    }
    return nWidth;
}

int PaneTextWidth(const WideChar* pText, int nChars)
{
    int nWidth = bWidthTable ? TableWidth(pText, nChars) : -1;
    return nWidth >= 0 ? nWidth : MeasuredWidth(pText, nChars);
}

void MeasureInFont(HFONT hFont)
{
    if (hMeasureDC != nullptr && hFont == hMeasuredFont) return;
    if (hMeasureDC == nullptr) hMeasureDC = CreateCompatibleDC(nullptr);
    hMeasuredFont = hFont;
    SelectObject(hMeasureDC, hFont != nullptr ? static_cast<HGDIOBJ>(hFont) : GetStockObject(SYSTEM_FONT));
    const WideChar szSample[] = u"<Quick> brown fox, 0123 [it's] {Tiffany & Co} | caf\u00e9 \u00bd";
    const int nChars = static_cast<int>(sizeof szSample / sizeof szSample[0] - 1);
    bWidthTable = GetCharWidth32W(hMeasureDC, 0, TABLE_CHARS - 1, charWidths) &&
                  TableWidth(szSample, nChars) == MeasuredWidth(szSample, nChars);
}

PaneState CurrentPaneState()
{
    HWND hPane = client.hOutputEdit;
    MeasureInFont(reinterpret_cast<HFONT>(SendMessageW(hPane, WM_GETFONT, 0, 0)));
    RECT rcFormat = {0, 0, 0, 0};
    SendMessageW(hPane, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rcFormat));
    // The last line is empty when the text ends with a line break.
    LPARAM nEnd = EndOfPane();
    bool bOpen = nEnd > 0 && SendMessageW(hPane, EM_LINELENGTH, static_cast<WPARAM>(nEnd), 0) > 0;
    return {static_cast<int>(PaneLines()), bOpen, static_cast<int>(rcFormat.right - rcFormat.left)};
}

void CaretToEnd()
{
    LPARAM nEnd = EndOfPane();
    SendMessageW(client.hOutputEdit, EM_SETSEL, static_cast<WPARAM>(nEnd), nEnd);
    SendMessageW(client.hOutputEdit, EM_SCROLLCARET, 0, 0);
}

// Appends one by one: the control's own trim, before the text goes in.
void AppendNow(const char* szText)
{
    if (PaneLines() > TRIM_ABOVE_LINES) CutTopLines(TRIM_LINES, EndOfPane());
    InsertAtEnd(Widen(szText).c_str());
}

}  // namespace

HWND CreateOutputPane(HWND hParent)
{
    HWND hPane = CreateWindowExW(0, L"EDIT", L"",
                                 WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                     ES_READONLY,
                                 0, 0, 0, 0, hParent, nullptr, client.hInstance, nullptr);
    // The trim keeps about 200 displayed lines, which on a wide pane is more
    // than the default limit of the control; without this, appends would be
    // dropped silently.
    SendMessageW(hPane, EM_SETLIMITTEXT, 0, 0);
    return hPane;
}

HWND CreateInputLine(HWND hParent)
{
    HWND hInput = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL,
                                  0, 0, 0, 0, hParent, nullptr, client.hInstance, nullptr);
    SendMessageW(hInput, EM_LIMITTEXT, INPUT_LIMIT, 0);
    client.pfnOldInputProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hInput, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputEditProc)));
    return hInput;
}

void AppendOutput(const char* szText)
{
    HoldRedraw(client.hOutputEdit);
    if (InBurst()) {
        if (!OutputBurstStarted()) StartOutputBurst(CurrentPaneState(), PaneTextWidth);
        if (HoldOutput(szText)) return;
        FeedOutputPane(true);
    }
    AppendNow(szText);
}

void FeedOutputPane(bool bBurstOver)
{
    if (!OutputBurstStarted()) return;
    OutputFeed feed = TakeOutputFeed(bBurstOver);
    bool bInsert = feed.pText[0] != u'\0';
    if (!bInsert && !feed.bEmptyPane && feed.nCutBefore == 0) return;
    HoldRedraw(client.hOutputEdit);
    if (feed.bEmptyPane)
        ReplaceRange(0, -1, L"");
    else if (feed.nCutBefore > 0)
        CutTopLines(feed.nCutBefore, EndOfPane());
    if (bInsert)
        InsertAtEnd(AsWide(feed.pText));
    else
        CaretToEnd();
    if (feed.bExact) return;
    // Lines that wrap more than counted: the trim's bound still holds, and
    // the newest line stays in view.
    bool bCut = false;
    while (PaneLines() > TRIM_ABOVE_LINES + feed.nNewestLines &&
           CutTopLines(TRIM_LINES, EndOfPane() - feed.nNewestChars)) {
        OutputLinesCut(TRIM_LINES);
        bCut = true;
    }
    if (bCut) CaretToEnd();
}

void ScrollOutputToEnd()
{
    FeedOutputPane(true);
    CaretToEnd();
}

LRESULT CALLBACK InputEditProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    // Enter and Ctrl+Enter send; no line break ever enters the input line.
    if (uMsg == WM_CHAR && (wParam == '\r' || wParam == '\n')) {
        PostMessageW(client.hMainWnd, WM_COMMAND, IDC_SEND, 0);
        return 0;
    }
    if (OnInputKey(hWnd, uMsg, wParam)) return 0;
    return CallWindowProcW(client.pfnOldInputProc, hWnd, uMsg, wParam, lParam);
}

// What was typed goes out as UTF-8: up to three bytes for each character
// the input line holds.
void OnSendCommand()
{
    SendMessageW(client.hInputEdit, EM_SETSEL, 0, -1);
    InputText szTyped;
    GetWindowTextUtf8(client.hInputEdit, szTyped, sizeof szTyped);
    RememberTypedLine(szTyped);
    SendInputText(szTyped);
    SendMessageW(client.hInputEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}
