// The life of the one server connection, and its one owner: a connection
// begins with ConnectToServer, is driven by PumpConnection on each pass of
// the main loop, and every end of it, or of an attempt to make it, passes
// through EndConnection with its reason. Its state is one record
// (irc/connection_state.h).
#pragma once

#include "irc/connection_state.h"

// Allocates the two network buffers, starts the sockets layer and learns the
// local host name ("KELVA" when it cannot). 0 on success; otherwise -1 after
// an allocation failure or the WSAStartup error, and the program ends.
short NetStartup();

// At exit: frees the buffers, ends the connection and stops the sockets
// layer.
void NetShutdown();

// Begins connecting to szIRCServer:szIRCPort in the background (see
// connect_attempt.h); once the TCP connection stands, a plain connection
// registers at once (the identification line on the default server, PASS
// when a password is set, NICK and USER), while with TLS the handshake
// begins and registration waits for its end. Does nothing while connected
// or connecting. 0 unless the attempt failed at once: then the Winsock
// error; failures are shown in the output pane.
short ConnectToServer();

// An attempt to connect under way, or the wait before connecting again.
bool ConnectAttemptInProgress();

// Whether the main loop must pass again soon without a window message: while
// connected, and while waiting to connect again.
bool ConnectionNeedsPasses();

// The user's end: says QUIT, closes the socket and puts the connection
// controls back; an attempt to connect still under way, or the wait before
// connecting again, is abandoned instead. 0, or the closesocket error, upon
// which the connection stays marked open.
short Disconnect();

// Once per pass of the main loop: steps the TLS handshake of a new
// connection, or makes one receive (see receive.h) and watches the server's
// silence, sending "PING :KELVA" when it is due. A connection found broken,
// closed or silent too long, or one whose login failed, is ended here; the
// reason is returned, END_NONE while the connection stands or nothing is
// connected. While not connected it makes the try to connect again that is
// due.
EndReason PumpConnection();

// Whether more server data most likely waits: the main loop then receives
// again before it waits.
bool MoreServerDataLikely();

// The shell's reports on an attempt: the look-up of attempt nAttempt has
// ended with its addresses (freed here) or the Winsock error nError; the
// connect of sock has ended with 0 or the Winsock error.
void OnServerNameResolved(unsigned nAttempt, addrinfo* pFound, int nError);
void OnConnectDone(SOCKET sock, int nError);

// Every end of a connection or of an attempt: shows the reason's error line
// ("Error: recv() = 10054" and the like; nError is the number it shows,
// szDetail the failed call or the TLS or login failure), says QUIT while the
// server may still read it, closes the socket and puts the connection
// controls back; or, when the reason calls for it and kelva.ini allows it,
// waits to connect again ("<KELVA> Connecting again in 5 seconds"), and then
// joins the channel the user was in once registered.
// 0, or the closesocket error, upon which the connection stays marked open.
short EndConnection(EndReason nReason, int nError = 0, const char* szDetail = "");

// Whether a connection that ended for this reason is worth making again
// without the user: true when the server or the network dropped it, or when
// an attempt that was itself such a try failed; false when the user ended
// it, refused the certificate or the login failed, or when the user's own
// attempt never reached the server or its TLS handshake failed.
bool ConnectsAgainAfter(EndReason nReason, bool bRetryAttempt);
