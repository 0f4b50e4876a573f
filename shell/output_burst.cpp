#include "shell/output_burst.h"

#include <climits>
#include <cstring>

namespace {

// Enough for the 300 displayed lines that can be in play before a trim,
// even of the narrowest characters.
const int TEXT_CAPACITY = 128 * 1024;
const int MAX_HELD = 4096;
// The fewest lines a trim leaves: a feed during a burst gives no fewer.
const int KEPT_LINES = TRIM_ABOVE_LINES - TRIM_LINES + 1;

// Lines are counted from the pane's first displayed line at the start of
// the burst, as if the pane never lost any.
struct HeldText {
    int nOffset;
    int nLength;
    int nFirstLine;     // the line its first character went to
    int nLastTextLine;  // the line of its last character other than a final line break
    bool bExactLines;   // each of its lines exactly one displayed line
    bool bFed;          // given to the pane already
};

WideChar pTexts[TEXT_CAPACITY + 1];
int nTextEnd = 0;
HeldText held[MAX_HELD];
int nFirstHeld = 0;
int nHeldCount = 0;

bool bStarted = false;
bool bExact = true;
TextWidthFn pfnTextWidth = nullptr;
int nFormatWidth = 1;
int nTop = 0;          // the first line of the pane that appends one by one would have
int nLines = 1;        // and its displayed lines
int nOpenWidth = 0;    // the width of the text on its last paragraph
int nOpenLines = 1;    // and the lines that paragraph takes
int nShownTop = 0;     // the first line of the control's text
int nShownEnd = 1;     // one past its last line

int LinesOf(int nWidth) { return nWidth <= nFormatWidth ? 1 : (nWidth - 1) / nFormatWidth + 1; }

// A piece without line breaks goes on the last paragraph; the displayed
// lines that adds.
int ExtendParagraph(const WideChar* pPiece, int nChars, bool& bPieceExact)
{
    // Tabs, lone CR or LF, and characters whose width the table of the
    // pane's font may not give.
    for (int i = 0; i < nChars; ++i)
        if (pPiece[i] < u' ' || pPiece[i] > 0xFF) bPieceExact = false;
    nOpenWidth += pfnTextWidth(pPiece, nChars);
    if (nOpenWidth > nFormatWidth) bPieceExact = false;
    int nNow = LinesOf(nOpenWidth);
    int nAdded = nNow - nOpenLines;
    nOpenLines = nNow;
    return nAdded;
}

int CountAddedLines(const WideChar* s, int nLen, bool& bTextExact)
{
    int nAdded = 0;
    int nPiece = 0;
    for (int i = 0; i + 1 < nLen; ++i) {
        if (s[i] != '\r' || s[i + 1] != '\n') continue;
        if (i > nPiece) nAdded += ExtendParagraph(s + nPiece, i - nPiece, bTextExact);
        ++nAdded;  // the line break opens a new, empty line
        nOpenWidth = 0;
        nOpenLines = 1;
        nPiece = i + 2;
        ++i;
    }
    if (nLen > nPiece) nAdded += ExtendParagraph(s + nPiece, nLen - nPiece, bTextExact);
    return nAdded;
}

HeldText& Held(int i) { return held[nFirstHeld + i]; }

void ForgetTrimmed()
{
    while (nHeldCount > 0 && Held(0).nLastTextLine < nTop) {
        ++nFirstHeld;
        --nHeldCount;
    }
}

void Compact()
{
    int nBase = nHeldCount > 0 ? Held(0).nOffset : nTextEnd;
    std::memmove(pTexts, pTexts + nBase, static_cast<size_t>(nTextEnd - nBase) * sizeof pTexts[0]);
    nTextEnd -= nBase;
    for (int i = 0; i < nHeldCount; ++i) {
        held[i] = Held(i);
        held[i].nOffset -= nBase;
    }
    nFirstHeld = 0;
}

// Only texts that add no displayed lines (no line break, no width) can pile
// up this far; the oldest of them go, and the pane is no longer exact.
void MakeRoom(int nLen)
{
    if (nFirstHeld + nHeldCount < MAX_HELD && nTextEnd + nLen <= TEXT_CAPACITY) return;
    while (nHeldCount > 0 && (nHeldCount == MAX_HELD || nTextEnd - Held(0).nOffset + nLen > TEXT_CAPACITY)) {
        ++nFirstHeld;
        --nHeldCount;
        bExact = false;
    }
    Compact();
}

// The text after its first nBreaks line breaks.
const WideChar* AfterLineBreaks(const WideChar* s, int nBreaks)
{
    for (; nBreaks > 0 && *s; ++s)
        if (s[0] == '\r' && s[1] == '\n') {
            ++s;
            --nBreaks;
        }
    return s;
}

// The held texts from the one that reaches line nFrom on, for a control
// emptied first. Lines of the first of them above the top are cut off when
// each is known to be one displayed line; otherwise that text is left out,
// unless it is the newest, which is never cut.
const WideChar* TextFrom(int nFrom)
{
    int i = 0;
    while (i + 1 < nHeldCount && Held(i).nLastTextLine < nFrom) ++i;
    const HeldText& first = Held(i);
    nShownTop = first.nFirstLine;
    int nAbove = nTop - first.nFirstLine;
    if (nAbove <= 0 || i + 1 == nHeldCount) return pTexts + first.nOffset;
    if (first.bExactLines) {
        nShownTop = nTop;
        return AfterLineBreaks(pTexts + first.nOffset, nAbove);
    }
    nShownTop = Held(i + 1).nFirstLine;
    return pTexts + Held(i + 1).nOffset;
}

const WideChar* UnfedText()
{
    int i = nHeldCount;
    while (i > 0 && !Held(i - 1).bFed) --i;
    return i < nHeldCount ? pTexts + Held(i).nOffset : u"";
}

}  // namespace

void StartOutputBurst(const PaneState& pane, TextWidthFn pfnWidth)
{
    bStarted = true;
    pfnTextWidth = pfnWidth;
    // A pane not laid out yet does not wrap.
    nFormatWidth = pane.nFormatWidth > 0 ? pane.nFormatWidth : INT_MAX;
    nLines = pane.nLines > 0 ? pane.nLines : 1;
    nTop = 0;
    nShownTop = 0;
    nShownEnd = nLines;
    nOpenWidth = 0;
    nOpenLines = 1;
    // The width of text already on the pane's last line is not known.
    bExact = !pane.bLastLineOpen && pane.nFormatWidth > 0;
    nTextEnd = 0;
    nFirstHeld = 0;
    nHeldCount = 0;
}

bool OutputBurstStarted() { return bStarted; }

bool HoldOutput(const char* szText)
{
    int nBytes = static_cast<int>(std::strlen(szText));
    if (nBytes > TEXT_CAPACITY / 4) return false;
    if (nLines > TRIM_ABOVE_LINES) {
        nTop += TRIM_LINES;
        nLines -= TRIM_LINES;
        ForgetTrimmed();
    }
    if (nBytes == 0) return true;
    // Room for as many units as bytes, the most a text decodes to.
    MakeRoom(nBytes);
    WideChar* pText = pTexts + nTextEnd;
    int nLen = static_cast<int>(DecodeText(szText, static_cast<size_t>(nBytes), pText));
    HeldText text = {nTextEnd, nLen, nTop + nLines - 1, 0, true, false};
    nLines += CountAddedLines(pText, nLen, text.bExactLines);
    if (!text.bExactLines) bExact = false;
    bool bClosed = nLen >= 2 && pText[nLen - 2] == u'\r' && pText[nLen - 1] == u'\n';
    text.nLastTextLine = nTop + nLines - (bClosed ? 2 : 1);
    nTextEnd += nLen;
    held[nFirstHeld + nHeldCount++] = text;
    return true;
}

OutputFeed TakeOutputFeed(bool bBurstOver)
{
    OutputFeed feed = {false, 0, u"", 0, 0, bExact};
    if (bBurstOver) bStarted = false;
    pTexts[nTextEnd] = u'\0';
    int nEnd = nTop + nLines;
    if (nHeldCount > 0) {
        const HeldText& newest = Held(nHeldCount - 1);
        feed.nNewestChars = newest.nLength;
        feed.nNewestLines = newest.nLastTextLine - newest.nFirstLine + 1;
    }
    // The control's text is all above the top now, or the burst is over and
    // older lines were left out of it: it starts afresh.
    if (nHeldCount > 0 && (nTop >= nShownEnd || (bBurstOver && nTop < nShownTop))) {
        int nFrom = nTop;
        if (!bBurstOver && nEnd - KEPT_LINES > nFrom) nFrom = nEnd - KEPT_LINES;
        feed.bEmptyPane = true;
        feed.pText = TextFrom(nFrom);
    } else {
        if (nTop > nShownTop) {
            feed.nCutBefore = nTop - nShownTop;
            nShownTop = nTop;
        }
        feed.pText = UnfedText();
    }
    for (int i = 0; i < nHeldCount; ++i) Held(i).bFed = true;
    nShownEnd = nEnd;
    return feed;
}

void OutputLinesCut(int nLinesCut) { nShownTop += nLinesCut; }
