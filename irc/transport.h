// The connection's transport: plain TCP, or TLS over it. The receive and
// send paths use these for both, so that lines, their limits and their
// order are the same whichever carries them.
#pragma once

// Results of StartSession and ContinueSession.
const short SESSION_READY = 1;    // lines may go out: register now
const short SESSION_PENDING = 0;  // the TLS handshake goes on
const short SESSION_FAILED = -1;  // the error line is shown; disconnect

// Right after the TCP connection is made: a plain connection is ready at
// once; with TLS on, the handshake begins.
short StartSession();
// Whether the handshake is still under way: the receive pass then steps it
// with ContinueSession instead of receiving lines.
bool SessionHandshaking();
// One step of the handshake, the certificate's check and, when it is not
// trusted, the question to the user. A handshake given no answer for 30
// seconds fails.
short ContinueSession();

// Results of TransportReceive besides a count of bytes.
const int TRANSPORT_IDLE = -2;    // nothing has arrived
const int TRANSPORT_BROKEN = -3;  // the session failed; its error line is shown
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
