// Any bytes through the decode and the cut. Valid UTF-8 comes back from
// UTF-16 as the same bytes; whatever came in, what goes out is UTF-8; a cut
// of valid UTF-8 leaves two valid halves.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "irc/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1) return 0;
    size_t nMax = pData[0] * 4u;
    const char* pText = reinterpret_cast<const char*>(pData + 1);
    size_t nLen = nSize - 1;
    bool bUtf8 = IsUtf8(pText, nLen);

    std::vector<WideChar> wide(nLen + 1);
    size_t nUnits = DecodeText(pText, nLen, wide.data());
    if (nUnits > nLen) std::abort();
    std::vector<char> bytes(nLen * 3 + 1);
    size_t nBytes = EncodeUtf8(wide.data(), nUnits, bytes.data(), bytes.size());
    if (!IsUtf8(bytes.data(), nBytes)) std::abort();
    if (bUtf8 && (nBytes != nLen || !std::equal(pText, pText + nLen, bytes.data()))) std::abort();

    size_t nCut = Utf8CutLength(pText, nLen, nMax);
    if (nCut > nLen || (nLen > nMax && nCut > nMax) || (nLen > nMax && nMax - nCut > 3)) std::abort();
    if (bUtf8 && (!IsUtf8(pText, nCut) || !IsUtf8(pText + nCut, nLen - nCut))) std::abort();

    size_t nRoom = nMax + 1;
    std::vector<char> converted(nRoom);
    size_t nConverted = ToUtf8(pText, nLen, converted.data(), nRoom);
    if (nConverted >= nRoom || converted[nConverted] != '\0' || !IsUtf8(converted.data(), nConverted)) std::abort();
    return 0;
}
