// A whole server stream through the receive path and the dispatch: the
// first bytes choose the client's situation and the chunk size, the rest is
// what the server sends: in chunks straight to the line assembly, or, when
// the situation's top bit is set, as the text of a TLS session whose
// records are the chunks, through the connection's passes.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/dispatch.h"
#include "irc/text.h"
#include "irc/transport.h"
#include "tests/fake/fake_seam.h"

namespace {

int nMainWindow;
char pInput[NET_BUFFER_SIZE];
char pLine[NET_BUFFER_SIZE];

void EnterSituation(uint8_t nSituation)
{
    ResetClientAndFake();
    client.pTCP_Input_Buffer = pInput;
    client.pLine_Buffer = pLine;
    pLine[0] = '\0';
    client.bConnected = 1;
    client.nSendMode = SEND_COMPOSE;
    client.nGameState = static_cast<short>(nSituation & 3);
    client.hMainWnd = &nMainWindow;
    if (nSituation & 4) client.hListDlg = &nMainWindow;
    CopyField(client.szNickname, (nSituation & 16) ? "" : "Ravkel");
    CopyField(client.szChosenNickname, (nSituation & 128) ? "Kelvinian" : client.szNickname);
    CopyField(client.szPartner, (nSituation & 32) ? "bob" : "");
    CopyField(client.szChannel, (nSituation & 64) ? "#chat" : "");
    fake.nicks = {"@bob", "Ravkel", "bobby"};
}

void ThroughTLS(const uint8_t* pData, size_t nSize, size_t nChunk)
{
    client.bTLS = 1;
    if (StartSession(INVALID_SOCKET, "irc.example.net", true, 0) != SESSION_PENDING ||
        ContinueSession(0) != SESSION_READY)
        __builtin_trap();
    fake.tls.sIncoming.assign(reinterpret_cast<const char*>(pData), nSize);
    fake.tls.nPiece = nChunk;
    // The dispatch may answer; the passes end with the text, or with the
    // connection when the session closes.
    for (size_t nPass = 0; nPass <= nSize && client.bConnected; ++nPass) {
        PumpConnection();
        if (std::strlen(pLine) > static_cast<size_t>(MAX_LINE_LENGTH)) __builtin_trap();
    }
    TransportClose();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize < 2) return 0;
    EnterSituation(pData[0]);
    // Records of up to four lines' length, so that one is handed on in pieces.
    if (pData[0] & 128) {
        ThroughTLS(pData + 2, nSize - 2, 1 + pData[1] * 8);
        return 0;
    }
    size_t nChunk = 1 + pData[1] % MAX_LINE_LENGTH;
    for (size_t nAt = 2; nAt < nSize; nAt += nChunk) {
        size_t n = nSize - nAt < nChunk ? nSize - nAt : nChunk;
        std::memcpy(pInput, pData + nAt, n);
        AssembleLines(pInput, static_cast<int>(n), HandleServerLine);
        if (std::strlen(pLine) > static_cast<size_t>(MAX_LINE_LENGTH)) __builtin_trap();
    }
    return 0;
}
