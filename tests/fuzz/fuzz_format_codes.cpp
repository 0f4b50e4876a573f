// Any text through the code stripper: never longer than it was, and no code
// byte left.
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
    return 0;
}
