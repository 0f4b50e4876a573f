// The sockets layer in Windows Sockets terms. On Windows this is Winsock
// itself; natively it is BSD sockets behind the few Winsock names the core
// uses, with errno mapped to the Winsock error numbers, so that the core and
// its messages ("Error: recv() = 10054") are the same on both.
#pragma once

#ifdef _WIN32
#include "irc/platform.h"
#else
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <ctime>
#include <unistd.h>

typedef int SOCKET;
#define INVALID_SOCKET (-1)
#define SOCKET_ERROR (-1)

#define WSAEWOULDBLOCK 10035
#define WSAEINPROGRESS 10036
#define WSAENOTSOCK 10038
#define WSAECONNRESET 10054
#define WSAHOST_NOT_FOUND 11001
#define WSANO_DATA 11004

struct WSADATA {
    unsigned short wVersion;
    unsigned short wHighVersion;
};

// Winsock reports a write to a closed connection as an error; BSD sockets
// raise SIGPIPE instead, which would end the program.
inline int WSAStartup(unsigned short, WSADATA*)
{
    signal(SIGPIPE, SIG_IGN);
    return 0;
}

inline int WSACleanup() { return 0; }

inline int closesocket(SOCKET s) { return close(s); }

// The kernel's pause, under its Windows name.
inline void Sleep(unsigned long nMs)
{
    timespec ts = {static_cast<time_t>(nMs / 1000), static_cast<long>(nMs % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

inline int ioctlsocket(SOCKET s, long nCommand, unsigned long* pArg)
{
    int nValue = static_cast<int>(*pArg);
    return ioctl(s, static_cast<unsigned long>(nCommand), &nValue);
}

// The Winsock number of the last failed socket call.
int WSAGetLastError();

// getaddrinfo with its EAI_ results given as the Winsock numbers that
// Windows returns (11001 for a name that does not exist).
int NetGetAddrInfo(const char* szNode, const char* szService, const addrinfo* pHints, addrinfo** ppFound);
#define getaddrinfo NetGetAddrInfo
#endif

// Every address of a server name, IPv6 and IPv4, in the order the system
// prefers; the port is left 0. 0, or the Winsock number of the failure. It
// may wait on name servers for seconds: never called on the window thread.
inline int LookUpServerName(const char* szName, addrinfo** ppFound)
{
    addrinfo hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    *ppFound = nullptr;
    return getaddrinfo(szName, nullptr, &hints, ppFound);
}

// Puts the port (in network order) into an IPv4 or IPv6 address.
inline void SetAddressPort(sockaddr_storage& address, unsigned short nPort)
{
    if (address.ss_family == AF_INET6)
        reinterpret_cast<sockaddr_in6*>(&address)->sin6_port = nPort;
    else
        reinterpret_cast<sockaddr_in*>(&address)->sin_port = nPort;
}
