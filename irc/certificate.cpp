#include "irc/certificate.h"

#include "irc/client_state.h"
#include "irc/seam.h"
#include "irc/text.h"

namespace {

// Room for the question's sentences around a 255-character server name and
// subject, and the fingerprint.
const size_t QUESTION_SIZE = 1024;

const char* ProblemText(CertProblem nProblem)
{
    switch (nProblem) {
    case CERT_TRUSTED: return "it is trusted";
    case CERT_NOT_TRUSTED: return "it is not signed by an authority this computer trusts";
    case CERT_EXPIRED: return "it has expired or is not yet valid";
    case CERT_WRONG_NAME: return "it is made out for another name";
    case CERT_REVOKED: return "it has been revoked";
    case CERT_UNCHECKED: break;
    }
    return "it could not be checked";
}

}  // namespace

void FormatFingerprint(const unsigned char* pSha256, FingerprintText& szText)
{
    static const char szHex[] = "0123456789ABCDEF";
    for (int i = 0; i < SHA256_SIZE; ++i) {
        szText[3 * i] = szHex[pSha256[i] >> 4];
        szText[3 * i + 1] = szHex[pSha256[i] & 15];
        szText[3 * i + 2] = ':';
    }
    szText[FINGERPRINT_SIZE - 1] = '\0';
}

void CertificateQuestion(const PeerCertificate& cert, const char* szFingerprint, bool bChanged, char* szOut,
                         size_t nSize)
{
    TextBuilder text(szOut, nSize);
    text.Add("The server ").Add(client.szIRCServer).Add(" port ").Add(client.szIRCPort);
    if (bChanged)
        text.Add(" sent a certificate that has changed since you trusted it, and ");
    else
        text.Add(" sent a certificate that the system does not accept: ");
    text.Add(ProblemText(cert.nProblem)).Add(".\r\n\r\nSubject: ").Add(cert.szSubject);
    text.Add("\r\nSHA-256: ").Add(szFingerprint).Add("\r\n\r\nTrust this certificate for this server?");
}

bool AcceptCertificate(const PeerCertificate& cert)
{
    if (cert.nProblem == CERT_TRUSTED) return true;
    FingerprintText szFingerprint;
    FormatFingerprint(cert.pSha256, szFingerprint);
    TrustAnswer nKnown = LookUpTrust(client.szIRCServer, client.szIRCPort, szFingerprint);
    if (nKnown == TRUST_SAME) return true;
    char szQuestion[QUESTION_SIZE];
    CertificateQuestion(cert, szFingerprint, nKnown == TRUST_CHANGED, szQuestion, sizeof szQuestion);
    if (ShowCertificateQuestion(szQuestion) != 6) return false;
    if (!RememberTrust(client.szIRCServer, client.szIRCPort, szFingerprint))
        AppendOutput("Error: the trusted certificate could not be remembered in kelva-certs.txt\r\n");
    return true;
}
