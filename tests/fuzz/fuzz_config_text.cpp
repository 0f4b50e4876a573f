// Any text as a settings file, a connection file and a file of trusted
// certificates: every field must stay a terminated text of at most 255
// characters, and an entry put into the trusted certificates is found there.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "config/connection_file.h"
#include "config/settings.h"
#include "config/trust_file.h"
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
    if (client.bTLS != 0 && client.bTLS != 1) __builtin_trap();

    const char szFingerprint[] =
        "BA:78:16:BF:8F:01:CF:EA:41:41:40:DE:5D:AE:22:23:B0:03:61:A3:96:17:7A:9C:B4:10:FF:61:F2:00:15:AD";
    FindTrust(sText.c_str(), "irc.example.net", "6697", szFingerprint);
    static char szNew[4096];
    if (PutTrust(sText.c_str(), "irc.example.net", "6697", szFingerprint, szNew, sizeof szNew) &&
        FindTrust(szNew, "irc.example.net", "6697", szFingerprint) != TRUST_SAME)
        __builtin_trap();
    return 0;
}
