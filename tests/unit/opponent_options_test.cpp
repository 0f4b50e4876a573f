// The computer opponent's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "opponent/options.h"

namespace {

TEST(OpponentOptions, CommandLines)
{
    struct OptionCase {
        const char* szWhat;
        std::vector<const char*> args;
        short nResult;
        std::string sOptions;  // server, port, nickname, whether a seed was given, level
        short nMaxGames = 32;
    };
    const OptionCase cases[] = {
        {"defaults", {}, OPTIONS_RUN, "localhost 6667 Computer 0 3"},
        {"all given", {"--server", "irc.example.net", "--port", "7000", "--nick", "Gomoku_9", "--seed", "4294967295",
                       "--level", "2"},
         OPTIONS_RUN, "irc.example.net 7000 Gomoku_9 1 2"},
        {"the novice", {"--nick", "Novice", "--level", "1"}, OPTIONS_RUN, "localhost 6667 Novice 0 1"},
        {"help", {"--port", "1", "--help"}, OPTIONS_HELP, "localhost 1 Computer 0 3"},
        {"level 0", {"--level", "0"}, OPTIONS_ERROR, ""},
        {"level 4", {"--level", "4"}, OPTIONS_ERROR, ""},
        {"a level in words", {"--level", "full"}, OPTIONS_ERROR, ""},
        {"a nickname of ten", {"--nick", "Computer10"}, OPTIONS_ERROR, ""},
        {"a nickname with a blank", {"--nick", "a b"}, OPTIONS_ERROR, ""},
        {"port 0", {"--port", "0"}, OPTIONS_ERROR, ""},
        {"port too large", {"--port", "65536"}, OPTIONS_ERROR, ""},
        {"seed too large", {"--seed", "4294967296"}, OPTIONS_ERROR, ""},
        {"value missing", {"--server"}, OPTIONS_ERROR, ""},
        {"unknown option", {"--colour", "black"}, OPTIONS_ERROR, ""},
        {"most games at once", {"--max-games", "10000"}, OPTIONS_RUN, "localhost 6667 Computer 0 3", 10000},
        {"one game at once", {"--max-games", "1"}, OPTIONS_RUN, "localhost 6667 Computer 0 3", 1},
        {"no games", {"--max-games", "0"}, OPTIONS_ERROR, ""},
        {"too many games", {"--max-games", "10001"}, OPTIONS_ERROR, ""},
        {"games not a number", {"--max-games", "12x"}, OPTIONS_ERROR, ""},
    };
    for (const OptionCase& c : cases) {
        std::vector<const char*> argv = {"kelva-opponent"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        OpponentOptions o;
        TextField szError;
        short nResult = ParseOpponentOptions(static_cast<int>(argv.size()), argv.data(), o, szError);
        ASSERT_EQ(c.nResult, nResult) << c.szWhat;
        EXPECT_EQ(nResult == OPTIONS_ERROR, szError[0] != '\0') << c.szWhat << ": an error says why";
        std::string sOptions = std::string(o.szServer) + " " + std::to_string(o.nPort) + " " + o.szNick + " " +
                               std::to_string(o.bSeedGiven) + " " + std::to_string(o.nLevel);
        EXPECT_EQ(c.sOptions, nResult == OPTIONS_ERROR ? "" : sOptions) << c.szWhat;
        if (nResult != OPTIONS_ERROR) {
            EXPECT_EQ(c.nMaxGames, o.nMaxGames) << c.szWhat;
        }
    }
}

}  // namespace
