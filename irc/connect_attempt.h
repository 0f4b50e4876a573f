// Reaching the server without making the window wait: the name is looked up
// away from the window thread, its addresses are tried one after the other
// with non-blocking connects, and the shell reports the end of each step
// back to the connection, which hands it on here. One attempt at a time.
// Each step says how the attempt stands; what follows is the connection's
// to decide.
#pragma once

#include "irc/net.h"

// More addresses than a name ever has in practice; the rest are not tried.
const int MAX_ADDRESSES = 16;

enum AttemptStep { ATTEMPT_NONE, ATTEMPT_RESOLVING, ATTEMPT_CONNECTING };

struct AttemptState {
    AttemptStep nStep = ATTEMPT_NONE;
    // Counts attempts, so that the look-up of an abandoned one is told apart.
    unsigned nNumber = 0;
    SOCKET sock = INVALID_SOCKET;  // the connect under way
    sockaddr_storage addresses[MAX_ADDRESSES];
    socklen_t nLengths[MAX_ADDRESSES];
    int nAddresses = 0;
    int nNext = 0;  // the address to try when the connect under way fails
    unsigned short nPort = 0;  // in network order
};

enum AttemptResult {
    ATTEMPT_GOES_ON,    // waiting for a look-up or a connect; or a report that was not for it
    ATTEMPT_CONNECTED,  // sock stands
    ATTEMPT_NOT_FOUND,  // the look-up ("gethostbyname") failed with nError
    ATTEMPT_FAILED,     // szCall failed with nError: the last address's socket, bind or connect
};

inline bool AttemptFailed(AttemptResult nResult) { return nResult == ATTEMPT_NOT_FOUND || nResult == ATTEMPT_FAILED; }

struct AttemptOutcome {
    AttemptResult nResult;
    SOCKET sock;
    const char* szCall;  // "gethostbyname", "socket", "bind" or "connect"
    int nError;
};

// Begins reaching szServer at the port that atoi reads from szPort (0 when
// it is not a number): a name that begins with a digit is a dotted address,
// used as it is; any other name is looked up first.
AttemptOutcome BeginAttempt(const char* szServer, const char* szPort);

bool AttemptUnderWay();

// Abandons the attempt: its socket is closed, and a look-up still running is
// ignored when it ends.
void AbandonAttempt();

// The look-up of attempt nAttempt has ended with its addresses, which are
// freed here, or with the Winsock error nError. A look-up of an attempt that
// has been abandoned meanwhile is dropped.
AttemptOutcome TakeLookUp(unsigned nAttempt, addrinfo* pFound, int nError);

// The connect of sock has ended: 0 when it stands, otherwise the Winsock
// error, upon which the next address is tried. Ignored unless sock is the
// socket of the attempt's connect.
AttemptOutcome TakeConnectEnd(SOCKET sock, int nError);
