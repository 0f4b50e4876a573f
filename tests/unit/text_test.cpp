// The text primitives: the edge cases of each scanner, and loops over all 256
// byte values for the character classes they stop at.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "irc/text.h"

namespace {

typedef void (*Scanner)(const char*, short&);

struct ScanCase {
    const char* szWhat;
    Scanner pfnScan;
    const char* szText;
    short nStart;
    short nExpected;
};

const ScanCase kScanCases[] = {
    {"SkipBlanks does not move at a tab", SkipBlanks, "\tx", 0, 0},
    {"SkipBlanks stops on the first non-blank", SkipBlanks, "   x", 0, 3},
    {"SkipBlanks may stop on the NUL", SkipBlanks, "a   ", 1, 4},
    {"SkipWord stops on the CR of a word that ends the line", SkipWord, "PING\r\n", 0, 4},
    {"SkipWord stops on the blank before the next word", SkipWord, "one two", 0, 3},
    {"SkipWord stops on a bare LF", SkipWord, "ab\n", 0, 2},
    {"SkipWord does not move at a blank", SkipWord, " x", 0, 0},
    {"SkipWord passes a tab", SkipWord, "a\tb c", 0, 3},
    {"SkipToReturn on a line ending in LF alone stops at the LF", SkipToReturn, "abc\n", 0, 3},
    {"SkipToReturn stops at the CR of CR LF", SkipToReturn, "ab\r\n", 0, 2},
    {"SkipToNewline passes the CR and stops at the LF", SkipToNewline, "ab\r\ncd", 0, 3},
    {"SkipToNewline stops at the NUL", SkipToNewline, "abc", 1, 3},
};

TEST(TextPrimitives, ScannersStopWhereTheyShould)
{
    for (const ScanCase& c : kScanCases) {
        short nPos = c.nStart;
        c.pfnScan(c.szText, nPos);
        EXPECT_EQ(c.nExpected, nPos) << c.szWhat;
    }
}

TEST(TextPrimitives, ScannersStopOnlyAtTheirCharacters)
{
    for (int b = 1; b < 256; ++b) {
        char szText[3] = {static_cast<char>(b), 'x', '\0'};
        short nPos = 0;
        SkipBlanks(szText, nPos);
        EXPECT_EQ(b == ' ' ? 1 : 0, nPos) << "SkipBlanks over byte " << b;

        nPos = 0;
        SkipWord(szText, nPos);
        bool bWordEnd = b == ' ' || b == '\r' || b == '\n';
        EXPECT_EQ(bWordEnd ? 0 : 2, nPos) << "SkipWord over byte " << b;

        nPos = 0;
        SkipToReturn(szText, nPos);
        EXPECT_EQ(b == '\r' || b == '\n' ? 0 : 2, nPos) << "SkipToReturn over byte " << b;

        nPos = 0;
        SkipToNewline(szText, nPos);
        EXPECT_EQ(b == '\n' ? 0 : 2, nPos) << "SkipToNewline over byte " << b;
    }
}

struct NumberCase {
    const char* szText;
    short nValue;
    short nEnd;
};

const NumberCase kNumberCases[] = {
    {"123 x", 123, 3},      {"a12", 0, 0},        {"", 0, 0},
    {"-5", 0, 0},           {"+5", 0, 0},         {" 5", 0, 0},
    {"007", 7, 3},          {"32767", 32767, 5},  {"32768", -32768, 5},
    {"65535", -1, 5},       {"65536", 0, 5},      {"65537", 1, 5},
    {"99999", -31073, 5},   {"123456789012", 6676, 12},
};

TEST(TextPrimitives, ReadNumberIsDecimalModulo65536)
{
    for (const NumberCase& c : kNumberCases) {
        short nPos = 0;
        EXPECT_EQ(c.nValue, ReadNumber(c.szText, nPos)) << '"' << c.szText << '"';
        EXPECT_EQ(c.nEnd, nPos) << '"' << c.szText << '"';
    }
}

TEST(TextPrimitives, ReadNumberAgreesWithArithmeticOverTheWholeRange)
{
    for (long v = 0; v < 200000; v += 7) {
        std::string s = std::to_string(v);
        short nPos = 0;
        long nWrapped = v % 65536;
        EXPECT_EQ(static_cast<short>(nWrapped >= 32768 ? nWrapped - 65536 : nWrapped), ReadNumber(s.c_str(), nPos)) << v;
    }
}

struct CompareCase {
    const char* szWhat;
    const char* a;
    const char* b;
    unsigned n;
    bool bEqual;
};

const CompareCase kCompareCases[] = {
    {"a command word in mixed case with its blank", "Join #a", "JOIN", 4, true},
    {"two short texts differing in case end at the same place", "ab", "AB", 5, true},
    {"a shorter word is not a prefix of a longer one", "abc def", "abcdef", 6, false},
    {"PIN does not match PING", "PIN", "PING", 4, false},
    {"anything may follow the compared prefix", "pingpong", "PING", 4, true},
    {"the blank is compared when it is counted", "JOIN\r\n", "JOIN ", 5, false},
    {"only ASCII letters are folded", "\xC9t\xE9", "\xE9t\xE9", 3, false},
    {"bytes over 127 equal themselves", "caf\xC3\xA9", "CAF\xC3\xA9", 5, true},
    {"a count of zero compares nothing and differs", "abc", "abc", 0, false},
    {"empty against empty", "", "", 3, true},
    {"empty against a word", "", "PING", 4, false},
};

TEST(TextPrimitives, CompareNoCaseIsAPrefixTest)
{
    for (const CompareCase& c : kCompareCases)
        EXPECT_EQ(c.bEqual, CompareNoCase(c.a, c.b, c.n) == 0) << c.szWhat;
}

TEST(TextPrimitives, CompareNoCaseFoldsExactlyTheAsciiLetters)
{
    for (int x = 1; x < 256; ++x) {
        for (int y = 1; y < 256; ++y) {
            char a[2] = {static_cast<char>(x), '\0'};
            char b[2] = {static_cast<char>(y), '\0'};
            bool bSameLetter = x == y || ((x | 0x20) == (y | 0x20) && (x | 0x20) >= 'a' && (x | 0x20) <= 'z');
            ASSERT_EQ(bSameLetter, CompareNoCase(a, b, 1) == 0) << x << " against " << y;
        }
    }
}

struct FieldCase {
    const char* szWhat;
    const char* szLine;
    short nStart;
    char c;
    short nExpected;
};

const FieldCase kFieldCases[] = {
    {"one colon is stepped over", "nick :#chan", 0, ':', 6},
    {"a second colon stays", "nick ::x", 0, ':', 6},
    {"no colon, no step", "nick #chan", 0, ':', 5},
    {"the equals sign of a names reply", "Ravkel = #chan :a b", 0, '=', 8},
    {"at the end of the text", "nick", 0, ':', 4},
};

TEST(TextPrimitives, SkipFieldStepsOverOneMarker)
{
    for (const FieldCase& c : kFieldCases) {
        short nPos = c.nStart;
        SkipField(c.szLine, nPos, c.c);
        EXPECT_EQ(c.nExpected, nPos) << c.szWhat;
    }
}

TEST(TextPrimitives, CopyFieldStopsAtTheLengthTheNulAnd255)
{
    TextField sz;
    std::string sLong(300, 'x');
    CopyField(sz, sLong.c_str());
    EXPECT_EQ(std::string(255, 'x'), sz);

    CopyField(sz, "abcdef", 3);
    EXPECT_STREQ("abc", sz);

    CopyField(sz, "ab", 10);
    EXPECT_STREQ("ab", sz);

    CopyField(sz, "", 10);
    EXPECT_STREQ("", sz);

    // A 322 row with a long UTF-8 topic: the field ends before the character
    // that would pass byte 255, whichever byte of it that is.
    for (size_t nBefore : {251u, 252u, 253u, 254u, 255u}) {
        std::string sText = std::string(nBefore, 't') + "\xF0\x9F\x98\x80" + "tail";
        CopyField(sz, sText.c_str());
        EXPECT_EQ(sText.substr(0, nBefore + 4 <= 255 ? nBefore + 4 : nBefore), sz) << nBefore;
    }
    std::string sLatin(254, 'l');
    CopyField(sz, (sLatin + "\xE9\xE9").c_str());
    EXPECT_EQ(sLatin + "\xE9", sz) << "bytes that are not UTF-8 are cut where they stand";
}

TEST(TextPrimitives, TextBuilderDropsWhatDoesNotFit)
{
    char buf[8];
    TextBuilder text(buf, sizeof buf);
    text.Add("abc").Add("defgh").Add("ij");
    EXPECT_STREQ("abcdefg", buf);
    EXPECT_EQ(7u, text.Length());

    text.Truncate(2);
    text.Add("Z", 5);  // a length beyond the piece stops at its NUL
    EXPECT_STREQ("abZ", buf);

    text.Add("\xC3\xA9\xE2\x98\x83");
    EXPECT_STREQ("abZ\xC3\xA9", buf) << "the snowman does not fit whole";
}

}  // namespace
