// errno to Windows Sockets error numbers, for the native build.
#include "irc/net.h"

#undef getaddrinfo  // the wrapper below calls the real one

namespace {

struct ErrnoMapping {
    int nErrno;
    int nWinsock;
};

const ErrnoMapping kMappings[] = {
    {EINTR, 10004},        {EBADF, WSAENOTSOCK},  {EACCES, 10013},
    {EFAULT, 10014},       {EINVAL, 10022},       {EMFILE, 10024},
    {EWOULDBLOCK, WSAEWOULDBLOCK},                {EINPROGRESS, 10036},
    {EALREADY, 10037},     {ENOTSOCK, WSAENOTSOCK},                {EDESTADDRREQ, 10039},
    {EMSGSIZE, 10040},     {EPROTOTYPE, 10041},   {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043},                     {EOPNOTSUPP, 10045},
    {EAFNOSUPPORT, 10047}, {EADDRINUSE, 10048},   {EADDRNOTAVAIL, 10049},
    {ENETDOWN, 10050},     {ENETUNREACH, 10051},  {ENETRESET, 10052},
    {ECONNABORTED, 10053}, {ECONNRESET, WSAECONNRESET},             {ENOBUFS, 10055},
    {EISCONN, 10056},      {ENOTCONN, 10057},     {ESHUTDOWN, 10058},
    {EPIPE, WSAECONNRESET},                       {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061}, {EHOSTDOWN, 10064},    {EHOSTUNREACH, 10065},
};

}  // namespace

int WSAGetLastError()
{
    int nError = errno;
    for (const ErrnoMapping& m : kMappings)
        if (m.nErrno == nError) return m.nWinsock;
    return nError;  // already a Winsock number, or one Winsock has no name for
}

int NetGetAddrInfo(const char* szNode, const char* szService, const addrinfo* pHints, addrinfo** ppFound)
{
    switch (::getaddrinfo(szNode, szService, pHints, ppFound)) {
    case 0: return 0;
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
    case EAI_AGAIN: return 11002;  // WSATRY_AGAIN
    case EAI_SYSTEM: return WSAGetLastError();
    case EAI_MEMORY: return 8;  // WSA_NOT_ENOUGH_MEMORY
#ifdef EAI_NODATA
    case EAI_NODATA: return WSANO_DATA;
#endif
    default: return 11003;  // WSANO_RECOVERY
    }
}
