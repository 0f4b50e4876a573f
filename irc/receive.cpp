#include "irc/receive.h"

#include <cstring>

#include "irc/client_state.h"
#include "irc/connection_state.h"
#include "irc/seam.h"
#include "irc/text.h"
#include "irc/transport.h"
#include "resources/resource.h"

namespace {

LineAssembly& lines = connection.lines;

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
    if (lines.bOverflowShown) return;
    lines.bOverflowShown = 1;
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

ReceiveResult ReceiveFailed(int nResult, int& nError)
{
    if (nResult == TRANSPORT_IDLE) return RECEIVE_NOTHING;
    if (nResult == TRANSPORT_BROKEN) return RECEIVE_BROKEN;
    if (nResult == 0) return RECEIVE_CLOSED;
    nError = WSAGetLastError();
    return nError == WSAEWOULDBLOCK ? RECEIVE_NOTHING : RECEIVE_FAILED;
}

}  // namespace

void AssembleLines(char* pChunk, int nBytes, LineHandler pfnLine)
{
    nBytes = DropNulBytes(pChunk, nBytes);
    pChunk[nBytes] = '\0';
    short nStart = 0;
    short nScan = 0;
    while (nStart < nBytes) {
        SkipToNewline(pChunk, nScan);
        if (pChunk[nScan] == '\n') {
            ++nScan;
            if (KeepPiece(pChunk + nStart, static_cast<short>(nScan - nStart))) pfnLine(client.pLine_Buffer);
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
    lines.bOverflowShown = 0;
}

bool ReceiveFilledBuffer() { return lines.bFilled; }

ReceiveResult PollReceive(LineHandler pfnLine, int& nError)
{
    lines.bFilled = false;
    if (!client.bConnected) return RECEIVE_NOTHING;
    int nBytesRecv = TransportReceive(client.pTCP_Input_Buffer, MAX_LINE_LENGTH);
    if (nBytesRecv <= 0) return ReceiveFailed(nBytesRecv, nError);
    lines.bFilled = nBytesRecv == MAX_LINE_LENGTH || TransportPending();
    AssembleLines(client.pTCP_Input_Buffer, nBytesRecv, pfnLine);
    return RECEIVE_DATA;
}
