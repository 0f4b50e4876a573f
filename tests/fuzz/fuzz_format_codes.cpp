// Any text through the code stripper: never longer than it was, no code byte
// left, and what is left appears in the same order in the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "irc/format_codes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::string sText(reinterpret_cast<const char*>(pData), nSize);
    sText.resize(std::strlen(sText.c_str()));
    std::string sShown = sText;
    size_t nLen = StripFormatCodes(&sShown[0]);
    if (nLen > sText.size() || nLen != std::strlen(sShown.c_str())) std::abort();
    if (std::strpbrk(sShown.c_str(), "\x02\x03\x04\x0F\x11\x16\x1D\x1E\x1F") != nullptr) std::abort();
    size_t nAt = 0;
    for (size_t i = 0; i < nLen; ++i, ++nAt) {
        while (nAt < sText.size() && sText[nAt] != sShown[i]) ++nAt;
        if (nAt == sText.size()) std::abort();
    }
    return 0;
}
