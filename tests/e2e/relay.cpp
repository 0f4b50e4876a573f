#include "relay.h"

namespace {

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& cs) : m_cs(cs) { EnterCriticalSection(&m_cs); }
    ~Lock() { LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION& m_cs;
};

void SendAll(SOCKET s, const std::string& sBytes)
{
    size_t nSent = 0;
    while (nSent < sBytes.size()) {
        int n = send(s, sBytes.data() + nSent, static_cast<int>(sBytes.size() - nSent), 0);
        if (n <= 0) return;
        nSent += static_cast<size_t>(n);
    }
}

}  // namespace

Relay::Relay()
{
    WSADATA wsa;
    WSAStartup(0x0202, &wsa);
    InitializeCriticalSection(&m_lock);
}

Relay::~Relay()
{
    InterlockedExchange(&m_bStop, 1);
    if (m_hThread) {
        WaitForSingleObject(m_hThread, 5000);
        CloseHandle(m_hThread);
    }
    for (SOCKET s : {m_listen, m_client, m_server})
        if (s != INVALID_SOCKET) closesocket(s);
    DeleteCriticalSection(&m_lock);
}

bool Relay::Start(int nServerPort, const char* szListenAddress, bool bByLine)
{
    m_nServerPort = nServerPort;
    m_bByLine = bByLine;
    m_listen = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = inet_addr(szListenAddress);
    if (bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(m_listen, 1) != 0)
        return false;
    int nLen = sizeof addr;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &nLen);
    m_nPort = ntohs(addr.sin_port);
    m_hThread = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
    return m_hThread != nullptr;
}

std::string Relay::ClientSent()
{
    Lock lock(m_lock);
    return m_sClientSent;
}

void Relay::HoldFrom(const std::string& sText)
{
    Lock lock(m_lock);
    m_sHoldText = sText;
}

void Relay::Release()
{
    Lock lock(m_lock);
    m_sHoldText.clear();
    m_bHolding = false;
    DrainLines();
}

void Relay::Inject(const std::string& sBytes)
{
    Lock lock(m_lock);
    m_sToClient += sBytes;
}

void Relay::Stall() { InterlockedExchange(&m_bStalled, 1); }

DWORD WINAPI Relay::ThreadProc(LPVOID pRelay)
{
    static_cast<Relay*>(pRelay)->Run();
    return 0;
}

void Relay::FromServer(const char* pData, int nLen)
{
    Lock lock(m_lock);
    if (!m_bByLine) {
        m_sToClient.append(pData, static_cast<size_t>(nLen));
        return;
    }
    m_sPartial.append(pData, static_cast<size_t>(nLen));
    DrainLines();
}

// Whole lines go on to the client, unless a hold is on; the lock is held.
void Relay::DrainLines()
{
    size_t nEnd;
    while ((nEnd = m_sPartial.find('\n')) != std::string::npos && !m_bHolding) {
        std::string sLine = m_sPartial.substr(0, nEnd + 1);
        if (!m_sHoldText.empty() && sLine.find(m_sHoldText) != std::string::npos) {
            m_bHolding = true;
            break;
        }
        m_sToClient += sLine;
        m_sPartial.erase(0, nEnd + 1);
    }
}

void Relay::Flush()
{
    std::string sOut;
    {
        Lock lock(m_lock);
        sOut.swap(m_sToClient);
    }
    SendAll(m_client, sOut);
}

void Relay::Run()
{
    fd_set ready;
    timeval tick = {0, 50000};
    while (!m_bStop && m_client == INVALID_SOCKET) {
        FD_ZERO(&ready);
        FD_SET(m_listen, &ready);
        if (select(0, &ready, nullptr, nullptr, &tick) == 1) m_client = accept(m_listen, nullptr, nullptr);
    }
    if (m_bStop) return;
    // A client that stops reading must not hold the relay, and the driver, forever.
    DWORD nSendTimeout = 2000;
    setsockopt(m_client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&nSendTimeout), sizeof nSendTimeout);
    m_server = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<u_short>(m_nServerPort));
    if (connect(m_server, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return;

    char buf[4096];
    while (!m_bStop) {
        if (m_bStalled) {
            Sleep(50);
            continue;
        }
        FD_ZERO(&ready);
        FD_SET(m_client, &ready);
        FD_SET(m_server, &ready);
        timeval wait = {0, 50000};
        if (select(0, &ready, nullptr, nullptr, &wait) > 0) {
            if (FD_ISSET(m_client, &ready)) {
                int n = recv(m_client, buf, sizeof buf, 0);
                if (n <= 0) break;
                {
                    Lock lock(m_lock);
                    m_sClientSent.append(buf, static_cast<size_t>(n));
                }
                SendAll(m_server, std::string(buf, static_cast<size_t>(n)));
            }
            if (FD_ISSET(m_server, &ready)) {
                int n = recv(m_server, buf, sizeof buf, 0);
                if (n <= 0) break;
                FromServer(buf, n);
            }
        }
        Flush();
    }
    shutdown(m_client, SD_SEND);
}
