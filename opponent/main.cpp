// kelva-opponent: a computer player in the game channel of a KELVA server.
#include <cstdio>

#include "opponent/net_loop.h"

int main(int argc, char** argv)
{
    OpponentOptions options;
    TextField szError;
    switch (ParseOpponentOptions(argc, argv, options, szError)) {
    case OPTIONS_HELP: std::fputs(szOpponentUsage, stdout); return 0;
    case OPTIONS_ERROR: std::fprintf(stderr, "kelva-opponent: %s\n%s", szError, szOpponentUsage); return 2;
    }
    return RunOpponent(options, nullptr);
}
