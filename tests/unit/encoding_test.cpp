// Bytes to characters and back: UTF-8 where a text is valid UTF-8, the whole
// text as Windows-1252 otherwise; the cut that never splits a character.
#include <gtest/gtest.h>

#include <string>

#include "irc/encoding.h"

namespace {

std::u16string Decode(const std::string& s)
{
    std::u16string sOut(s.size(), u'\0');
    sOut.resize(DecodeText(s.data(), s.size(), &sOut[0]));
    return sOut;
}

std::string Encode(const std::u16string& s, size_t nRoom = 64)
{
    std::string sOut(nRoom, '\0');
    sOut.resize(EncodeUtf8(s.data(), s.size(), &sOut[0], nRoom));
    return sOut;
}

struct DecodeCase {
    const char* szWhat;
    std::string sBytes;
    std::u16string sChars;
};

const DecodeCase kDecodes[] = {
    {"ASCII and the control characters stay as they are", "a\x01\x02\x03z\t\r\n", u"a\x01\x02\x03z\t\r\n"},
    {"a NUL inside the text", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    {"two bytes", "caf\xC3\xA9 \xC2\x80 \xDF\xBF", u"caf\u00E9 \u0080 \u07FF"},
    {"three bytes", "\xE2\x98\x83 \xE0\xA0\x80 \xEF\xBF\xBD \xED\x9F\xBF", u"\u2603 \u0800 \uFFFD \uD7FF"},
    {"four bytes, as a surrogate pair", "\xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF", u"\U0001F600 \U0010FFFF"},
    {"Greek and Chinese", "\xCE\x95\xCE\xBB \xE4\xB8\xAD\xE6\x96\x87", u"Ελ 中文"},
    {"an overlong two-byte form is Windows-1252", "\xC0\x80", u"\u00C0\u20AC"},
    {"an overlong C1 form", "\xC1\xBF", u"\u00C1\u00BF"},
    {"an overlong three-byte form", "\xE0\x9F\xBF", u"\u00E0\u0178\u00BF"},
    {"an overlong four-byte form", "\xF0\x8F\xBF\xBF", u"\u00F0\u008F\u00BF\u00BF"},
    {"a surrogate half in UTF-8", "\xED\xA0\x80", u"\u00ED\u00A0\u20AC"},
    {"past U+10FFFF", "\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC"},
    {"a five-byte lead", "\xF8\x88\x80\x80\x80", u"\u00F8\u02C6\u20AC\u20AC\u20AC"},
    {"a sequence cut short at the end", "ok \xE2\x98", u"ok \u00E2\u02DC"},
    {"a sequence cut short by ASCII", "\xE2\x98x", u"\u00E2\u02DCx"},
    {"a lone continuation byte", "\x80 \xBF", u"\u20AC \u00BF"},
    {"one bad byte makes the whole text Windows-1252", "\xC3\xA9 caf\xE9", u"\u00C3\u00A9 caf\u00E9"},
    {"Windows-1252 0x80 to 0x9F, the unassigned five as C1 controls",
     "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
     "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F",
     u"€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ"},
    {"Windows-1252 0xA0 to 0xFF is Latin-1", "\xA0\xA9\xBD\xC0\xDF\xE9\xFF", u"\u00A0©½Àßéÿ"},
};

TEST(Encoding, DecodesUtf8OrTheWholeTextAsWindows1252)
{
    for (const DecodeCase& c : kDecodes) EXPECT_EQ(c.sChars, Decode(c.sBytes)) << c.szWhat;
}

TEST(Encoding, EveryByteAloneIsOneCharacter)
{
    for (int b = 0; b < 256; ++b) {
        std::string s(1, static_cast<char>(b));
        ASSERT_EQ(1u, Decode(s).size()) << b;
        EXPECT_EQ(b < 0x80, IsUtf8(s.data(), 1)) << b;
        if (b < 0x80 || b >= 0xA0) {
            EXPECT_EQ(static_cast<char16_t>(b), Decode(s)[0]) << b;
        }
    }
}

struct EncodeCase {
    const char* szWhat;
    std::u16string sChars;
    size_t nRoom;
    std::string sBytes;
};

const EncodeCase kEncodes[] = {
    {"ASCII", u"hello", 64, "hello"},
    {"one to four bytes", u"é☃😀", 64, "\xC3\xA9\xE2\x98\x83\xF0\x9F\x98\x80"},
    {"a lone high surrogate", u"a\xD83D" u"b", 64, "a\xEF\xBF\xBD" "b"},
    {"a lone low surrogate at the end", u"a\xDE00", 64, "a\xEF\xBF\xBD"},
    {"a character that does not fit is left out whole", u"ab☃", 5, "ab"},
    {"a pair that does not fit is left out whole", u"a😀", 5, "a"},
    {"exactly fits with the NUL", u"a😀", 6, "a\xF0\x9F\x98\x80"},
    {"room for the NUL only", u"abc", 1, ""},
};

TEST(Encoding, EncodesUtf16AsUtf8WithinTheRoom)
{
    for (const EncodeCase& c : kEncodes) EXPECT_EQ(c.sBytes, Encode(c.sChars, c.nRoom)) << c.szWhat;
}

TEST(Encoding, ToUtf8KeepsUtf8AndConvertsWindows1252)
{
    char szOut[16];
    EXPECT_EQ(5u, ToUtf8("Zo\xC3\xAB \xE2\x98\x83", 8, szOut, 7)) << "cut before the snowman";
    EXPECT_EQ(std::string("Zo\xC3\xAB "), std::string(szOut));
    EXPECT_EQ(std::string("Zo\xC3\xAB \xE2\x82\xAC"), (ToUtf8("Zo\xEB \x80", 5, szOut, sizeof szOut), szOut));
    EXPECT_EQ(std::string("caf"), (ToUtf8("caf\xE9", 4, szOut, 5), szOut)) << "é takes two bytes, one is left";
}

// A character of each length, cut at each of its bytes: the cut goes before
// it; a cut between characters stays where it is.
TEST(Encoding, TheCutNeverSplitsACharacter)
{
    for (std::string sChar : {"\xC3\xA9", "\xE2\x98\x83", "\xF0\x9F\x98\x80"}) {
        std::string sText = "ab" + sChar + "cd";
        for (size_t nMax = 0; nMax <= sText.size(); ++nMax) {
            size_t nCut = Utf8CutLength(sText.data(), sText.size(), nMax);
            size_t nExpected = nMax > 2 && nMax < 2 + sChar.size() ? 2 : nMax;
            EXPECT_EQ(nExpected, nCut) << sChar.size() << "-byte character, cut at " << nMax;
        }
    }
    EXPECT_EQ(3u, Utf8CutLength("ab\xE9\x98" "A", 5, 3)) << "not UTF-8: cut where it stands";
    EXPECT_EQ(3u, Utf8CutLength("ab\x80\x80\x80\x80", 6, 3)) << "continuation bytes with no lead";
    EXPECT_EQ(4u, Utf8CutLength("abcd", 4, 10)) << "a text within the limit is whole";
}

}  // namespace
