// The connection's transport: plain TCP, or TLS over it. The receive and
// send paths use these for both, so that lines, their limits and their
// order are the same whichever carries them.
#pragma once

#include "irc/net.h"
#include "irc/text.h"
#include "irc/tls.h"

enum SessionPhase { SESSION_PLAIN, SESSION_HANDSHAKE, SESSION_SECURE, SESSION_BROKEN };

struct SessionState {
    SessionPhase nPhase = SESSION_PLAIN;
    unsigned nHandshakeStart = 0;
    // Decrypted text not yet handed on: aText[nTextStart..nTextEnd).
    char aText[TLS_RECEIVE_ROOM];
    int nTextStart = 0;
    int nTextEnd = 0;
    // Just established: the last handshake receive may have brought records
    // already, so the next pass receives without waiting for the socket.
    bool bJustEstablished = false;
    // Why the session broke: "TLS handshake failed: ..." and the like.
    TextField szFailure = {};
};

// Results of StartSession and ContinueSession.
const short SESSION_READY = 1;     // lines may go out: register now
const short SESSION_PENDING = 0;   // the TLS handshake goes on
const short SESSION_FAILED = -1;   // the TLS session failed: szFailure says why
const short SESSION_REFUSED = -2;  // the server's certificate was not accepted

// Right after the TCP connection to szHost is made on sock: a plain
// connection is ready at once; with bTLS the handshake begins at nNow.
short StartSession(SOCKET sock, const char* szHost, bool bTLS, unsigned nNow);
// Whether the handshake is still under way: the receive pass then steps it
// with ContinueSession instead of receiving lines.
bool SessionHandshaking();
// One step of the handshake, the certificate's check and, when it is not
// trusted, the question to the user. A handshake given no answer for 30
// seconds fails.
short ContinueSession(unsigned nNow);
// Why the session failed.
const char* SessionFailure();

// Results of TransportReceive besides a count of bytes.
const int TRANSPORT_IDLE = -2;    // nothing has arrived
const int TRANSPORT_BROKEN = -3;  // the session failed: SessionFailure says why
// At most nMax bytes of server text, as recv gives them: a count, 0 when the
// server has closed, SOCKET_ERROR with the Winsock error, or the two above.
int TransportReceive(char* pBuffer, int nMax);
// Whether text already received waits to be handed on.
bool TransportPending();
// Sends the bytes as send does. On a TLS connection nothing leaves before
// the session is established, and nothing after it failed.
int TransportSend(const char* pData, int nLen);
// Ends the session before the socket is closed.
void TransportClose();
