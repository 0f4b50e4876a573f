// Benchmark, not a test: the computer at each level against a random player,
// a one-ply greedy player and two rivals (independent alpha-beta searches:
// strong, and deep, which searches further and looks for threats on both
// sides), from both colours, judged by the board's rules; prints wins,
// losses and stalemates, the number of different games, and the time the
// computer took per move. The rivals are checked first: strong against
// greedy, deep against strong, with deep's time per move. Every game begins
// with a black and a white stone drawn at random.
//   kelva-opponent-bench [--games N] [--level L] [--rival random|greedy|strong|deep] [--nodes N]
// --level L plays level L alone, without the rivals' checks; --level 0 the checks alone.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "game/board.h"
#include "opponent/bench_rival.h"
#include "opponent/percentile.h"
#include "opponent/search.h"

namespace {

enum Kind { PLAYER_RANDOM, PLAYER_GREEDY, PLAYER_STRONG, PLAYER_DEEP, PLAYER_COMPUTER };
const char* const kKindNames[] = {"random", "greedy", "strong", "deep", "computer"};

struct Player {
    Kind kind;
    short nLevel;  // the computer's
};

struct Tally {
    int nWins = 0, nLosses = 0, nStalemates = 0;
    std::set<std::string> games;  // the moves of each, to count the different ones
};

struct MoveTimes {
    std::vector<double> wall;  // milliseconds, as the partner waits for them
    std::vector<double> cpu;   // milliseconds of this process's processor time
    std::vector<double> nodes;  // the computer's positions visited
};

BoardPoint RandomMove(const Board& board, std::mt19937& rng)
{
    std::vector<BoardPoint> empty;
    for (short x = 1; x <= BOARD_LINES; ++x)
        for (short y = 1; y <= BOARD_LINES; ++y)
            if (BoardCell(board, x, y) == CELL_EMPTY) empty.push_back({x, y});
    return empty[std::uniform_int_distribution<size_t>(0, empty.size() - 1)(rng)];
}

// The move whose board scores best for the mover, one ply ahead; ties are
// broken at random.
BoardPoint GreedyMove(const Board& board, short nColor, std::mt19937& rng)
{
    BoardPoint best = {0, 0};
    int nBest = 0, nTies = 0;
    for (short x = 1; x <= BOARD_LINES; ++x) {
        for (short y = 1; y <= BOARD_LINES; ++y) {
            if (BoardCell(board, x, y) != CELL_EMPTY) continue;
            Board after = board;
            PlaceStone(after, x, y, nColor, 0);
            int nScore = ScoreBoard(after, nColor);
            if (nTies == 0 || nScore > nBest) {
                best = {x, y};
                nBest = nScore;
                nTies = 1;
            } else if (nScore == nBest && std::uniform_int_distribution<int>(0, nTies++)(rng) == 0) {
                best = {x, y};
            }
        }
    }
    return best;
}

unsigned long nNodesOverride = 0;  // --nodes, for trying other budgets

// The first black and white stones of game nGame, drawn from the middle
// 5 by 5 intersections: without them the deterministic players would play
// the same few games again and again. Both colours' rows share them.
void PlaceOpening(Board& board, unsigned nGame)
{
    std::mt19937 rng(nGame + 1);
    std::uniform_int_distribution<int> middle(3, 7);
    for (short nColor : {STONE_BLACK, STONE_WHITE}) {
        short x, y;
        do {
            x = static_cast<short>(middle(rng));
            y = static_cast<short>(middle(rng));
        } while (BoardCell(board, x, y) != CELL_EMPTY);
        PlaceStone(board, x, y, nColor, 0);
    }
}

// A move of player for nMover in game nGame.
BoardPoint PlayerMove(const Player& player, const Board& board, short nMover, unsigned nGame, std::mt19937& rng,
                      SearchMemory* pMemory, MoveTimes& times)
{
    switch (player.kind) {
    case PLAYER_RANDOM: return RandomMove(board, rng);
    case PLAYER_GREEDY: return GreedyMove(board, nMover, rng);
    case PLAYER_STRONG: return RivalMove(board, nMover, nGame + 1, RIVAL_STRONG);
    case PLAYER_DEEP: return RivalMove(board, nMover, nGame + 1, RIVAL_DEEP);
    case PLAYER_COMPUTER: break;
    }
    SearchSettings settings;
    settings.nLevel = player.nLevel;
    settings.pMemory = pMemory;
    settings.nNodes = nNodesOverride;
    SearchReport report;
    BoardPoint pt = ChooseMove(board, nMover, nGame, settings, &report);
    times.nodes.push_back(static_cast<double>(report.nNodes));
    return pt;
}

// One game of black against white from the game's opening. Returns 1 when
// black wins, -1 when white does, 0 for a stalemate. The moves of colour
// nTimed are timed.
int PlayGame(const Player players[2], unsigned nGame, short nTimed, MoveTimes& times, std::string& sMoves)
{
    Board board = {};
    ClearBoard(board);
    PlaceOpening(board, nGame);
    std::mt19937 rng(nGame * 2 + static_cast<unsigned>(players[0].kind) * 7919u + static_cast<unsigned>(players[1].kind) * 100003u);
    SearchMemoryPtr memory = NewSearchMemory();  // the computer's, for the whole game
    for (short nMover = STONE_BLACK;; nMover = static_cast<short>(1 - nMover)) {
        const Player& player = players[nMover];
        auto tStart = std::chrono::steady_clock::now();
        std::clock_t nCpuStart = std::clock();
        BoardPoint pt = PlayerMove(player, board, nMover, nGame, rng, memory.get(), times);
        if (nMover == nTimed) {
            times.cpu.push_back(1000.0 * static_cast<double>(std::clock() - nCpuStart) / CLOCKS_PER_SEC);
            times.wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tStart).count());
        }
        short nResult = PlaceStone(board, pt.x, pt.y, nMover, 0);
        sMoves += static_cast<char>('a' + (pt.x - 1) * BOARD_LINES + (pt.y - 1));
        if (nResult == MOVE_REFUSED) {
            std::fprintf(stderr, "game %u: %s played a refused move (%d, %d)\n", nGame, kKindNames[player.kind], pt.x, pt.y);
            std::exit(1);
        }
        if (nResult == MOVE_FIVE) return nMover == STONE_BLACK ? 1 : -1;
        if (nResult == MOVE_STALEMATE) return 0;
    }
}

// nGames games with `player` as black, or as white; counted for it.
Tally PlayRow(Player player, Player rival, short nColor, unsigned nGames, MoveTimes& times)
{
    Tally tally;
    for (unsigned g = 0; g < nGames; ++g) {
        Player players[2] = {nColor == STONE_BLACK ? player : rival, nColor == STONE_BLACK ? rival : player};
        std::string sMoves;
        int nOutcome = PlayGame(players, g, nColor, times, sMoves) * (nColor == STONE_BLACK ? 1 : -1);
        tally.games.insert(sMoves);
        (nOutcome > 0 ? tally.nWins : nOutcome < 0 ? tally.nLosses : tally.nStalemates)++;
    }
    return tally;
}

void PrintRow(const char* szPlayer, const char* szRival, short nColor, unsigned nGames, const Tally& tally)
{
    std::printf("%-10s %-8s %-15s %6u %6d %7d %11d %10zu\n", szPlayer, szRival,
                nColor == STONE_BLACK ? "black (first)" : "white (second)", nGames, tally.nWins, tally.nLosses,
                tally.nStalemates, tally.games.size());
    std::fflush(stdout);
}

void PrintTimes(const MoveTimes& times)
{
    std::printf("  wall clock: median %.1f ms, 90th percentile %.1f ms, worst %.1f ms\n", Percentile(times.wall, 0.5),
                Percentile(times.wall, 0.9), Percentile(times.wall, 1.0));
    std::printf("  processor:  median %.1f ms, 90th percentile %.1f ms, worst %.1f ms\n", Percentile(times.cpu, 0.5),
                Percentile(times.cpu, 0.9), Percentile(times.cpu, 1.0));
}

// The rival `player` against `rival` from both colours, with the player's
// time per move when bTimed.
void CheckRival(Kind player, Kind rival, unsigned nGames, bool bTimed)
{
    MoveTimes times;
    for (short nColor : {STONE_BLACK, STONE_WHITE})
        PrintRow(kKindNames[player], kKindNames[rival], nColor, nGames, PlayRow({player, 0}, {rival, 0}, nColor, nGames, times));
    if (!bTimed) return;
    std::printf("%s, time per move over %zu moves:\n", kKindNames[player], times.wall.size());
    PrintTimes(times);
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned nGames = 20;
    short nOnlyLevel = -1;
    int nOnlyRival = -1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--games") == 0) nGames = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        if (std::strcmp(argv[i], "--nodes") == 0) nNodesOverride = std::strtoul(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--level") == 0) nOnlyLevel = static_cast<short>(std::atoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--rival") == 0)
            for (int k = PLAYER_RANDOM; k <= PLAYER_DEEP; ++k)
                if (std::strcmp(argv[i + 1], kKindNames[k]) == 0) nOnlyRival = k;
    }
    std::printf("%-10s %-8s %-15s %6s %6s %7s %11s %10s\n", "player", "rival", "player plays", "games", "wins", "losses",
                "stalemates", "different");
    bool bChecks = nOnlyLevel <= 0;
    if (bChecks && (nOnlyRival < 0 || nOnlyRival == PLAYER_STRONG)) CheckRival(PLAYER_STRONG, PLAYER_GREEDY, nGames, false);
    if (bChecks && (nOnlyRival < 0 || nOnlyRival == PLAYER_DEEP)) CheckRival(PLAYER_DEEP, PLAYER_STRONG, nGames, true);
    for (short nLevel = LEVEL_NOVICE; nLevel <= LEVEL_FULL; ++nLevel) {
        if (nOnlyLevel >= 0 && nLevel != nOnlyLevel) continue;
        MoveTimes times;
        char szPlayer[16];
        std::snprintf(szPlayer, sizeof szPlayer, "level %d", nLevel);
        for (int k = PLAYER_RANDOM; k <= PLAYER_DEEP; ++k) {
            if (nOnlyRival >= 0 && k != nOnlyRival) continue;
            for (short nColor : {STONE_BLACK, STONE_WHITE})
                PrintRow(szPlayer, kKindNames[k], nColor, nGames,
                         PlayRow({PLAYER_COMPUTER, nLevel}, {static_cast<Kind>(k), 0}, nColor, nGames, times));
        }
        std::printf("level %d, time per move over %zu moves (budget %lu positions, median %.0f visited):\n", nLevel,
                    times.wall.size(), nNodesOverride ? nNodesOverride : LevelNodes(nLevel), Percentile(times.nodes, 0.5));
        PrintTimes(times);
    }
    return 0;
}
