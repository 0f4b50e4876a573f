// The system's TLS, as the connection asks for it: the Windows side does it
// with Schannel (win32/tls_schannel.cpp), the native tests with a scripted
// fake. One session at a time, over the connection's non-blocking socket;
// no call waits for the server.
#pragma once

#include "irc/client_state.h"

// What the system found when it checked the server's certificate.
enum CertProblem : short {
    CERT_TRUSTED,      // a trusted chain, in date, made out for the host
    CERT_NOT_TRUSTED,  // self-signed or from an unknown authority
    CERT_EXPIRED,      // outside its dates
    CERT_WRONG_NAME,   // made out for another host name
    CERT_REVOKED,
    CERT_UNCHECKED,    // the check itself failed
};

const int SHA256_SIZE = 32;

struct PeerCertificate {
    unsigned char pSha256[SHA256_SIZE];  // of the whole certificate as sent
    TextField szSubject;
    CertProblem nProblem;
};

// Results of TlsHandshake and TlsReceive besides a count of bytes.
const int TLS_PENDING = 0;   // nothing more to do until the server answers
const int TLS_CLOSED = -1;   // the server ended the session or the connection
const int TLS_FAILED = -2;   // szReason says why

// Starts the client side of a session on the connected socket, for szHost,
// the name the certificate must carry; sends the first handshake message.
bool TlsBegin(SOCKET sock, const char* szHost, TextField& szReason);
// One step of the handshake, with at most one receive: TLS_PENDING, 1 when
// the session is established, or TLS_FAILED.
int TlsHandshake(TextField& szReason);
// The server's certificate and the system's verdict, once established.
bool TlsPeerCertificate(PeerCertificate& cert);
// One receive from the socket; every whole record received is decrypted
// into pOut. nRoom is at least TLS_RECEIVE_ROOM. The count of bytes of
// text, TLS_PENDING when none is whole yet, TLS_CLOSED or TLS_FAILED.
const int TLS_RECEIVE_ROOM = 65536;
int TlsReceive(char* pOut, int nRoom, TextField& szReason);
// Encrypts and sends the bytes whole; false with the Winsock error left in
// WSAGetLastError.
bool TlsSend(const char* pData, int nLen);
// Says goodbye to the server when the session was established, and frees it.
void TlsEnd();
