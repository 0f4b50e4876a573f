// Logging in to an account while registering, when the user has set one:
// capability negotiation (CAP LS 302, CAP REQ, CAP END) and SASL PLAIN
// (AUTHENTICATE). The registration begins it; the dispatch hands it the
// server's lines of the exchange. A login that fails shows why and asks the
// connection to end; the user mends the account before trying again.
#pragma once

#include <cstddef>

#include "irc/server_line.h"

// The first line of a registration with an account: "CAP LS 302". Without
// an account nothing is sent and no line is taken.
void BeginLogin();

// "CAP" and "AUTHENTICATE" lines, from the position on the command word.
void OnCap(ServerLine& line);
void OnAuthenticate(ServerLine& line);

// The numerics of a login under way (the SASL replies, an unknown CAP, the
// welcome of a server that ignored CAP); false for any other line, which the
// dispatch handles as it always does.
bool TakeLoginNumeric(ServerLine& line);
