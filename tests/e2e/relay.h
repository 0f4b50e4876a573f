// A relay between one kelva.exe and the test IRC server, inside the driver:
// it records what the client sends, can hold back the server's lines from a
// chosen one on, can slip extra bytes to the client, and can go silent.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>

class Relay {
public:
    Relay();
    ~Relay();
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;

    // Listens on a free port of the loopback address (127.0.0.1 unless
    // given) and forwards its one client to the server on nServerPort; the
    // server's bytes go on line by line, or as they come when not bByLine
    // (TLS records are not lines).
    bool Start(int nServerPort, const char* szListenAddress = "127.0.0.1", bool bByLine = true);
    int Port() const { return m_nPort; }

    std::string ClientSent();
    // From the first server line that contains sText, lines wait for Release.
    void HoldFrom(const std::string& sText);
    void Release();
    void Inject(const std::string& sBytes);
    // From now on nothing passes either way and both connections stay open,
    // as when the network between the client and the server goes away.
    void Stall();

private:
    static DWORD WINAPI ThreadProc(LPVOID pRelay);
    void Run();
    void FromServer(const char* pData, int nLen);
    void DrainLines();
    void Flush();

    SOCKET m_listen = INVALID_SOCKET;
    SOCKET m_client = INVALID_SOCKET;
    SOCKET m_server = INVALID_SOCKET;
    int m_nServerPort = 0;
    bool m_bByLine = true;
    int m_nPort = 0;
    HANDLE m_hThread = nullptr;
    volatile LONG m_bStop = 0;
    volatile LONG m_bStalled = 0;
    CRITICAL_SECTION m_lock;
    std::string m_sClientSent;
    std::string m_sHoldText;
    bool m_bHolding = false;
    std::string m_sPartial;  // the server's bytes since its last LF
    std::string m_sToClient;
};
