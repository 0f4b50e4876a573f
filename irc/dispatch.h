// The handling of every complete line that arrives from the server.
#pragma once

// The line ends as it was received ("\r\n" or a bare LF). It is understood:
// PING is answered, JOIN, PART, QUIT, NICK, KICK and MODE keep the nick list,
// the partner, the channel and the title up to date, messages and topics are
// shown with their sender, the channel list dialog is filled, a nickname
// taken at registration gets a fallback, and game messages go to the
// handshake.
void HandleServerLine(const char* szLine);
