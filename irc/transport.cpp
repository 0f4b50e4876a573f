// Plain connections go straight to the socket. A TLS connection goes through
// the system's TLS (irc/tls.h): its decrypted text waits here and is handed
// on in pieces of at most the size the receive pass asks for, so that the
// line assembly sees what it would see on a plain connection.
#include "irc/transport.h"

#include <cstdio>
#include <cstring>

#include "irc/certificate.h"
#include "irc/client_state.h"
#include "irc/seam.h"
#include "irc/text.h"
#include "irc/tls.h"

namespace {

enum SessionState { STATE_PLAIN, STATE_HANDSHAKE, STATE_SECURE, STATE_FAILED };
SessionState nState = STATE_PLAIN;

// A server that accepts the connection and never finishes the handshake is
// given up after this long.
const unsigned HANDSHAKE_LIMIT_MS = 30000;
unsigned nHandshakeStart = 0;

// Decrypted text not yet handed on: aText[nTextStart..nTextEnd).
char aText[TLS_RECEIVE_ROOM];
int nTextStart = 0;
int nTextEnd = 0;
// Just established: the last handshake receive may have brought records
// already, so the next pass receives without waiting for the socket.
bool bJustEstablished = false;

short FailSession(const char* szWhat, const char* szReason)
{
    char szLine[2 * TEXT_FIELD_SIZE];
    TextBuilder(szLine, sizeof szLine).Add("Error: ").Add(szWhat).Add(szReason).Add("\r\n");
    AppendOutput(szLine);
    nState = STATE_FAILED;
    return SESSION_FAILED;
}

short FinishHandshake()
{
    PeerCertificate cert;
    if (!TlsPeerCertificate(cert)) return FailSession("TLS handshake failed: ", "the server sent no certificate");
    if (!AcceptCertificate(cert)) {
        AppendOutput("Error: certificate not accepted\r\n");
        nState = STATE_FAILED;
        return SESSION_FAILED;
    }
    nState = STATE_SECURE;
    bJustEstablished = true;
    return SESSION_READY;
}

// The text waiting, or the records of one receive; TRANSPORT_IDLE when
// neither has any.
int SecureReceive(char* pBuffer, int nMax)
{
    if (nState != STATE_SECURE) return TRANSPORT_BROKEN;
    bJustEstablished = false;
    if (nTextStart == nTextEnd) {
        TextField szReason;
        int nReceived = TlsReceive(aText, sizeof aText, szReason);
        if (nReceived == TLS_CLOSED) return 0;
        if (nReceived == TLS_FAILED) {
            FailSession("TLS connection failed: ", szReason);
            return TRANSPORT_BROKEN;
        }
        if (nReceived == TLS_PENDING) return TRANSPORT_IDLE;
        nTextStart = 0;
        nTextEnd = nReceived;
    }
    int nPiece = nTextEnd - nTextStart < nMax ? nTextEnd - nTextStart : nMax;
    std::memcpy(pBuffer, aText + nTextStart, static_cast<size_t>(nPiece));
    nTextStart += nPiece;
    return nPiece;
}

}  // namespace

short StartSession()
{
    nTextStart = nTextEnd = 0;
    bJustEstablished = false;
    if (!client.bTLS) {
        nState = STATE_PLAIN;
        return SESSION_READY;
    }
    nState = STATE_HANDSHAKE;
    nHandshakeStart = TickCount();
    TextField szReason;
    if (!TlsBegin(client.sockServer, client.szIRCServer, szReason)) return FailSession("TLS handshake failed: ", szReason);
    return SESSION_PENDING;
}

bool SessionHandshaking() { return nState == STATE_HANDSHAKE; }

short ContinueSession()
{
    TextField szReason;
    int nStep = TlsHandshake(szReason);
    if (nStep == TLS_FAILED) return FailSession("TLS handshake failed: ", szReason);
    if (nStep != TLS_PENDING) return FinishHandshake();
    if (TickCount() - nHandshakeStart >= HANDSHAKE_LIMIT_MS)
        return FailSession("TLS handshake failed: ", "the server gave no answer in 30 seconds");
    return SESSION_PENDING;
}

int TransportReceive(char* pBuffer, int nMax)
{
    if (nState == STATE_PLAIN) return recv(client.sockServer, pBuffer, nMax, 0);
    return SecureReceive(pBuffer, nMax);
}

bool TransportPending() { return nState == STATE_SECURE && (nTextStart < nTextEnd || bJustEstablished); }

int TransportSend(const char* pData, int nLen)
{
    if (nState == STATE_PLAIN) return send(client.sockServer, pData, nLen, 0);
    if (nState != STATE_SECURE) return 0;
    return TlsSend(pData, nLen) ? nLen : SOCKET_ERROR;
}

void TransportClose()
{
    if (nState != STATE_PLAIN) TlsEnd();
    nState = STATE_PLAIN;
    nTextStart = nTextEnd = 0;
}
