#include "irc/time_words.h"

#include <cstdio>
#include <ctime>

namespace {

// Beyond this the number is not a time anybody means (the year 5138).
const long long LATEST_TIME = 99999999999LL;

void AddNumber(TextBuilder& out, long long n)
{
    char szNumber[24];
    std::snprintf(szNumber, sizeof szNumber, "%lld", n);
    out.Add(szNumber);
}

}  // namespace

bool ReadSeconds(const char* pText, size_t nLen, long long& nSeconds)
{
    nSeconds = 0;
    if (nLen == 0) return false;
    for (size_t i = 0; i < nLen; ++i) {
        if (pText[i] < '0' || pText[i] > '9') return false;
        nSeconds = nSeconds * 10 + (pText[i] - '0');
        if (nSeconds > LATEST_TIME) return false;
    }
    return true;
}

void AddLocalTime(TextBuilder& out, long long nSeconds, bool bWithSeconds)
{
    std::time_t t = static_cast<std::time_t>(nSeconds);
    // One thread calls this; the shared result is copied at once.
    const std::tm* pLocal = std::localtime(&t);
    char szTime[32];
    if (pLocal == nullptr ||
        std::strftime(szTime, sizeof szTime, bWithSeconds ? "%Y-%m-%d %H:%M:%S" : "%Y-%m-%d %H:%M", pLocal) == 0) {
        AddNumber(out, nSeconds);
        return;
    }
    out.Add(szTime);
}

void AddSpanInWords(TextBuilder& out, long long nSeconds)
{
    static const struct {
        long long nLength;
        const char* szUnit;
    } kUnits[] = {{86400, "day"}, {3600, "hour"}, {60, "minute"}, {1, "second"}};
    bool bAny = false;
    for (const auto& unit : kUnits) {
        long long nCount = nSeconds / unit.nLength;
        nSeconds %= unit.nLength;
        if (nCount == 0 && (bAny || unit.nLength != 1)) continue;
        if (bAny) out.Add(" ");
        AddNumber(out, nCount);
        out.Add(" ").Add(unit.szUnit).Add(nCount == 1 ? "" : "s");
        bAny = true;
    }
}
