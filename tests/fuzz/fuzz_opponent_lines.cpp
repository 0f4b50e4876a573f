// Server streams through the opponent's line assembly and its handling of
// lines, with time passing. The first byte chooses: raw bytes cut into
// chunks, or, so that whole games are reached, lines built from three bytes
// each (who sends what, which game letter, which numbers).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "opponent/line_assembler.h"
#include "opponent/opponent.h"

namespace {

Opponent opponent;
unsigned nNow;

void CheckLine(void*, const char* szLine)
{
    size_t nLen = std::strlen(szLine);
    if (nLen > static_cast<size_t>(MAX_LINE_LENGTH) || nLen < 2 || std::strcmp(szLine + nLen - 2, "\r\n") != 0)
        __builtin_trap();
}

void Ignore(void*, const char*) {}

void OnLine(void*, const char* szLine) { HandleOpponentLine(opponent, szLine, nNow); }

void PassTime(uint8_t nByte)
{
    nNow += static_cast<unsigned>(nByte) * 7919u;
    TickOpponent(opponent, nNow);
}

void BuiltLine(uint8_t nWho, uint8_t nLetter, uint8_t nArgs)
{
    const char* szNicks[] = {"alice", "bob", "carol", "Computer"};
    const char* szNick = szNicks[nWho % 4];
    const char kLetters[] = "IACMRLWPDx";
    char szLine[128];
    switch ((nWho >> 2) % 5) {
    case 0: std::snprintf(szLine, sizeof szLine, ":%s!u@h PART #Go-Moku\r\n", szNick); break;
    case 1: std::snprintf(szLine, sizeof szLine, ":%s!u@h NICK :%s\r\n", szNick, szNicks[nArgs % 4]); break;
    case 2: std::snprintf(szLine, sizeof szLine, ":%s!u@h PRIVMSG Computer :!C %u\r\n", szNick, nArgs * 257u); break;
    default:
        std::snprintf(szLine, sizeof szLine, ":%s!u@h PRIVMSG Computer :!%c %d %d\r\n", szNick,
                      kLetters[nLetter % 10], nArgs % 11, nArgs / 11 % 11);
    }
    HandleOpponentLine(opponent, szLine, nNow);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1) return 0;
    StartOpponent(opponent, {CheckLine, Ignore, nullptr}, "Computer", 3);
    opponent.nSearchNodes = 300;  // the search has its own tests; here it only has to answer
    nNow = 0;
    BeginRegistration(opponent, nNow);
    HandleOpponentLine(opponent, ":irc 001 Computer :Welcome\r\n", nNow);
    if (pData[0] & 0x80) {
        for (size_t nAt = 1; nAt + 3 <= nSize; nAt += 3) {
            BuiltLine(pData[nAt], pData[nAt + 1], pData[nAt + 2]);
            PassTime(pData[nAt + 1] >> 4);
        }
        return 0;
    }
    LineAssembler assembler;
    size_t nChunk = 1 + pData[0] % 64;
    for (size_t nAt = 1; nAt < nSize; nAt += nChunk) {
        size_t n = nSize - nAt < nChunk ? nSize - nAt : nChunk;
        FeedLines(assembler, reinterpret_cast<const char*>(pData + nAt), static_cast<int>(n), OnLine, nullptr);
        PassTime(pData[nAt]);
    }
    return 0;
}
