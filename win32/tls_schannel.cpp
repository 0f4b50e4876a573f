// The system's TLS on Windows: Schannel through SSPI for the session, and
// crypt32 for the check of the server's certificate against the Windows
// certificate store. Schannel is asked not to judge the certificate itself
// (manual validation), so that a certificate it would refuse reaches the
// user's question instead of ending the handshake.
#include <winsock2.h>
#include <windows.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>

#include "irc/text.h"
#include "irc/tls.h"

namespace {

// Room for two records of the largest size with their overhead: records are
// decrypted where they were received.
const int CIPHER_ROOM = 2 * (16384 + 2048);
static_assert(CIPHER_ROOM <= TLS_RECEIVE_ROOM, "the text of every record received must fit");

const DWORD CONTEXT_FLAGS = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                            ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                            ISC_REQ_MANUAL_CRED_VALIDATION;

// A send that finds the socket's buffer full waits this long for room.
const int SEND_WAIT_MS = 10000;

struct Session {
    SOCKET sock = INVALID_SOCKET;
    TextField szHost = {};
    CredHandle hCred = {};
    bool bCred = false;
    CtxtHandle hCtx = {};
    bool bCtx = false;
    bool bEstablished = false;
    bool bPeerClosed = false;
    SecPkgContext_StreamSizes sizes = {};
    char aCipher[CIPHER_ROOM];
    int nCipher = 0;  // bytes received and not yet used
};
Session session;

// "The certificate chain was issued by an authority that is not trusted.
// (0x80090325)", or only the number when the system has no words for it.
void DescribeStatus(SECURITY_STATUS nStatus, TextField& szReason)
{
    char szText[TEXT_FIELD_SIZE] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(nStatus),
                   0, szText, sizeof szText, nullptr);
    size_t nLen = std::strlen(szText);
    while (nLen > 0 && (szText[nLen - 1] == '\r' || szText[nLen - 1] == '\n' || szText[nLen - 1] == ' '))
        szText[--nLen] = '\0';
    char szNumber[32];
    std::snprintf(szNumber, sizeof szNumber, "0x%08lX", static_cast<unsigned long>(nStatus));
    TextBuilder out(szReason, sizeof szReason);
    if (nLen > 0) out.Add(szText).Add(" (").Add(szNumber).Add(")");
    else out.Add("error ").Add(szNumber);
}

// Sends the bytes whole; a full socket buffer is waited out a little, as a
// TLS record cannot go out in part.
bool SendAll(const char* pData, int nLen)
{
    while (nLen > 0) {
        int nSent = send(session.sock, pData, nLen, 0);
        if (nSent == SOCKET_ERROR) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
            fd_set writable;
            FD_ZERO(&writable);
            FD_SET(session.sock, &writable);
            timeval wait = {SEND_WAIT_MS / 1000, 0};
            if (select(0, nullptr, &writable, nullptr, &wait) != 1) return false;
            continue;
        }
        pData += nSent;
        nLen -= nSent;
    }
    return true;
}

bool SendToken(SecBuffer& token)
{
    if (token.pvBuffer == nullptr) return true;
    bool bSent = token.cbBuffer == 0 || SendAll(static_cast<const char*>(token.pvBuffer), static_cast<int>(token.cbBuffer));
    FreeContextBuffer(token.pvBuffer);
    token.pvBuffer = nullptr;
    return bSent;
}

// Keeps the bytes that the last call left unused at the front of aCipher.
void KeepExtra(const SecBuffer& extra)
{
    if (extra.BufferType != SECBUFFER_EXTRA || extra.cbBuffer == 0) {
        session.nCipher = 0;
        return;
    }
    int nExtra = static_cast<int>(extra.cbBuffer);
    std::memmove(session.aCipher, session.aCipher + session.nCipher - nExtra, static_cast<size_t>(nExtra));
    session.nCipher = nExtra;
}

// One call of the handshake on the bytes received so far; sends its answer.
SECURITY_STATUS HandshakeCall()
{
    SecBuffer in[2] = {{static_cast<unsigned long>(session.nCipher), SECBUFFER_TOKEN, session.aCipher},
                       {0, SECBUFFER_EMPTY, nullptr}};
    SecBuffer out[2] = {{0, SECBUFFER_TOKEN, nullptr}, {0, SECBUFFER_ALERT, nullptr}};
    SecBufferDesc inDesc = {SECBUFFER_VERSION, 2, in};
    SecBufferDesc outDesc = {SECBUFFER_VERSION, 2, out};
    unsigned long nAttributes = 0;
    SECURITY_STATUS nStatus =
        InitializeSecurityContextA(&session.hCred, &session.hCtx, session.szHost, CONTEXT_FLAGS, 0, 0, &inDesc, 0,
                                   nullptr, &outDesc, &nAttributes, nullptr);
    if (nStatus != SEC_E_INCOMPLETE_MESSAGE) {
        if (!SendToken(out[0]) && (nStatus == SEC_E_OK || nStatus == SEC_I_CONTINUE_NEEDED))
            nStatus = SEC_E_INTERNAL_ERROR;
        KeepExtra(in[1]);
    }
    if (out[0].pvBuffer != nullptr) FreeContextBuffer(out[0].pvBuffer);
    if (out[1].pvBuffer != nullptr) FreeContextBuffer(out[1].pvBuffer);
    return nStatus;
}

// Runs the handshake on what has been received: TLS_PENDING, 1 when
// established, TLS_FAILED.
int RunHandshake(TextField& szReason)
{
    for (;;) {
        SECURITY_STATUS nStatus = HandshakeCall();
        if (nStatus == SEC_E_OK) return 1;
        if (nStatus == SEC_E_INCOMPLETE_MESSAGE) return TLS_PENDING;
        if (nStatus == SEC_I_CONTINUE_NEEDED || nStatus == SEC_I_INCOMPLETE_CREDENTIALS) {
            if (session.nCipher == 0) return TLS_PENDING;
            continue;
        }
        DescribeStatus(nStatus, szReason);
        return TLS_FAILED;
    }
}

// One receive into the unused end of aCipher: the count, 0 when the server
// has closed, -1 when nothing has arrived, SOCKET_ERROR - 1 on failure.
const int RECEIVE_NOTHING = -1;
const int RECEIVE_ERROR = -2;
int ReceiveCipher()
{
    int nRoom = CIPHER_ROOM - session.nCipher;
    if (nRoom <= 0) return RECEIVE_NOTHING;
    int n = recv(session.sock, session.aCipher + session.nCipher, nRoom, 0);
    if (n == SOCKET_ERROR) return WSAGetLastError() == WSAEWOULDBLOCK ? RECEIVE_NOTHING : RECEIVE_ERROR;
    session.nCipher += n;
    return n;
}

void SocketReason(TextField& szReason, const char* szWhat)
{
    char szText[96];
    std::snprintf(szText, sizeof szText, "%s (Winsock error %d)", szWhat, WSAGetLastError());
    CopyField(szReason, szText);
}

CertProblem ProblemOf(DWORD nError)
{
    switch (nError) {
    case 0: return CERT_TRUSTED;
    case static_cast<DWORD>(CERT_E_UNTRUSTEDROOT):
    case static_cast<DWORD>(CERT_E_CHAINING):
    case static_cast<DWORD>(TRUST_E_CERT_SIGNATURE):
        return CERT_NOT_TRUSTED;
    case static_cast<DWORD>(CERT_E_EXPIRED):
    case static_cast<DWORD>(CERT_E_VALIDITYPERIODNESTING):
        return CERT_EXPIRED;
    case static_cast<DWORD>(CERT_E_CN_NO_MATCH): return CERT_WRONG_NAME;
    case static_cast<DWORD>(CRYPT_E_REVOKED): return CERT_REVOKED;
    }
    return CERT_UNCHECKED;
}

// The chain built from the Windows certificate store, judged for a TLS
// server of the host's name.
CertProblem CheckChain(PCCERT_CONTEXT pCert)
{
    LPSTR pUsages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
    CERT_CHAIN_PARA chainPara = {};
    chainPara.cbSize = sizeof chainPara;
    chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
    chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
    chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = pUsages;
    PCCERT_CHAIN_CONTEXT pChain = nullptr;
    if (!CertGetCertificateChain(nullptr, pCert, nullptr, pCert->hCertStore, &chainPara, 0, nullptr, &pChain))
        return CERT_UNCHECKED;

    WCHAR szWideHost[TEXT_FIELD_SIZE];
    MultiByteToWideChar(CP_ACP, 0, session.szHost, -1, szWideHost, TEXT_FIELD_SIZE);
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA sslPara = {};
    sslPara.cbSize = sizeof sslPara;
    sslPara.dwAuthType = AUTHTYPE_SERVER;
    sslPara.pwszServerName = szWideHost;
    CERT_CHAIN_POLICY_PARA policyPara = {};
    policyPara.cbSize = sizeof policyPara;
    policyPara.pvExtraPolicyPara = &sslPara;
    CERT_CHAIN_POLICY_STATUS status = {};
    status.cbSize = sizeof status;
    BOOL bChecked = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, pChain, &policyPara, &status);
    CertFreeCertificateChain(pChain);
    return bChecked ? ProblemOf(status.dwError) : CERT_UNCHECKED;
}

void ReleaseSession()
{
    if (session.bCtx) DeleteSecurityContext(&session.hCtx);
    if (session.bCred) FreeCredentialsHandle(&session.hCred);
    session.bCtx = session.bCred = session.bEstablished = session.bPeerClosed = false;
    session.nCipher = 0;
    session.sock = INVALID_SOCKET;
}

// TLS 1.2 only: an older protocol is never offered.
bool AcquireCredentials(TextField& szReason)
{
    SCHANNEL_CRED cred = {};
    cred.dwVersion = SCHANNEL_CRED_VERSION;
    cred.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    cred.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    SECURITY_STATUS nStatus = AcquireCredentialsHandleA(nullptr, const_cast<char*>(UNISP_NAME_A), SECPKG_CRED_OUTBOUND,
                                                        nullptr, &cred, nullptr, nullptr, &session.hCred, nullptr);
    if (nStatus != SEC_E_OK) {
        DescribeStatus(nStatus, szReason);
        return false;
    }
    session.bCred = true;
    return true;
}

// A post-handshake message of the server inside the data (a new session
// ticket or new keys): handed to the handshake, which may answer it.
bool Renegotiate(TextField& szReason)
{
    SECURITY_STATUS nStatus = HandshakeCall();
    if (nStatus == SEC_E_OK || nStatus == SEC_E_INCOMPLETE_MESSAGE || nStatus == SEC_I_CONTINUE_NEEDED) return true;
    DescribeStatus(nStatus, szReason);
    return false;
}

// Decrypts the whole records at the front of aCipher into pOut: the count
// of bytes of text, or TLS_FAILED.
int DecryptRecords(char* pOut, TextField& szReason)
{
    int nOut = 0;
    while (session.nCipher > 0 && !session.bPeerClosed) {
        SecBuffer buffers[4] = {{static_cast<unsigned long>(session.nCipher), SECBUFFER_DATA, session.aCipher},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
        SECURITY_STATUS nStatus = DecryptMessage(&session.hCtx, &desc, 0, nullptr);
        if (nStatus == SEC_E_INCOMPLETE_MESSAGE) break;
        if (nStatus != SEC_E_OK && nStatus != SEC_I_RENEGOTIATE && nStatus != SEC_I_CONTEXT_EXPIRED) {
            DescribeStatus(nStatus, szReason);
            return TLS_FAILED;
        }
        SecBuffer extra = {0, SECBUFFER_EMPTY, nullptr};
        for (SecBuffer& buffer : buffers) {
            if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0) {
                std::memcpy(pOut + nOut, buffer.pvBuffer, buffer.cbBuffer);
                nOut += static_cast<int>(buffer.cbBuffer);
            }
            if (buffer.BufferType == SECBUFFER_EXTRA) extra = buffer;
        }
        KeepExtra(extra);
        if (nStatus == SEC_I_CONTEXT_EXPIRED) session.bPeerClosed = true;
        if (nStatus == SEC_I_RENEGOTIATE && !Renegotiate(szReason)) return TLS_FAILED;
    }
    return nOut;
}

}  // namespace

bool TlsBegin(SOCKET sock, const char* szHost, TextField& szReason)
{
    ReleaseSession();
    session.sock = sock;
    CopyField(session.szHost, szHost);
    if (!AcquireCredentials(szReason)) return false;

    SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    SecBufferDesc outDesc = {SECBUFFER_VERSION, 1, out};
    unsigned long nAttributes = 0;
    SECURITY_STATUS nStatus = InitializeSecurityContextA(&session.hCred, nullptr, session.szHost, CONTEXT_FLAGS, 0, 0,
                                                         nullptr, 0, &session.hCtx, &outDesc, &nAttributes, nullptr);
    if (nStatus != SEC_I_CONTINUE_NEEDED) {
        if (out[0].pvBuffer != nullptr) FreeContextBuffer(out[0].pvBuffer);
        DescribeStatus(nStatus, szReason);
        ReleaseSession();
        return false;
    }
    session.bCtx = true;
    if (!SendToken(out[0])) {
        SocketReason(szReason, "the first message could not be sent");
        ReleaseSession();
        return false;
    }
    return true;
}

namespace {

// Every TLS record begins with its content type (20 to 23) and the major
// version 3. A server that answers with anything else does not speak TLS;
// said here, since the system's TLS may instead wait for the rest of a
// record whose length it read from the server's text.
bool StartsLikeRecord()
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(session.aCipher);
    if (session.nCipher >= 1 && (p[0] < 20 || p[0] > 23)) return false;
    return session.nCipher < 2 || p[1] == 3;
}

}  // namespace

int TlsHandshake(TextField& szReason)
{
    int nReceived = ReceiveCipher();
    if (nReceived == RECEIVE_NOTHING) return TLS_PENDING;
    if (nReceived == RECEIVE_ERROR) {
        SocketReason(szReason, "the connection failed");
        return TLS_FAILED;
    }
    if (nReceived == 0) {
        CopyField(szReason, "the server closed the connection");
        return TLS_FAILED;
    }
    if (!StartsLikeRecord()) {
        CopyField(szReason, "the server does not speak TLS");
        return TLS_FAILED;
    }
    int nStep = RunHandshake(szReason);
    if (nStep != 1) return nStep;
    if (QueryContextAttributesA(&session.hCtx, SECPKG_ATTR_STREAM_SIZES, &session.sizes) != SEC_E_OK) {
        CopyField(szReason, "the session's sizes are unknown");
        return TLS_FAILED;
    }
    session.bEstablished = true;
    return 1;
}

bool TlsPeerCertificate(PeerCertificate& cert)
{
    PCCERT_CONTEXT pCert = nullptr;
    if (QueryContextAttributesA(&session.hCtx, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &pCert) != SEC_E_OK || pCert == nullptr)
        return false;
    DWORD nHash = SHA256_SIZE;
    bool bHashed = CryptHashCertificate2(BCRYPT_SHA256_ALGORITHM, 0, nullptr, pCert->pbCertEncoded,
                                         pCert->cbCertEncoded, cert.pSha256, &nHash) &&
                   nHash == SHA256_SIZE;
    cert.szSubject[0] = '\0';
    CertNameToStrA(X509_ASN_ENCODING, &pCert->pCertInfo->Subject, CERT_X500_NAME_STR, cert.szSubject,
                   TEXT_FIELD_SIZE);
    cert.nProblem = CheckChain(pCert);
    CertFreeCertificateContext(pCert);
    return bHashed;
}

int TlsReceive(char* pOut, int /*nRoom*/, TextField& szReason)
{
    if (session.bPeerClosed) return TLS_CLOSED;
    int nReceived = ReceiveCipher();
    if (nReceived == RECEIVE_ERROR) {
        SocketReason(szReason, "the connection failed");
        return TLS_FAILED;
    }
    int nOut = DecryptRecords(pOut, szReason);
    if (nOut != 0) return nOut;
    if (session.bPeerClosed || nReceived == 0) return TLS_CLOSED;
    return TLS_PENDING;
}

bool TlsSend(const char* pData, int nLen)
{
    char aRecord[16384 + 2048];
    int nMax = static_cast<int>(session.sizes.cbMaximumMessage);
    if (nMax > 16384) nMax = 16384;
    while (nLen > 0) {
        int nPiece = nLen < nMax ? nLen : nMax;
        char* pHeader = aRecord;
        char* pText = pHeader + session.sizes.cbHeader;
        char* pTrailer = pText + nPiece;
        std::memcpy(pText, pData, static_cast<size_t>(nPiece));
        SecBuffer buffers[4] = {{session.sizes.cbHeader, SECBUFFER_STREAM_HEADER, pHeader},
                                {static_cast<unsigned long>(nPiece), SECBUFFER_DATA, pText},
                                {session.sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, pTrailer},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc = {SECBUFFER_VERSION, 4, buffers};
        if (EncryptMessage(&session.hCtx, 0, &desc, 0) != SEC_E_OK) {
            WSASetLastError(WSAECONNABORTED);
            return false;
        }
        int nRecord = static_cast<int>(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
        if (!SendAll(aRecord, nRecord)) return false;
        pData += nPiece;
        nLen -= nPiece;
    }
    return true;
}

void TlsEnd()
{
    if (session.bEstablished) {
        DWORD nShutdown = SCHANNEL_SHUTDOWN;
        SecBuffer control[1] = {{sizeof nShutdown, SECBUFFER_TOKEN, &nShutdown}};
        SecBufferDesc controlDesc = {SECBUFFER_VERSION, 1, control};
        if (ApplyControlToken(&session.hCtx, &controlDesc) == SEC_E_OK) {
            SecBuffer out[1] = {{0, SECBUFFER_TOKEN, nullptr}};
            SecBufferDesc outDesc = {SECBUFFER_VERSION, 1, out};
            unsigned long nAttributes = 0;
            InitializeSecurityContextA(&session.hCred, &session.hCtx, session.szHost, CONTEXT_FLAGS, 0, 0, nullptr, 0,
                                       nullptr, &outDesc, &nAttributes, nullptr);
            SendToken(out[0]);
        }
    }
    ReleaseSession();
}
