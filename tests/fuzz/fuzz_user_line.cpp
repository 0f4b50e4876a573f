// Any text the user can type or paste, through SendText in compose mode, in
// any situation: whole, or cut into lines as the input line's Enter does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "irc/client_state.h"
#include "irc/send.h"
#include "irc/text.h"
#include "shell/commands.h"
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
    if (nSituation & 64)
        SendInputText(sText.c_str());
    else
        SendText(sText.c_str());
    return 0;
}
