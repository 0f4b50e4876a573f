#include "irc/format_codes.h"

namespace {

const char COLOUR = '\x03';
const char HEX_COLOUR = '\x04';

// The codes are control characters; a bit for each, by its value.
const unsigned PLAIN_CODES = 1u << 0x02 | 1u << 0x0F | 1u << 0x11 | 1u << 0x16 | 1u << 0x1D | 1u << 0x1E | 1u << 0x1F;
const unsigned ALL_CODES = PLAIN_CODES | 1u << COLOUR | 1u << HEX_COLOUR;

bool IsIn(unsigned nCodes, char c)
{
    unsigned char b = static_cast<unsigned char>(c);
    return b < 32 && (nCodes >> b & 1u) != 0;
}

bool IsPlainCode(char c) { return IsIn(PLAIN_CODES, c); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Past at most nMax characters of a class; p stops at the NUL anyway.
const char* SkipUpTo(const char* p, bool (*pfnIs)(char), int nMax)
{
    for (int i = 0; i < nMax && pfnIs(*p); ++i) ++p;
    return p;
}

// Exactly six hex digits, or none.
const char* SkipHexColour(const char* p)
{
    const char* pEnd = SkipUpTo(p, IsHexDigit, 6);
    return pEnd - p == 6 ? pEnd : p;
}

// The colour numbers after a colour code: a foreground, and a background
// after a comma only when the foreground is there and the comma has its
// number.
const char* SkipColourNumbers(const char* p, bool bHex)
{
    const char* pFore = bHex ? SkipHexColour(p) : SkipUpTo(p, IsDigit, 2);
    if (pFore == p || *pFore != ',') return pFore;
    const char* pBack = bHex ? SkipHexColour(pFore + 1) : SkipUpTo(pFore + 1, IsDigit, 2);
    return pBack == pFore + 1 ? pFore : pBack;
}

}  // namespace

size_t StripFormatCodes(char* szText)
{
    // Most lines hold no code: they are only read, and only a control
    // character (below 0x20) can be a code or the end.
    const char* pIn = szText;
    while (static_cast<unsigned char>(*pIn) >= 0x20 || (*pIn != '\0' && !IsIn(ALL_CODES, *pIn))) ++pIn;
    char* pOut = szText + (pIn - szText);
    while (*pIn != '\0') {
        char c = *pIn++;
        if (c == COLOUR || c == HEX_COLOUR)
            pIn = SkipColourNumbers(pIn, c == HEX_COLOUR);
        else if (!IsPlainCode(c))
            *pOut++ = c;
    }
    *pOut = '\0';
    return static_cast<size_t>(pOut - szText);
}
