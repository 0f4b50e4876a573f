// The games with partners, as the server conversation drives them.
#pragma once

#include "opponent/opponent.h"

// A game message ("!" and a letter) from szSender; nLetter is the index of
// the letter in the whole line.
void OnGameMessage(Opponent& o, const char* szSender, const char* szLine, short nLetter);

// szSender has left the channel or the server.
void OnPartnerGone(Opponent& o, const char* szSender);

// A partner is now known by another nickname.
void OnPartnerRenamed(Opponent& o, const char* szOld, const char* szNew);

// szText (a game message with its "\r\n") as a PRIVMSG to szNick.
void SendToNick(Opponent& o, const char* szNick, const char* szText);

// A log line: the pieces one after the other.
void LogPieces(Opponent& o, const char* szA, const char* szB = "", const char* szC = "", const char* szD = "");
