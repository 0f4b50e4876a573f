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

char pTexts[TEXT_CAPACITY + 1];
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
int ExtendParagraph(const char* pPiece, int nChars, bool& bPieceExact)
{
    for (int i = 0; i < nChars; ++i)
        if (static_cast<unsigned char>(pPiece[i]) < ' ') bPieceExact = false;  // tabs and lone CR or LF
    nOpenWidth += pfnTextWidth(pPiece, nChars);
    if (nOpenWidth > nFormatWidth) bPieceExact = false;
    int nNow = LinesOf(nOpenWidth);
    int nAdded = nNow - nOpenLines;
    nOpenLines = nNow;
    return nAdded;
}

int CountAddedLines(const char* s, int nLen, bool& bTextExact)
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
    std::memmove(pTexts, pTexts + nBase, static_cast<size_t>(nTextEnd - nBase));
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
const char* AfterLineBreaks(const char* s, int nBreaks)
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
const char* TextFrom(int nFrom)
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

const char* UnfedText()
{
    int i = nHeldCount;
    while (i > 0 && !Held(i - 1).bFed) --i;
    return i < nHeldCount ? pTexts + Held(i).nOffset : "";
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
    int nLen = static_cast<int>(std::strlen(szText));
    if (nLen > TEXT_CAPACITY / 4) return false;
    if (nLines > TRIM_ABOVE_LINES) {
        nTop += TRIM_LINES;
        nLines -= TRIM_LINES;
        ForgetTrimmed();
    }
    HeldText text = {0, nLen, nTop + nLines - 1, 0, true, false};
    nLines += CountAddedLines(szText, nLen, text.bExactLines);
    if (!text.bExactLines) bExact = false;
    if (nLen == 0) return true;
    bool bClosed = nLen >= 2 && szText[nLen - 2] == '\r' && szText[nLen - 1] == '\n';
    text.nLastTextLine = nTop + nLines - (bClosed ? 2 : 1);
    MakeRoom(nLen);
    text.nOffset = nTextEnd;
    std::memcpy(pTexts + nTextEnd, szText, static_cast<size_t>(nLen));
    nTextEnd += nLen;
    held[nFirstHeld + nHeldCount++] = text;
    return true;
}

OutputFeed TakeOutputFeed(bool bBurstOver)
{
    OutputFeed feed = {false, 0, "", 0, 0, bExact};
    if (bBurstOver) bStarted = false;
    pTexts[nTextEnd] = '\0';
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
