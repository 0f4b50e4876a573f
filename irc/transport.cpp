// Plain connections go straight to the socket. A TLS connection goes through
// the system's TLS (irc/tls.h): its decrypted text waits in the session and
// is handed on in pieces of at most the size the receive pass asks for, so
// that the line assembly sees what it would see on a plain connection.
#include "irc/transport.h"

#include <cstring>

#include "irc/certificate.h"
#include "irc/client_state.h"
#include "irc/connection_state.h"

namespace {

SessionState& session = connection.session;

// A server that accepts the connection and never finishes the handshake is
// given up after this long.
const unsigned HANDSHAKE_LIMIT_MS = 30000;

short FailSession(const char* szWhat, const char* szReason)
{
    TextBuilder(session.szFailure, sizeof session.szFailure).Add(szWhat).Add(szReason);
    session.nPhase = SESSION_BROKEN;
    return SESSION_FAILED;
}

short FinishHandshake()
{
    PeerCertificate cert;
    if (!TlsPeerCertificate(cert)) return FailSession("TLS handshake failed: ", "the server sent no certificate");
    if (!AcceptCertificate(cert)) {
        session.nPhase = SESSION_BROKEN;
        return SESSION_REFUSED;
    }
    session.nPhase = SESSION_SECURE;
    session.bJustEstablished = true;
    return SESSION_READY;
}

// The text waiting, or the records of one receive; TRANSPORT_IDLE when
// neither has any.
int SecureReceive(char* pBuffer, int nMax)
{
    if (session.nPhase != SESSION_SECURE) return TRANSPORT_BROKEN;
    session.bJustEstablished = false;
    if (session.nTextStart == session.nTextEnd) {
        TextField szReason;
        int nReceived = TlsReceive(session.aText, sizeof session.aText, szReason);
        if (nReceived == TLS_CLOSED) return 0;
        if (nReceived == TLS_FAILED) {
            FailSession("TLS connection failed: ", szReason);
            return TRANSPORT_BROKEN;
        }
        if (nReceived == TLS_PENDING) return TRANSPORT_IDLE;
        session.nTextStart = 0;
        session.nTextEnd = nReceived;
    }
    int nWaiting = session.nTextEnd - session.nTextStart;
    int nPiece = nWaiting < nMax ? nWaiting : nMax;
    std::memcpy(pBuffer, session.aText + session.nTextStart, static_cast<size_t>(nPiece));
    session.nTextStart += nPiece;
    return nPiece;
}

}  // namespace

short StartSession(SOCKET sock, const char* szHost, bool bTLS, unsigned nNow)
{
    session.nTextStart = session.nTextEnd = 0;
    session.bJustEstablished = false;
    session.szFailure[0] = '\0';
    if (!bTLS) {
        session.nPhase = SESSION_PLAIN;
        return SESSION_READY;
    }
    session.nPhase = SESSION_HANDSHAKE;
    session.nHandshakeStart = nNow;
    TextField szReason;
    if (!TlsBegin(sock, szHost, szReason)) return FailSession("TLS handshake failed: ", szReason);
    return SESSION_PENDING;
}

bool SessionHandshaking() { return session.nPhase == SESSION_HANDSHAKE; }

short ContinueSession(unsigned nNow)
{
    TextField szReason;
    int nStep = TlsHandshake(szReason);
    if (nStep == TLS_FAILED) return FailSession("TLS handshake failed: ", szReason);
    if (nStep != TLS_PENDING) return FinishHandshake();
    if (nNow - session.nHandshakeStart >= HANDSHAKE_LIMIT_MS)
        return FailSession("TLS handshake failed: ", "the server gave no answer in 30 seconds");
    return SESSION_PENDING;
}

const char* SessionFailure() { return session.szFailure; }

int TransportReceive(char* pBuffer, int nMax)
{
    if (session.nPhase == SESSION_PLAIN) return recv(client.sockServer, pBuffer, nMax, 0);
    return SecureReceive(pBuffer, nMax);
}

bool TransportPending()
{
    return session.nPhase == SESSION_SECURE && (session.nTextStart < session.nTextEnd || session.bJustEstablished);
}

int TransportSend(const char* pData, int nLen)
{
    if (session.nPhase == SESSION_PLAIN) return send(client.sockServer, pData, nLen, 0);
    if (session.nPhase != SESSION_SECURE) return 0;
    return TlsSend(pData, nLen) ? nLen : SOCKET_ERROR;
}

void TransportClose()
{
    if (session.nPhase != SESSION_PLAIN) TlsEnd();
    session.nPhase = SESSION_PLAIN;
    session.nTextStart = session.nTextEnd = 0;
}
