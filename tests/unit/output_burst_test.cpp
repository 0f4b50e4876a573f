// Appends held during a burst against appends one by one, on a stand-in
// for the edit control whose characters are all 10 pixels wide and whose
// lines hold 100 pixels. It wraps as the control does, by words: a word
// that does not fit goes to the next line, so a paragraph of n characters
// may take more than the ceil(n / 10) displayed lines the burst counts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/output_burst.h"

namespace {

const int CHAR_WIDTH = 10;
const int FORMAT_WIDTH = 100;
const size_t LINE_CHARS = FORMAT_WIDTH / CHAR_WIDTH;
// The pane's trim: past 200 displayed lines the oldest 100 go; at least 101
// are left.
const int TRIM_ABOVE = 200;
const int TRIM = 100;
const int KEPT_BY_TRIM = 101;

int Width(const WideChar*, int nChars) { return nChars * CHAR_WIDTH; }

// The ASCII texts of these tests as the pane holds them.
std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

struct FakePane {
    std::u16string sText;

    // The character index where each displayed line begins.
    std::vector<size_t> LineStarts() const
    {
        std::vector<size_t> starts{0};
        size_t nPara = 0;
        for (;;) {
            size_t nBreak = sText.find(u"\r\n", nPara);
            size_t nEnd = nBreak == std::u16string::npos ? sText.size() : nBreak;
            for (size_t n = nPara; nEnd - n > LINE_CHARS;) {
                size_t nBlank = sText.rfind(u' ', n + LINE_CHARS - 1);
                n = nBlank != std::u16string::npos && nBlank >= n ? nBlank + 1 : n + LINE_CHARS;
                starts.push_back(n);
            }
            if (nBreak == std::u16string::npos) return starts;
            nPara = nBreak + 2;
            starts.push_back(nPara);
        }
    }
    int Lines() const { return static_cast<int>(LineStarts().size()); }
    void CutLines(int n, size_t nLimit)
    {
        std::vector<size_t> starts = LineStarts();
        size_t nCut = n < static_cast<int>(starts.size()) ? starts[n] : sText.size();
        sText.erase(0, std::min(nCut, nLimit));
    }
    void AppendOneByOne(const std::string& s)
    {
        if (Lines() > TRIM_ABOVE) CutLines(TRIM, sText.size());
        sText += Wide(s);
    }
    void Take(bool bBurstOver)
    {
        OutputFeed feed = TakeOutputFeed(bBurstOver);
        if (feed.bEmptyPane)
            sText.clear();
        else if (feed.nCutBefore > 0)
            CutLines(feed.nCutBefore, sText.size());
        sText += feed.pText;
        while (!feed.bExact && Lines() > TRIM_ABOVE + feed.nNewestLines &&
               sText.size() > static_cast<size_t>(feed.nNewestChars)) {
            CutLines(TRIM, sText.size() - feed.nNewestChars);
            OutputLinesCut(TRIM);
        }
    }
    PaneState State() const { return {Lines(), !sText.empty() && sText.back() != u'\n', FORMAT_WIDTH}; }
};

bool EndsWith(const std::u16string& s, const std::u16string& sEnd)
{
    return s.size() >= sEnd.size() && s.compare(s.size() - sEnd.size(), sEnd.size(), sEnd) == 0;
}

std::string Line(int n) { return "m" + std::to_string(n) + "\r\n"; }

// Every seventh append carries three lines, as a notice or a paste might.
std::string Append(int n) { return n % 7 ? Line(n) : Line(n) + "+a\r\n+b\r\n"; }

// A line of 25 characters in words of six: counted as three displayed
// lines, wrapped into four.
std::string WrappedLine(int n) { return "wwwwww wwwwww wwwwww ww" + std::to_string(n % 10) + "!\r\n"; }

// A pane of nLines short lines, as appends one by one leave it.
FakePane PaneOf(int nLines)
{
    FakePane pane;
    for (int i = 0; i < nLines; ++i) pane.AppendOneByOne("old" + std::to_string(i) + "\r\n");
    return pane;
}

// Short lines, some appends of several: at the end of the burst the pane is
// what appends one by one leave, whatever the pane held before and however
// often it was fed during the burst; each feed during it shows the newest
// part of that, never less than a trim leaves.
TEST(OutputBurst, HeldShortLinesLeaveThePaneAsAppendsOneByOne)
{
    for (int nOld : {0, 1, 150, 199, 200, 201, 250}) {
        for (int nHeld : {1, 2, 100, 101, 199, 200, 333, 1000}) {
            for (int nEvery : {0, 1, 7, 137}) {
                std::string sWhat = std::to_string(nOld) + " old lines, " + std::to_string(nHeld) +
                                    " held appends, fed every " + std::to_string(nEvery);
                FakePane byOne = PaneOf(nOld), held = byOne;
                StartOutputBurst(held.State(), Width);
                for (int i = 0; i < nHeld; ++i) {
                    byOne.AppendOneByOne(Append(i));
                    ASSERT_TRUE(HoldOutput(Append(i).c_str()));
                    if (!nEvery || i % nEvery != nEvery - 1) continue;
                    held.Take(false);
                    ASSERT_TRUE(EndsWith(byOne.sText, held.sText)) << sWhat << ", at " << i;
                    ASSERT_GE(held.Lines(), std::min(byOne.Lines(), KEPT_BY_TRIM)) << i;
                }
                held.Take(true);
                ASSERT_EQ(byOne.sText, held.sText) << sWhat;
                EXPECT_FALSE(OutputBurstStarted());
            }
        }
    }
}

TEST(OutputBurst, WrappedLinesKeepTheNewestAndTheBound)
{
    for (int nHeld : {1, 30, 67, 68, 100, 1000}) {
        for (int nEvery : {0, 9, 40}) {
            FakePane byOne = PaneOf(120), held = byOne;
            std::u16string sAll = byOne.sText;
            StartOutputBurst(held.State(), Width);
            for (int i = 0; i < nHeld; ++i) {
                std::string s = i % 5 ? WrappedLine(i) : Append(i);
                byOne.AppendOneByOne(s);
                sAll += Wide(s);
                ASSERT_TRUE(HoldOutput(s.c_str()));
                if (nEvery && i % nEvery == 0) held.Take(false);
            }
            held.Take(true);
            std::string sWhat = std::to_string(nHeld) + " held, fed every " + std::to_string(nEvery);
            EXPECT_TRUE(EndsWith(sAll, held.sText)) << sWhat;
            EXPECT_TRUE(EndsWith(held.sText, byOne.sText) || EndsWith(byOne.sText, held.sText)) << sWhat;
            EXPECT_LE(held.Lines(), TRIM_ABOVE + 3) << sWhat;
            EXPECT_GE(held.Lines(), std::min(byOne.Lines(), KEPT_BY_TRIM)) << sWhat;
        }
    }
}

// Behind a line that wraps nothing is exact, and 414 lines are more than the
// trim allows; still the newest append is not cut into.
TEST(OutputBurst, AnAppendOfManyLinesIsNeverSplit)
{
    std::string sMany;
    for (int i = 0; i < 260; ++i) sMany += Line(i);
    FakePane held = PaneOf(250);
    StartOutputBurst(held.State(), Width);
    ASSERT_TRUE(HoldOutput(WrappedLine(1).c_str()));
    ASSERT_TRUE(HoldOutput(sMany.c_str()));
    held.Take(true);
    EXPECT_TRUE(EndsWith(held.sText, Wide(WrappedLine(1) + sMany)));
}

// Text on a line without a line end, and texts that add no lines: not
// exact, but the newest text ends the pane, which holds what it can, and
// what cannot be held is refused.
TEST(OutputBurst, TextThatCannotBeCountedStillEndsThePane)
{
    FakePane held;
    held.sText = u"no line end yet";
    StartOutputBurst(held.State(), Width);
    std::u16string sAll = held.sText;
    for (int i = 0; i < 500; ++i) {
        std::string s = i % 3 ? Line(i) : "part " + std::to_string(i);
        sAll += Wide(s);
        ASSERT_TRUE(HoldOutput(s.c_str()));
    }
    OutputFeed feed = TakeOutputFeed(true);
    EXPECT_FALSE(feed.bExact);
    held.sText = feed.pText;
    EXPECT_TRUE(EndsWith(sAll, held.sText));
    EXPECT_GE(held.Lines(), KEPT_BY_TRIM);

    StartOutputBurst(FakePane().State(), Width);
    EXPECT_FALSE(HoldOutput(std::string(40 * 1024, 'x').c_str()));
    std::string sPiece(60, '\t');
    for (int i = 0; i < 10000; ++i) ASSERT_TRUE(HoldOutput(sPiece.c_str()));
    ASSERT_TRUE(HoldOutput("last\r\n"));
    std::u16string sFed = TakeOutputFeed(true).pText;
    EXPECT_TRUE(EndsWith(sFed, Wide(sPiece + "last\r\n")));
    EXPECT_LE(sFed.size(), 128u * 1024);
}

// Each append is decoded as it is held: UTF-8 where it is UTF-8, otherwise
// the whole append as Windows-1252. Characters past Latin-1 may be drawn at
// other widths than the font's table gives, so their lines are not exact.
TEST(OutputBurst, AppendsAreHeldDecoded)
{
    struct {
        const char* szWhat;
        const char* szAppend;
        const char16_t* szHeld;
        bool bExact;
    } cases[] = {
        {"ASCII", "<a> plain\r\n", u"<a> plain\r\n", true},
        {"UTF-8 Latin-1", "<b> caf\xc3\xa9\r\n", u"<b> caf\u00e9\r\n", true},
        {"Windows-1252", "<c> caf\xe9 \xbd\r\n", u"<c> caf\u00e9 \u00bd\r\n", true},
        {"Windows-1252 beyond Latin-1", "<c> \x80 \x93\r\n", u"<c> \u20ac \u201c\r\n", false},
        {"beyond Latin-1", "<d> \xe2\x98\x83 \xf0\x9f\x98\x80\r\n", u"<d> \u2603 \U0001F600\r\n", false},
    };
    for (const auto& c : cases) {
        StartOutputBurst(FakePane().State(), Width);
        ASSERT_TRUE(HoldOutput("first\r\n"));
        ASSERT_TRUE(HoldOutput(c.szAppend));
        OutputFeed feed = TakeOutputFeed(true);
        EXPECT_EQ(std::u16string(u"first\r\n") + c.szHeld, feed.pText) << c.szWhat;
        EXPECT_EQ(c.bExact, feed.bExact) << c.szWhat;
        EXPECT_EQ(std::char_traits<char16_t>::length(c.szHeld), static_cast<size_t>(feed.nNewestChars)) << c.szWhat;
    }
}

}  // namespace
