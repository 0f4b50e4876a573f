#include "irc/attention.h"

#include <cstring>

#include "irc/text.h"

namespace {

// Letters, digits, the specials of RFC 2812 ("[]\`_^{|}") and "-", and the
// bytes of UTF-8 characters.
bool IsNickCharacter(char c)
{
    unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b >= 0x80) return true;
    switch (c) {
    case '[': case ']': case '\\': case '`': case '_': case '^': case '{': case '|': case '}': case '-': return true;
    default: return false;
    }
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

// Every channel line is looked through: the full comparison is made only
// where a word begins with the nickname's first letter.
bool NamesNickname(const char* pText, const char* szNick)
{
    size_t nNick = std::strlen(szNick);
    if (nNick == 0) return false;
    char cFirst = Lower(szNick[0]);
    bool bInWord = false;
    for (const char* p = pText; *p != '\0' && *p != '\r' && *p != '\n'; ++p) {
        // A match covers the whole nickname: it cannot end before the text does.
        if (!bInWord && Lower(*p) == cFirst && CompareNoCase(p, szNick, static_cast<unsigned>(nNick)) == 0 &&
            !IsNickCharacter(p[nNick]))
            return true;
        bInWord = IsNickCharacter(*p);
    }
    return false;
}
