// Reaching the server without making the window wait: the name is looked up
// away from the window thread, its addresses are tried one after the other
// with non-blocking connects, and the shell reports the end of each step
// back here as a window message. One attempt at a time.
#pragma once

#include "irc/net.h"

// Begins reaching szIRCServer at szIRCPort: a name that begins with a digit
// is a dotted address, used as it is; any other name is looked up first.
// 0 while under way or once connected; otherwise the Winsock error, shown.
short StartConnectAttempt();

bool ConnectAttemptInProgress();

// Abandons the attempt at once: its socket is closed, and a look-up still
// running is ignored when it ends. The controls read "Connect" again.
void CancelConnectAttempt();

// The look-up of attempt nAttempt has ended with its addresses, which are
// freed here, or with the Winsock error nError. A look-up of an attempt that
// has been abandoned meanwhile is dropped.
void OnServerNameResolved(unsigned nAttempt, addrinfo* pFound, int nError);

// The connect of sock has ended: 0 when it stands, otherwise the Winsock
// error, upon which the next address is tried. Ignored unless sock is the
// socket of the attempt's connect.
void OnConnectDone(SOCKET sock, int nError);
