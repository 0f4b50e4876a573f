// The life of the one server connection.
#pragma once

// Allocates the two network buffers, starts the sockets layer and learns the
// local host name ("KELVA" when it cannot). 0 on success; otherwise -1 after
// an allocation failure or the WSAStartup error, and the program ends.
short NetStartup();

// Opens the connection to szIRCServer:szIRCPort and registers: the
// identification line on the default server, PASS when a password is set,
// NICK and USER. 0 when connected or already connected, otherwise the
// Winsock error; failures are shown in the output pane.
short ConnectToServer();

// The receive pass's step while the TLS handshake of a new connection runs:
// registers once the session is established and its certificate accepted.
// 0 meanwhile; -1 when the handshake or the certificate failed, with the
// error line shown, upon which the caller disconnects.
short ContinueHandshake();

// Says QUIT, closes the socket and puts the connection controls back.
// 0, or the closesocket error, upon which the connection stays marked open.
short Disconnect();

// At exit: frees the buffers, disconnects and stops the sockets layer.
void NetShutdown();
