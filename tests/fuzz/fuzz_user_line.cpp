// Any text the user can type, through SendText in compose mode, in any
// situation; nothing may pass the protocol's line length.
#include <cstddef>
#include <cstdint>
#include <string>

#include "irc/client_state.h"
#include "irc/send.h"
#include "irc/text.h"
#include "tests/fake/fake_seam.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 1 || nSize > 600) return 0;
    ResetClientAndFake();
    uint8_t nSituation = pData[0];
    client.nSendMode = SEND_COMPOSE;
    client.nGameState = static_cast<short>(nSituation & 3);
    CopyField(client.szNickname, "Ravkel");
    CopyField(client.szIRCServer, (nSituation & 4) ? szDefaultServer : "irc.example.net");
    std::string sLong(255, (nSituation & 8) ? '#' : 'c');
    CopyField(client.szChannel, (nSituation & 16) ? sLong.c_str() : "#chat");
    CopyField(client.szPartner, (nSituation & 32) ? sLong.c_str() : "");
    std::string sText(reinterpret_cast<const char*>(pData + 1), nSize - 1);
    SendText(sText.c_str());
    return 0;
}
