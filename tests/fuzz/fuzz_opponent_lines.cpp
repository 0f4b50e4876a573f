// Server streams through the opponent's line assembly and its handling of
// lines, with time passing: the first byte chooses the chunk size, and each
// chunk also moves the clock on, so that timeouts and delayed clears happen.
#include <cstddef>
#include <cstdint>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1) return 0;
    StartOpponent(opponent, {CheckLine, Ignore, nullptr}, "Computer", 3);
    opponent.nSearchNodes = 300;  // the search has its own tests; here it only has to answer
    nNow = 0;
    BeginRegistration(opponent, nNow);
    LineAssembler assembler;
    size_t nChunk = 1 + pData[0] % 64;
    for (size_t nAt = 1; nAt < nSize; nAt += nChunk) {
        size_t n = nSize - nAt < nChunk ? nSize - nAt : nChunk;
        FeedLines(assembler, reinterpret_cast<const char*>(pData + nAt), static_cast<int>(n), OnLine, nullptr);
        nNow += static_cast<unsigned>(pData[nAt]) * 7919u;
        TickOpponent(opponent, nNow);
        if (CountGames(opponent) > MAX_PARTNERS) __builtin_trap();
    }
    return 0;
}
