// The one way text leaves the client.
#pragma once

// In raw mode (nSendMode 2) the text goes out unchanged. In compose mode
// (nSendMode 1) it is a user line: "/JOIN", "/PART", "/QUIT" and other "/"
// commands are translated, anything else becomes a PRIVMSG to the partner or
// the channel and is echoed. Each call makes at most one send (SendRaw of
// irc/transmit.h).
void SendText(const char* szText);

// Leaving the channel here: the nick list emptied, the title "KELVA", the
// channel and the partner forgotten, game mode off. The local side of PART,
// of QUIT in a channel, and of being kicked.
void LeaveChannel();
