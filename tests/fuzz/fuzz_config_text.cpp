// Any text as a settings file and as a connection file: every field must
// stay a terminated text of at most 255 characters.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "config/connection_file.h"
#include "config/settings.h"
#include "irc/client_state.h"
#include "tests/fake/fake_seam.h"

namespace {

void ExpectField(const TextField& sz)
{
    if (strnlen(sz, TEXT_FIELD_SIZE) >= static_cast<size_t>(TEXT_FIELD_SIZE)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 2048) return 0;
    ResetClientAndFake();
    std::string sText(reinterpret_cast<const char*>(pData), nSize);
    ParseSettings(sText.c_str());
    ParseConnectionText(sText.substr(0, 255).c_str());
    for (const TextField* pField : {&client.szNickname, &client.szRealname, &client.szPassword, &client.szIRCServer,
                                    &client.szIRCPort, &client.szChannel})
        ExpectField(*pField);
    if (client.bShowList != 0 && client.bShowList != 1) __builtin_trap();
    return 0;
}
