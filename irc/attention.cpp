#include "irc/attention.h"

#include <cstring>

#include "irc/text.h"

namespace {

// Letters, digits, the specials of RFC 2812 ("[]\`_^{|}") and "-", and the
// bytes of UTF-8 characters.
bool IsNickCharacter(char c)
{
    unsigned char b = static_cast<unsigned char>(c);
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b >= 0x80 ||
           (c != '\0' && std::strchr("[]\\`_^{|}-", c) != nullptr);
}

}  // namespace

bool NamesNickname(const char* pText, const char* szNick)
{
    size_t nNick = std::strlen(szNick);
    if (nNick == 0) return false;
    for (const char* p = pText; *p != '\0' && *p != '\r' && *p != '\n'; ++p) {
        bool bStartsWord = p == pText || !IsNickCharacter(p[-1]);
        // A match covers the whole nickname: it cannot end before the text does.
        if (bStartsWord && CompareNoCase(p, szNick, static_cast<unsigned>(nNick)) == 0 && !IsNickCharacter(p[nNick]))
            return true;
    }
    return false;
}
