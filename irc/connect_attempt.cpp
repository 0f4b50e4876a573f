#include "irc/connect_attempt.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/seam.h"

namespace {

// More addresses than a name ever has in practice; the rest are not tried.
const int MAX_ADDRESSES = 16;

enum AttemptStep { ATTEMPT_NONE, ATTEMPT_RESOLVING, ATTEMPT_CONNECTING };

struct Attempt {
    AttemptStep nStep = ATTEMPT_NONE;
    // Counts attempts, so that the look-up of an abandoned one is told apart.
    unsigned nNumber = 0;
    SOCKET sock = INVALID_SOCKET;  // the connect under way
    sockaddr_storage addresses[MAX_ADDRESSES];
    socklen_t nLengths[MAX_ADDRESSES];
    int nAddresses = 0;
    int nNext = 0;  // the address to try when the connect under way fails
};

Attempt attempt;

void EndAttempt()
{
    attempt.nStep = ATTEMPT_NONE;
    attempt.sock = INVALID_SOCKET;
}

short FailAttempt(const char* szCall, int nError)
{
    EndAttempt();
    SetConnectionControls(CONTROLS_DISCONNECTED);
    return ShowSocketError(szCall, nError);
}

void Connected(SOCKET sock)
{
    EndAttempt();
    OnTcpConnected(sock);
}

void AddAddress(const sockaddr* pAddress, socklen_t nLength)
{
    if (attempt.nAddresses == MAX_ADDRESSES || nLength > static_cast<socklen_t>(sizeof(sockaddr_storage))) return;
    std::memcpy(&attempt.addresses[attempt.nAddresses], pAddress, static_cast<size_t>(nLength));
    attempt.nLengths[attempt.nAddresses++] = nLength;
}

// The port of the setting, as atoi reads it: 0 when it is not a number.
void SetPort(sockaddr_storage& address)
{
    unsigned short nPort = htons(static_cast<unsigned short>(std::atoi(client.szIRCPort)));
    if (address.ss_family == AF_INET6)
        reinterpret_cast<sockaddr_in6*>(&address)->sin6_port = nPort;
    else
        reinterpret_cast<sockaddr_in*>(&address)->sin_port = nPort;
}

// A socket of the address's family, bound to any local address, that does
// not block; INVALID_SOCKET with szCall and nError saying what failed.
SOCKET OpenSocket(const sockaddr_storage& address, socklen_t nLength, const char*& szCall, int& nError)
{
    SOCKET sock = socket(address.ss_family, SOCK_STREAM, 0);
    if (sock == INVALID_SOCKET) {
        szCall = "socket";
        nError = WSAGetLastError();
        return INVALID_SOCKET;
    }
    sockaddr_storage local = {};
    local.ss_family = address.ss_family;
    if (bind(sock, reinterpret_cast<sockaddr*>(&local), nLength) == SOCKET_ERROR) {
        szCall = "bind";
        nError = WSAGetLastError();
        closesocket(sock);
        return INVALID_SOCKET;
    }
    unsigned long nNonBlocking = 1;
    ioctlsocket(sock, FIONBIO, &nNonBlocking);
    return sock;
}

// Starts a connect to each remaining address in turn until one is under way
// or stands. When none is left, the last failure (szCall, nError) is shown.
short TryRemainingAddresses(const char* szCall, int nError)
{
    while (attempt.nNext < attempt.nAddresses) {
        int i = attempt.nNext++;
        SetPort(attempt.addresses[i]);
        SOCKET sock = OpenSocket(attempt.addresses[i], attempt.nLengths[i], szCall, nError);
        if (sock == INVALID_SOCKET) continue;
        WatchConnect(sock);
        if (connect(sock, reinterpret_cast<sockaddr*>(&attempt.addresses[i]), attempt.nLengths[i]) == 0) {
            Connected(sock);
            return 0;
        }
        szCall = "connect";
        nError = WSAGetLastError();
        if (nError == WSAEWOULDBLOCK || nError == WSAEINPROGRESS) {
            attempt.nStep = ATTEMPT_CONNECTING;
            attempt.sock = sock;
            return 0;
        }
        closesocket(sock);
    }
    return FailAttempt(szCall, nError);
}

void UseDottedAddress(const char* szAddress)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr(szAddress);
    AddAddress(reinterpret_cast<sockaddr*>(&address), sizeof address);
}

}  // namespace

short StartConnectAttempt()
{
    ++attempt.nNumber;
    attempt.nAddresses = 0;
    attempt.nNext = 0;
    SetConnectionControls(CONTROLS_CONNECTING);
    // A malformed dotted address only shows up as a failing connect.
    if (std::isdigit(static_cast<unsigned char>(client.szIRCServer[0]))) {
        UseDottedAddress(client.szIRCServer);
        return TryRemainingAddresses("connect", 0);
    }
    attempt.nStep = ATTEMPT_RESOLVING;
    ResolveServerName(attempt.nNumber, client.szIRCServer);
    return 0;
}

bool ConnectAttemptInProgress() { return attempt.nStep != ATTEMPT_NONE; }

void CancelConnectAttempt()
{
    if (attempt.nStep == ATTEMPT_NONE) return;
    if (attempt.sock != INVALID_SOCKET) closesocket(attempt.sock);
    EndAttempt();
    SetConnectionControls(CONTROLS_DISCONNECTED);
}

void OnServerNameResolved(unsigned nAttempt, addrinfo* pFound, int nError)
{
    bool bCurrent = attempt.nStep == ATTEMPT_RESOLVING && nAttempt == attempt.nNumber;
    for (addrinfo* p = pFound; p != nullptr && bCurrent; p = p->ai_next)
        if (p->ai_family == AF_INET || p->ai_family == AF_INET6)
            AddAddress(p->ai_addr, static_cast<socklen_t>(p->ai_addrlen));
    if (pFound != nullptr) freeaddrinfo(pFound);
    if (!bCurrent) return;
    if (nError != 0) {
        FailAttempt("gethostbyname", nError);
        return;
    }
    if (attempt.nAddresses == 0) {
        FailAttempt("gethostbyname", WSANO_DATA);
        return;
    }
    TryRemainingAddresses("connect", 0);
}

void OnConnectDone(SOCKET sock, int nError)
{
    if (attempt.nStep != ATTEMPT_CONNECTING || sock != attempt.sock) return;
    if (nError == 0) {
        Connected(sock);
        return;
    }
    closesocket(sock);
    attempt.sock = INVALID_SOCKET;
    TryRemainingAddresses("connect", nError);
}
