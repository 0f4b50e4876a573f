#include "opponent/options.h"

#include <cstring>

#include "irc/text.h"
#include "opponent/opponent.h"

const char szOpponentUsage[] =
    "usage: kelva-opponent [--server HOST] [--port PORT] [--nick NICK] [--seed N] [--level 1|2|3]\n"
    "                      [--max-games N]\n"
    "A computer player of Go-Moku in the channel #Go-Moku: it plays everybody who invites it.\n"
    "  --server HOST  the IRC server (default localhost)\n"
    "  --port PORT    its port (default 6667)\n"
    "  --nick NICK    the nickname, at most 9 characters (default Computer; a number is added\n"
    "                 when the server says it is in use)\n"
    "  --seed N       makes its moves and coins repeatable (default: from the clock)\n"
    "  --level L      how well it plays: 1 for beginners, 2 between, 3 full strength (default)\n"
    "  --max-games N  plays at most N people at once, from 1 to 10000; the next is told it is\n"
    "                 busy (default 32)\n"
    "  --help         this text\n";

namespace {

// A whole decimal number from 0 to nMax.
bool ReadDecimal(const char* szText, unsigned long long nMax, unsigned long long& nValue)
{
    nValue = 0;
    if (*szText == '\0') return false;
    for (const char* p = szText; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        nValue = nValue * 10 + static_cast<unsigned long long>(*p - '0');
        if (nValue > nMax) return false;
    }
    return true;
}

// Letters, digits and the marks a nickname may hold; not beginning with a
// digit or a hyphen.
bool IsNickname(const char* szNick)
{
    size_t nLen = std::strlen(szNick);
    if (nLen == 0 || nLen > static_cast<size_t>(MAX_NICK_LENGTH)) return false;
    if ((szNick[0] >= '0' && szNick[0] <= '9') || szNick[0] == '-') return false;
    for (const char* p = szNick; *p; ++p) {
        bool bLetter = (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z');
        bool bDigit = *p >= '0' && *p <= '9';
        if (!bLetter && !bDigit && std::strchr("[]\\`_^{|}-", *p) == nullptr) return false;
    }
    return true;
}

short Refuse(TextField& szError, const char* szA, const char* szB)
{
    TextBuilder(szError, sizeof szError).Add(szA).Add(szB);
    return OPTIONS_ERROR;
}

}  // namespace

short ParseOpponentOptions(int argc, const char* const* argv, OpponentOptions& options, TextField& szError)
{
    szError[0] = '\0';
    for (int i = 1; i < argc; ++i) {
        const char* szOption = argv[i];
        if (std::strcmp(szOption, "--help") == 0 || std::strcmp(szOption, "-h") == 0) return OPTIONS_HELP;
        bool bKnown = std::strcmp(szOption, "--server") == 0 || std::strcmp(szOption, "--port") == 0 ||
                      std::strcmp(szOption, "--nick") == 0 || std::strcmp(szOption, "--seed") == 0 ||
                      std::strcmp(szOption, "--level") == 0 || std::strcmp(szOption, "--max-games") == 0;
        if (!bKnown) return Refuse(szError, "unknown option ", szOption);
        if (i + 1 >= argc) return Refuse(szError, "a value is missing after ", szOption);
        const char* szValue = argv[++i];
        unsigned long long nValue = 0;
        if (std::strcmp(szOption, "--server") == 0) {
            if (*szValue == '\0' || std::strlen(szValue) >= static_cast<size_t>(TEXT_FIELD_SIZE))
                return Refuse(szError, "not a server name: ", szValue);
            CopyField(options.szServer, szValue);
        } else if (std::strcmp(szOption, "--port") == 0) {
            if (!ReadDecimal(szValue, 65535, nValue) || nValue == 0) return Refuse(szError, "not a port: ", szValue);
            options.nPort = static_cast<unsigned short>(nValue);
        } else if (std::strcmp(szOption, "--nick") == 0) {
            if (!IsNickname(szValue)) return Refuse(szError, "not a nickname of 1 to 9 characters: ", szValue);
            CopyField(options.szNick, szValue);
        } else if (std::strcmp(szOption, "--max-games") == 0) {
            if (!ReadDecimal(szValue, MAX_GAMES_LIMIT, nValue) || nValue == 0)
                return Refuse(szError, "not a number of games from 1 to 10000: ", szValue);
            options.nMaxGames = static_cast<short>(nValue);
        } else if (std::strcmp(szOption, "--level") == 0) {
            if (!ReadDecimal(szValue, LEVEL_FULL, nValue) || nValue < LEVEL_NOVICE)
                return Refuse(szError, "not a level from 1 to 3: ", szValue);
            options.nLevel = static_cast<short>(nValue);
        } else {
            if (!ReadDecimal(szValue, 4294967295ull, nValue)) return Refuse(szError, "not a seed from 0 to 4294967295: ", szValue);
            options.nSeed = static_cast<unsigned>(nValue);
            options.bSeedGiven = true;
        }
    }
    return OPTIONS_RUN;
}
