// A server line as the dispatch takes it apart, and what the handlers of its
// kinds share across the dispatch's files.
#pragma once

#include <initializer_list>

#include "irc/client_state.h"

struct ServerLine {
    const char* szLine;
    short nPos;          // on the command word, or after a numeric on its target
    TextField szSender;  // the prefix's nick, empty without a prefix
    short nNumeric;      // 0 when the command is a word
    // Set by a handler: the partner has left the channel or the server, and
    // the conversation or the game with them ends once the line is handled.
    bool bPartnerLeft;
};

// The pieces of one shown line, in one append.
void ShowPieces(std::initializer_list<const char*> pieces);
// Behind "<?> ": what nothing else claims.
void ShowWhole(const ServerLine& line);
// Whole names, byte for byte.
bool IsOwnNick(const char* szName);
bool IsPartner(const char* szName);

// The channel's members (channel_members.cpp): PART, QUIT, NICK, KICK, MODE
// and TOPIC, from the position on the command word.
void OnPart(ServerLine& line);
void OnQuit(ServerLine& line);
void OnNick(ServerLine& line);
void OnKick(ServerLine& line);
void OnMode(ServerLine& line);
void OnTopic(ServerLine& line);
