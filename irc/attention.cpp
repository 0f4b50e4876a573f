#include "irc/attention.h"

#include <cstring>

#include "irc/text.h"

namespace {

// Letters, digits, the specials of RFC 2812 ("[]\`_^{|}") and "-", and the
// bytes of UTF-8 characters; a table, as every byte of a channel line is
// looked up.
struct NickBytes {
    bool bIn[256];
};

constexpr NickBytes MakeNickBytes()
{
    NickBytes t = {};
    for (int b = 0; b < 256; ++b)
        t.bIn[b] = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b >= 0x80;
    for (const char* p = "[]\\`_^{|}-"; *p != '\0'; ++p) t.bIn[static_cast<unsigned char>(*p)] = true;
    return t;
}

constexpr NickBytes kNickBytes = MakeNickBytes();

bool IsNickCharacter(char c) { return kNickBytes.bIn[static_cast<unsigned char>(c)]; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

// Every channel line is looked through: the full comparison is made only
// where a word begins with the nickname's first letter; the rest of a word
// is stepped over.
bool NamesNickname(const char* pText, const char* szNick)
{
    size_t nNick = std::strlen(szNick);
    if (nNick == 0) return false;
    char cFirst = Lower(szNick[0]);
    const char* p = pText;
    while (*p != '\0' && *p != '\r' && *p != '\n') {
        if (!IsNickCharacter(*p)) {
            ++p;
            continue;
        }
        // A match covers the whole nickname: it cannot end before the text does.
        if (Lower(*p) == cFirst && CompareNoCase(p, szNick, static_cast<unsigned>(nNick)) == 0 &&
            !IsNickCharacter(p[nNick]))
            return true;
        do ++p;
        while (IsNickCharacter(*p));
    }
    return false;
}
