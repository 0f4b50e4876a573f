#include "irc/connect_attempt.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "irc/connection_state.h"
#include "irc/seam.h"

namespace {

AttemptState& attempt = connection.attempt;

AttemptOutcome GoesOn() { return {ATTEMPT_GOES_ON, INVALID_SOCKET, "", 0}; }

AttemptOutcome Connected(SOCKET sock)
{
    attempt.nStep = ATTEMPT_NONE;
    attempt.sock = INVALID_SOCKET;
    return {ATTEMPT_CONNECTED, sock, "", 0};
}

AttemptOutcome Failed(const char* szCall, int nError, AttemptResult nResult = ATTEMPT_FAILED)
{
    attempt.nStep = ATTEMPT_NONE;
    attempt.sock = INVALID_SOCKET;
    return {nResult, INVALID_SOCKET, szCall, nError};
}

void AddAddress(const sockaddr* pAddress, socklen_t nLength)
{
    if (attempt.nAddresses == MAX_ADDRESSES || nLength > static_cast<socklen_t>(sizeof(sockaddr_storage))) return;
    std::memcpy(&attempt.addresses[attempt.nAddresses], pAddress, static_cast<size_t>(nLength));
    attempt.nLengths[attempt.nAddresses++] = nLength;
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
// or stands. When none is left, the last failure (szCall, nError) is the
// attempt's.
AttemptOutcome TryRemainingAddresses(const char* szCall, int nError)
{
    while (attempt.nNext < attempt.nAddresses) {
        int i = attempt.nNext++;
        SetAddressPort(attempt.addresses[i], attempt.nPort);
        SOCKET sock = OpenSocket(attempt.addresses[i], attempt.nLengths[i], szCall, nError);
        if (sock == INVALID_SOCKET) continue;
        WatchConnect(sock);
        if (connect(sock, reinterpret_cast<sockaddr*>(&attempt.addresses[i]), attempt.nLengths[i]) == 0)
            return Connected(sock);
        szCall = "connect";
        nError = WSAGetLastError();
        if (nError == WSAEWOULDBLOCK || nError == WSAEINPROGRESS) {
            attempt.nStep = ATTEMPT_CONNECTING;
            attempt.sock = sock;
            return GoesOn();
        }
        closesocket(sock);
    }
    return Failed(szCall, nError);
}

void UseDottedAddress(const char* szAddress)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = inet_addr(szAddress);
    AddAddress(reinterpret_cast<sockaddr*>(&address), sizeof address);
}

}  // namespace

AttemptOutcome BeginAttempt(const char* szServer, const char* szPort)
{
    ++attempt.nNumber;
    attempt.nAddresses = 0;
    attempt.nNext = 0;
    attempt.nPort = htons(static_cast<unsigned short>(std::atoi(szPort)));
    // A malformed dotted address only shows up as a failing connect.
    if (std::isdigit(static_cast<unsigned char>(szServer[0]))) {
        UseDottedAddress(szServer);
        return TryRemainingAddresses("connect", 0);
    }
    attempt.nStep = ATTEMPT_RESOLVING;
    ResolveServerName(attempt.nNumber, szServer);
    return GoesOn();
}

bool AttemptUnderWay() { return attempt.nStep != ATTEMPT_NONE; }

void AbandonAttempt()
{
    if (attempt.sock != INVALID_SOCKET) closesocket(attempt.sock);
    attempt.nStep = ATTEMPT_NONE;
    attempt.sock = INVALID_SOCKET;
}

AttemptOutcome TakeLookUp(unsigned nAttempt, addrinfo* pFound, int nError)
{
    bool bCurrent = attempt.nStep == ATTEMPT_RESOLVING && nAttempt == attempt.nNumber;
    for (addrinfo* p = pFound; p != nullptr && bCurrent; p = p->ai_next)
        if (p->ai_family == AF_INET || p->ai_family == AF_INET6)
            AddAddress(p->ai_addr, static_cast<socklen_t>(p->ai_addrlen));
    if (pFound != nullptr) freeaddrinfo(pFound);
    if (!bCurrent) return GoesOn();
    if (nError != 0) return Failed("gethostbyname", nError, ATTEMPT_NOT_FOUND);
    if (attempt.nAddresses == 0) return Failed("gethostbyname", WSANO_DATA, ATTEMPT_NOT_FOUND);
    return TryRemainingAddresses("connect", 0);
}

AttemptOutcome TakeConnectEnd(SOCKET sock, int nError)
{
    if (attempt.nStep != ATTEMPT_CONNECTING || sock != attempt.sock) return GoesOn();
    if (nError == 0) return Connected(sock);
    closesocket(sock);
    attempt.sock = INVALID_SOCKET;
    return TryRemainingAddresses("connect", nError);
}
