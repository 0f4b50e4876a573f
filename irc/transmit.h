// Where every line leaves the client, below the translation of what the
// user types (irc/send.h): the protocol's own lines, and the messages that
// the game sends to the other program.
#pragma once

// Sends the text as it stands, in one send; a failure is shown as
// "Error: send() = %d".
void SendRaw(const char* szLine);

// The one the conversation goes to: the partner, or the channel without one.
const char* ConversationTarget();

// "PRIVMSG szTarget :" and the text, which ends in "\r\n", in one send and
// without an echo: the game's messages, meant for the other program.
void SendMessageTo(const char* szTarget, const char* szText);
// The same to the conversation's target.
void SendToConversation(const char* szText);
