// StripFormatCodes: each code and the numbers it takes.
#include <gtest/gtest.h>

#include <string>

#include "irc/format_codes.h"

namespace {

struct StripCase {
    const char* szWhat;
    const char* szText;
    const char* szShown;
};

const StripCase kStripCases[] = {
    {"plain text", "hello, world 1,2", "hello, world 1,2"},
    {"bold, reset, monospace, reverse, italic, strike-through, underline",
     "\x02" "a\x0F" "b\x11" "c\x16" "d\x1D" "e\x1E" "f\x1F" "g", "abcdefg"},
    {"a colour with one and two digits", "\x03" "4red \x03" "04red", "red red"},
    {"a third digit is text", "\x03" "123", "3"},
    {"a colour with a background", "\x03" "4,12x \x03" "04,1y", "x y"},
    {"a comma without a number is text", "\x03" "4,x", ",x"},
    {"a colour code alone ends the colour", "\x03,5 ok\x03", ",5 ok"},
    {"a hex colour takes six digits", "\x04" "FF00aa" "text", "text"},
    {"a hex colour with a background", "\x04" "FF00aa,000000" "text", "text"},
    {"fewer than six hex digits are text", "\x04" "cafe!", "cafe!"},
    {"a short hex background leaves the comma", "\x04" "FF00aa,12x", ",12x"},
    {"codes at the end", "end\x03" "12,", "end,"},
    {"UTF-8 around codes", "caf\xC3\xA9\x02 \xE2\x98\x83", "caf\xC3\xA9 \xE2\x98\x83"},
    {"only codes", "\x02\x03\x04\x0F", ""},
    {"other control characters stay", "\x01\x05\x1B\x7F\t", "\x01\x05\x1B\x7F\t"},
};

TEST(FormatCodes, AreTakenOutAndTheTextBetweenThemKept)
{
    for (const StripCase& c : kStripCases) {
        std::string sText = c.szText;
        size_t nLen = StripFormatCodes(&sText[0]);
        EXPECT_EQ(c.szShown, std::string(sText.c_str())) << c.szWhat;
        EXPECT_EQ(std::string(c.szShown).size(), nLen) << c.szWhat;
    }
}

}  // namespace
