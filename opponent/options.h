// The command line of kelva-opponent.
#pragma once

#include "irc/text.h"
#include "opponent/opponent.h"
#include "opponent/search.h"

struct OpponentOptions {
    TextField szServer = "localhost";
    unsigned short nPort = 6667;
    TextField szNick = "Computer";
    bool bSeedGiven = false;  // otherwise the seed comes from the clock
    unsigned nSeed = 0;
    short nMaxGames = MAX_GAMES_DEFAULT;
    short nLevel = LEVEL_FULL;
};

const short OPTIONS_RUN = 0;
const short OPTIONS_HELP = 1;
const short OPTIONS_ERROR = 2;  // szError says why

extern const char szOpponentUsage[];

short ParseOpponentOptions(int argc, const char* const* argv, OpponentOptions& options, TextField& szError);
