// The server's certificate when the system does not vouch for it: the
// fingerprint the user trusted before, or the question whether to trust it.
#pragma once

#include "config/trust_file.h"
#include "irc/tls.h"

// "AB:CD:..." from the 32 bytes of a SHA-256 hash.
void FormatFingerprint(const unsigned char* pSha256, FingerprintText& szText);

// Whether to go on with the server's certificate: trusted by the system, or
// remembered for this server and port, or accepted now by the user, who is
// asked in the modal question titled "Certificate". An accepted certificate
// is remembered.
bool AcceptCertificate(const PeerCertificate& cert);

// The question's text, for a certificate seen for the first time or, when
// bChanged, one that differs from the remembered one. szOut holds nSize bytes.
void CertificateQuestion(const PeerCertificate& cert, const char* szFingerprint, bool bChanged, char* szOut,
                         size_t nSize);
