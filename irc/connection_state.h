// The one record of the server connection's life: the attempt to reach the
// server, the transport that carries the lines, the assembly of received
// bytes into lines and the watch over the server's silence, with why the
// last connection ended. Each part is kept by its own file (connect_attempt,
// transport, receive, keepalive) for the connection (connection.cpp), which
// alone decides when a connection begins and ends. It is data only, so that
// the files below the connection that must see a part of it (the send path
// sends through the transport) need not call into the connection.
#pragma once

#include "irc/connect_attempt.h"
#include "irc/keepalive.h"
#include "irc/receive.h"
#include "irc/transport.h"

// Why a connection, or an attempt to make one, ended. Each end passes through
// EndConnection (irc/connection.h) with its reason.
enum EndReason : short {
    END_NONE,               // not ended
    END_USER,               // the user's Disconnect, or Cancel while connecting
    END_QUIT,               // the server's close after the user's QUIT
    END_CLOSED,             // closed by the server
    END_RESET,              // a receive failed: reset, or any other socket error
    END_SILENCE,            // the server did not answer for twice the ping interval
    END_HANDSHAKE_FAILED,   // the TLS handshake failed
    END_TLS_FAILED,         // the TLS session failed
    END_CERT_REFUSED,       // the user did not accept the server's certificate
    END_LOOKUP_FAILED,      // the server's name was not found
    END_CONNECT_FAILED,     // no address of the server could be connected to
    END_WINDOW_CLOSED,      // the program ends
    END_LOGIN_REFUSED,      // the SASL login failed
};

struct ConnectionRecord {
    AttemptState attempt;
    SessionState session;
    LineAssembly lines;
    SilenceWatch watch;
    // The user has said QUIT on this connection: the server's close that
    // follows is the user's end, not a drop.
    int bQuitSent = 0;
    // An end that the handling of a server line asks for (a refused login),
    // with the text of its error line; the connection ends after the pass.
    EndReason nEndAsked = END_NONE;
    TextField szEndDetail = {};
    EndReason nLastEnd = END_NONE;

    // Connecting again after a drop: the wait before the next try, from its
    // start, and the channel to join again once registered.
    bool bRetryWaiting = false;
    unsigned nRetryStart = 0;
    int nRetrySeconds = 0;       // the wait of the last try; 0 before the first
    bool bRetryAttempt = false;  // the attempt under way is such a try
    TextField szRejoin = {};
};

extern ConnectionRecord connection;
