// Secure connections against the test server's TLS port: the certificate
// of a trusted authority, a self-signed one trusted on purpose and then
// changed, one for another name, servers that do not speak TLS, and a game.
#include "scenarios.h"

#include <winsock2.h>
#include <windows.h>
#include <wincrypt.h>

#include <cstdlib>

#include "board_probe.h"
#include "relay.h"
#include "resources/resource.h"
#include "scenario_support.h"

namespace {

int TLSPort()
{
    std::string sPort;
    ReadTextFile(ServerOrderDir() + "\\tls-port", sPort);
    return std::atoi(sPort.c_str());
}

// The fingerprint that openssl computed for a certificate of the server.
std::string FingerprintOf(const std::string& sName)
{
    std::string sText;
    ReadTextFile(ServerOrderDir() + "\\" + sName + ".fp", sText);
    return sText.substr(0, sText.find_first_of("\r\n"));
}

// The test authority among the trusted roots of the Wine prefix (the local
// machine's "Root" store, kept in the prefix's registry) while it lives.
class TrustedTestAuthority {
public:
    TrustedTestAuthority()
    {
        std::string sPem;
        BYTE pDer[8192];
        DWORD nDer = sizeof pDer;
        if (!EXPECT_UI(ReadTextFile(ServerOrderDir() + "\\ca.crt", sPem) &&
                           CryptStringToBinaryA(sPem.c_str(), 0, CRYPT_STRING_BASE64HEADER, pDer, &nDer, nullptr,
                                                nullptr),
                       "the test authority's certificate is read"))
            return;
        m_hStore = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
        EXPECT_UI(m_hStore && CertAddEncodedCertificateToStore(m_hStore, X509_ASN_ENCODING, pDer, nDer,
                                                               CERT_STORE_ADD_REPLACE_EXISTING, &m_pCert),
                  "the test authority goes into the prefix's trusted roots");
    }
    ~TrustedTestAuthority()
    {
        if (m_pCert) CertDeleteCertificateFromStore(m_pCert);
        if (m_hStore) CertCloseStore(m_hStore, 0);
    }
    TrustedTestAuthority(const TrustedTestAuthority&) = delete;
    TrustedTestAuthority& operator=(const TrustedTestAuthority&) = delete;

private:
    HCERTSTORE m_hStore = nullptr;
    PCCERT_CONTEXT m_pCert = nullptr;
};

bool ConnectedControls(const Client& c) { return StoredText(ChildById(c.hMain, IDM_CONNECT)) == "Disconnect"; }

bool WaitForUnconnected(const Client& c, DWORD nTimeoutMs = 10000)
{
    bool bBack = WaitUntil([&] { return StoredText(ChildById(c.hMain, IDM_CONNECT)) == "Connect"; }, nTimeoutMs);
    return EXPECT_UI(bBack, c.sName + ": the button reads \"Connect\" again");
}

// The certificate question, checked for the server, the reason, the subject
// and the fingerprint of the server's certificate sCert, and answered.
void AnswerCertificate(const Client& c, const std::string& sReason, const std::string& sCert, int nButton)
{
    std::string sSubject = sCert == "other" ? "CN=irc.other.invalid" : "CN=localhost";
    HWND hAsk = WaitForDialog(c, "Certificate");
    if (!hAsk) return;
    std::string sPrompt = DialogPrompt(hAsk);
    for (const std::string& sPart : {"localhost port " + std::to_string(TLSPort()), sReason, "Subject: " + sSubject,
                                     "SHA-256: " + FingerprintOf(sCert)})
        EXPECT_UI(sPrompt.find(sPart) != std::string::npos,
                  c.sName + ": the question says \"" + sPart + "\"; it reads:\n" + sPrompt);
    PressButton(hAsk, nButton);
    EXPECT_UI(WaitForClosed(hAsk), "the answer closes the question");
}

bool NoCertificateQuestion(const Client& c) { return FindTopWindowOf(c, "Certificate") == nullptr; }

// A loopback listener of the driver's own on a free port, which greets in
// plain text (or says nothing) and holds the connection.
class PlainServer {
public:
    explicit PlainServer(const std::string& sGreeting) : m_sGreeting(sGreeting)
    {
        WSADATA wsa;
        WSAStartup(0x0202, &wsa);
        m_listen = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int nLen = sizeof addr;
        bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(m_listen, 1);
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &nLen);
        m_nPort = ntohs(addr.sin_port);
    }
    ~PlainServer()
    {
        if (m_client != INVALID_SOCKET) closesocket(m_client);
        closesocket(m_listen);
        WSACleanup();
    }
    int Port() const { return m_nPort; }
    // Takes the client's connection and greets it.
    bool Serve()
    {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(m_listen, &ready);
        timeval wait = {10, 0};
        if (select(0, &ready, nullptr, nullptr, &wait) != 1) return false;
        m_client = accept(m_listen, nullptr, nullptr);
        if (!m_sGreeting.empty()) send(m_client, m_sGreeting.data(), static_cast<int>(m_sGreeting.size()), 0);
        return m_client != INVALID_SOCKET;
    }

private:
    std::string m_sGreeting;
    SOCKET m_listen = INVALID_SOCKET;
    SOCKET m_client = INVALID_SOCKET;
    int m_nPort = 0;
};

}  // namespace

// A certificate from an authority the system trusts connects without a
// question, and nothing of the registration, the password least of all,
// crosses the network in clear. A certificate of that authority for another
// name is questioned for its name.
void TLSTrustedAuthority(int)
{
    TrustedTestAuthority authority;
    Client anna("Anna");
    Relay relay;
    if (!EXPECT_UI(relay.Start(TLSPort(), "127.0.0.1", false), "the relay starts")) return;
    if (!StartConnectedWith(anna, "tls-trusted-authority", TLSSettingsFor("Anna", relay.Port()))) return;
    EXPECT_UI(NoCertificateQuestion(anna), "a trusted certificate is not questioned");
    std::string sWire = relay.ClientSent();
    for (const std::string& sClear : {std::string("PASS"), TLSServerPassword(), std::string("NICK"), std::string("Anna")})
        EXPECT_UI(sWire.find(sClear) == std::string::npos, "\"" + sClear + "\" never crosses the network in clear");
    EXPECT_UI(sWire.size() > 5 && sWire[0] == 0x16, "the client's first bytes are a TLS handshake record");
    EXPECT_UI(CloseClient(anna) == 0, "the program ends with exit code 0");

    if (!OrderServer("cert-other")) return;
    Client bert("Bert");
    if (!StartWith(bert, "tls-trusted-authority", TLSSettingsFor("Bert", TLSPort())) || !CloseWelcome(bert)) return;
    PressCommandButton(bert, IDM_CONNECT);
    AnswerCertificate(bert, "it is made out for another name", "other", IDNO);
    WaitForOutput(bert, "Error: certificate not accepted\r\n");
    WaitForUnconnected(bert);
    EXPECT_UI(CloseClient(bert) == 0, "the program ends with exit code 0");
}

// A self-signed certificate is questioned; trusted once, it connects without
// a question after a restart. Another certificate on the same port is
// questioned again as changed, and No leaves the client unconnected.
void TLSSelfSigned(int)
{
    if (!OrderServer("cert-self")) return;
    Client anna("Anna");
    if (!StartWith(anna, "tls-self-signed", TLSSettingsFor("Anna", TLSPort())) || !CloseWelcome(anna)) return;
    PressCommandButton(anna, IDM_CONNECT);
    AnswerCertificate(anna, "not signed by an authority this computer trusts", "self", IDYES);
    WaitForOutput(anna, "End of MOTD command\r\n");
    EXPECT_UI(ConnectedControls(anna), "Yes connects");
    std::string sDir = anna.sDir;
    CloseClient(anna);

    Client again("Anna");
    if (!StartClient(again, sDir) || !CloseWelcome(again)) return;
    PressCommandButton(again, IDM_CONNECT);
    WaitForOutput(again, "End of MOTD command\r\n");
    EXPECT_UI(NoCertificateQuestion(again), "the remembered certificate is not questioned after a restart");
    PressCommandButton(again, IDM_CONNECT);
    HWND hAsk = WaitForDialog(again, "But wait...");
    if (hAsk) PressButton(hAsk, IDYES);
    WaitForUnconnected(again);

    if (!OrderServer("cert-self2")) return;
    PressCommandButton(again, IDM_CONNECT);
    AnswerCertificate(again, "has changed since you trusted it", "self2", IDNO);
    WaitForOutput(again, "Error: certificate not accepted\r\n");
    WaitForUnconnected(again);
    EXPECT_UI(WindowText(again.hOutput).find("End of MOTD command", 0) ==
                  WindowText(again.hOutput).rfind("End of MOTD command"),
              "nothing of the server's greeting arrives after No");
    EXPECT_UI(CloseClient(again) == 0, "the program ends with exit code 0");
}

// A server that answers the handshake in plain text fails at once with the
// handshake error; one that says nothing at all is given up after 30 s.
void TLSNotTLS(int)
{
    PlainServer plain(":irc.plain.local NOTICE * :*** Looking up your hostname\r\n");
    PlainServer silent("");
    Client anna("Anna");
    if (!StartWith(anna, "tls-not-tls", TLSSettingsFor("Anna", plain.Port())) || !CloseWelcome(anna)) return;
    PressCommandButton(anna, IDM_CONNECT);
    EXPECT_UI(plain.Serve(), "the client reaches the plain-text server");
    WaitForOutput(anna, "Error: TLS handshake failed: ");
    WaitForUnconnected(anna);
    CloseClient(anna);

    Client bert("Bert");
    if (!StartWith(bert, "tls-not-tls", TLSSettingsFor("Bert", silent.Port())) || !CloseWelcome(bert)) return;
    PressCommandButton(bert, IDM_CONNECT);
    EXPECT_UI(silent.Serve(), "the client reaches the silent server");
    WaitForOutput(bert, "Error: TLS handshake failed: the server gave no answer in 30 seconds\r\n", 40000);
    WaitForUnconnected(bert);
    EXPECT_UI(CloseClient(bert) == 0, "the program ends with exit code 0");
}

// Two players meet and play a game to five over TLS.
void TLSGame(int)
{
    TrustedTestAuthority authority;
    Client anna("Anna"), bert("Bert");
    const Client* pBlack = MeetForAGame(anna, bert, "tls-game", TLSPort(), nullptr, 0, true);
    if (!pBlack) return;
    const Client& white = pBlack == &anna ? bert : anna;
    if (!PlayRowToFive(*pBlack, white)) return;
    WaitForOutput(white, "<KELVA> Your opponent has won the game.");
    EXPECT_UI(CloseClient(anna) == 0 && CloseClient(bert) == 0, "both programs end with exit code 0");
}
