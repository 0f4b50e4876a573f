// The computer opponent's side of the server conversation, with no network
// in it: it is given the server's lines and the time, and says what to send
// through its host. It registers, joins the game channel, answers PING, and
// plays everybody who invites it, one game per partner, each game a value of
// the shared play logic with its own board and coin toss.
#pragma once

#include <vector>

#include "game/play.h"
#include "irc/line_limits.h"
#include "irc/text.h"
#include "opponent/search.h"

const short MAX_GAMES_DEFAULT = 32;                     // games at once; the next inviter is told "busy"
const short MAX_GAMES_LIMIT = 10000;                    // the most that --max-games allows
const unsigned PARTNER_TIMEOUT_MS = 10u * 60u * 1000u;  // a partner silent this long has gone
const unsigned CLEAR_DELAY_MS = 3000;                   // the finished board stays this long before the computer clears it
const short MAX_NICK_LENGTH = 9;

struct OpponentHost {
    // A protocol line for the server, "\r\n" included.
    void (*pfnSendLine)(void* pData, const char* szLine);
    // A line for the operator's log, without line end.
    void (*pfnLog)(void* pData, const char* szText);
    void* pData;
};

struct Opponent;

// One partner and the game with them; the game's host data points here.
struct PartnerGame {
    bool bInUse = false;
    TextField szPartner = {};
    Game game = {};
    unsigned nLastHeard = 0;     // when the partner's last game message came
    bool bClearPending = false;  // the computer clears the finished board at nClearAt
    unsigned nClearAt = 0;
    TextField szNotice = {};     // the pieces of the play logic's current notice
    SearchMemoryPtr memory;      // the search's, for as long as the partner plays
    Opponent* pOwner = nullptr;
};

struct Opponent {
    OpponentHost host = {};
    TextField szNickBase = {};  // as asked for; the fallbacks add a number
    TextField szNickname = {};  // as the server knows it
    short nNickTries = 1;
    bool bRegistered = false;
    unsigned nSeed = 0;    // chooses among equal moves and seeds the coins
    unsigned nResets = 0;  // games reset so far; makes every reset's seed differ
    short nLevel = LEVEL_FULL;
    unsigned long nSearchNodes = 0;  // positions a move may visit; 0: the level's own
    unsigned nNow = 0;     // milliseconds, from the last line or tick
    std::vector<PartnerGame> partners;  // one place per game at once; never resized while games are on
};

// A fresh opponent, not connected, that will ask for szNick (at most 9
// characters are used).
void StartOpponent(Opponent& o, const OpponentHost& host, const char* szNick, unsigned nSeed);

// Room for nGames games at once (1 to MAX_GAMES_LIMIT) instead of
// MAX_GAMES_DEFAULT. Games on are dropped without a word: it is meant for
// the start, before any connection.
void AllowGames(Opponent& o, short nGames);

// A new connection: the registration lines. Games of an earlier connection
// must have been ended first.
void BeginRegistration(Opponent& o, unsigned nNow);

// One complete line from the server, with or without its line end.
void HandleOpponentLine(Opponent& o, const char* szLine, unsigned nNow);

// The passing of time: silent partners are given up and finished boards
// cleared when their delay is over.
void TickOpponent(Opponent& o, unsigned nNow);

// Milliseconds until the next thing TickOpponent has to do, at most nMax.
unsigned NextTick(const Opponent& o, unsigned nNow, unsigned nMax);

// The connection is gone: every game ends without a word to the partners.
void EndAllGames(Opponent& o);
