// The life of the one server connection.
#pragma once

#include "irc/net.h"

// Allocates the two network buffers, starts the sockets layer and learns the
// local host name ("KELVA" when it cannot). 0 on success; otherwise -1 after
// an allocation failure or the WSAStartup error, and the program ends.
short NetStartup();

// Begins connecting to szIRCServer:szIRCPort in the background (see
// connect_attempt.h); OnTcpConnected registers once the connect stands.
// Does nothing while connected or connecting. 0 unless the attempt failed at
// once: then the Winsock error; failures are shown in the output pane.
short ConnectToServer();

// The moment the server's TCP connection stands: sock becomes the
// connection. A plain connection registers at once: the identification line
// on the default server, PASS when a password is set, NICK and USER; with TLS
// the handshake begins here and registration waits for its end
// (ContinueHandshake). Whatever must happen on the connection before
// registration belongs here.
void OnTcpConnected(SOCKET sock);

// The receive pass's step while the TLS handshake of a new connection runs:
// registers once the session is established and its certificate accepted.
// 0 meanwhile; -1 when the handshake or the certificate failed, with the
// error line shown, upon which the caller disconnects.
short ContinueHandshake();

// Says QUIT, closes the socket and puts the connection controls back; an
// attempt to connect still under way is abandoned instead.
// 0, or the closesocket error, upon which the connection stays marked open.
short Disconnect();

// "Error: connect() = 10061" and the like, in the output pane; returns the
// number.
short ShowSocketError(const char* szCall, int nError);

// At exit: frees the buffers, disconnects and stops the sockets layer.
void NetShutdown();
