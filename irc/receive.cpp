#include "irc/receive.h"

#include <cstdio>
#include <cstring>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/dispatch.h"
#include "irc/keepalive.h"
#include "irc/text.h"
#include "irc/transport.h"
#include "irc/seam.h"
#include "resources/resource.h"

namespace {

bool bReceiveFilled = false;

int DropNulBytes(char* pChunk, int nBytes)
{
    int nKept = 0;
    for (int i = 0; i < nBytes; ++i)
        if (pChunk[i] != '\0') pChunk[nKept++] = pChunk[i];
    return nKept;
}

// The notice is modal: a server that sent over-long lines without end would
// raise one after another and keep the user from the window. So it is shown
// once per connection, and later over-long lines are dropped as it said.
void ShowOverflow()
{
    if (client.bOverflowShown) return;
    client.bOverflowShown = 1;
    ShowMessageDialog(client.hMainWnd, "pLine_Buffer overflow", "Error", IDS_ERROR);
}

// Adds a piece to the kept start of a line, or refuses it when the two
// together would pass the line limit.
bool KeepPiece(const char* pPiece, short nLen)
{
    size_t nKept = std::strlen(client.pLine_Buffer);
    if (nKept + static_cast<size_t>(nLen) > static_cast<size_t>(MAX_LINE_LENGTH)) {
        ShowOverflow();
        return false;
    }
    std::memcpy(client.pLine_Buffer + nKept, pPiece, static_cast<size_t>(nLen));
    client.pLine_Buffer[nKept + static_cast<size_t>(nLen)] = '\0';
    return true;
}

}  // namespace

void AssembleLines(char* pChunk, int nBytes)
{
    nBytes = DropNulBytes(pChunk, nBytes);
    pChunk[nBytes] = '\0';
    short nStart = 0;
    short nScan = 0;
    while (nStart < nBytes) {
        SkipToNewline(pChunk, nScan);
        if (pChunk[nScan] == '\n') {
            ++nScan;
            if (KeepPiece(pChunk + nStart, static_cast<short>(nScan - nStart))) HandleServerLine(client.pLine_Buffer);
            client.pLine_Buffer[0] = '\0';
        } else {
            KeepPiece(pChunk + nStart, static_cast<short>(nScan - nStart));
        }
        nStart = nScan;
    }
}

void StartLineAssembly()
{
    client.pLine_Buffer[0] = '\0';
    client.bOverflowShown = 0;
}

bool ReceiveFilledBuffer() { return bReceiveFilled; }

namespace {

short ReceiveFailed(int nResult)
{
    if (nResult == TRANSPORT_IDLE) return 0;
    if (nResult == TRANSPORT_BROKEN) return -1;
    if (nResult == SOCKET_ERROR) {
        int nError = WSAGetLastError();
        if (nError == WSAEWOULDBLOCK) return 0;
        char szError[48];
        std::snprintf(szError, sizeof szError, "Error: recv() = %d\r\n", nError);
        AppendOutput(szError);
        return static_cast<short>(nError);
    }
    AppendOutput("Error: nBytesRecv = 0\r\n");
    return -1;
}

}  // namespace

short PollReceive()
{
    bReceiveFilled = false;
    if (!client.bConnected) return 0;
    if (SessionHandshaking()) {
        short nResult = ContinueHandshake();
        bReceiveFilled = TransportPending();
        return nResult;
    }
    int nBytesRecv = TransportReceive(client.pTCP_Input_Buffer, MAX_LINE_LENGTH);
    if (nBytesRecv <= 0) return ReceiveFailed(nBytesRecv);
    NoteServerHeard();
    bReceiveFilled = nBytesRecv == MAX_LINE_LENGTH || TransportPending();
    AssembleLines(client.pTCP_Input_Buffer, nBytesRecv);
    return 0;
}
