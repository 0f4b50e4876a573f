// Benchmark, not a test: the computer against a random player and against a
// one-ply greedy player, from both colours, judged by the board's rules;
// prints wins, losses and stalemates and the time the computer took per move.
//   kelva-opponent-bench [--games N] [--nodes N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

#include "game/board.h"
#include "opponent/search.h"

namespace {

enum Rival { RIVAL_RANDOM, RIVAL_GREEDY };

struct Tally {
    int nWins = 0, nLosses = 0, nStalemates = 0;
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

// One game; the computer plays nComputer. Returns 1 for its win, -1 for its
// loss, 0 for a stalemate.
struct MoveTimes {
    std::vector<double> wall;  // milliseconds, as the partner waits for them
    std::vector<double> cpu;   // milliseconds of this process's processor time
};

int PlayGame(Rival rival, short nComputer, unsigned nGame, unsigned long nNodes, MoveTimes& times)
{
    Board board = {};
    ClearBoard(board);
    std::mt19937 rng(nGame * 2 + static_cast<unsigned>(nComputer) + static_cast<unsigned>(rival) * 100003u);
    for (short nMover = STONE_BLACK;; nMover = static_cast<short>(1 - nMover)) {
        BoardPoint pt;
        if (nMover == nComputer) {
            auto tStart = std::chrono::steady_clock::now();
            std::clock_t nCpuStart = std::clock();
            pt = ChooseMove(board, nMover, nGame, nNodes);
            times.cpu.push_back(1000.0 * static_cast<double>(std::clock() - nCpuStart) / CLOCKS_PER_SEC);
            times.wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tStart).count());
        } else {
            pt = rival == RIVAL_RANDOM ? RandomMove(board, rng) : GreedyMove(board, nMover, rng);
        }
        short nResult = PlaceStone(board, pt.x, pt.y, nMover, 0);
        if (nResult == MOVE_REFUSED) {
            std::fprintf(stderr, "game %u: refused move (%d, %d)\n", nGame, pt.x, pt.y);
            std::exit(1);
        }
        if (nResult == MOVE_FIVE) return nMover == nComputer ? 1 : -1;
        if (nResult == MOVE_STALEMATE) return 0;
    }
}

double Percentile(std::vector<double> values, double q)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned nGames = 200;
    unsigned long nNodes = SEARCH_NODES_DEFAULT;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--games") == 0) nGames = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        if (std::strcmp(argv[i], "--nodes") == 0) nNodes = std::strtoul(argv[i + 1], nullptr, 10);
    }
    std::printf("%-8s %-15s %6s %6s %7s %11s\n", "rival", "computer plays", "games", "wins", "losses", "stalemates");
    MoveTimes times;
    const char* szRival[] = {"random", "greedy"};
    for (Rival rival : {RIVAL_RANDOM, RIVAL_GREEDY}) {
        for (short nComputer : {STONE_BLACK, STONE_WHITE}) {
            Tally tally;
            for (unsigned g = 0; g < nGames; ++g) {
                int nOutcome = PlayGame(rival, nComputer, g, nNodes, times);
                (nOutcome > 0 ? tally.nWins : nOutcome < 0 ? tally.nLosses : tally.nStalemates)++;
            }
            std::printf("%-8s %-15s %6u %6d %7d %11d\n", szRival[rival], nComputer == STONE_BLACK ? "black (first)" : "white (second)",
                        nGames, tally.nWins, tally.nLosses, tally.nStalemates);
            std::fflush(stdout);
        }
    }
    std::printf("time per computer move over %zu moves (search budget %lu positions):\n", times.wall.size(), nNodes);
    std::printf("  wall clock: median %.1f ms, 90th percentile %.1f ms, worst %.1f ms\n", Percentile(times.wall, 0.5),
                Percentile(times.wall, 0.9), Percentile(times.wall, 1.0));
    std::printf("  processor:  median %.1f ms, 90th percentile %.1f ms, worst %.1f ms\n", Percentile(times.cpu, 0.5),
                Percentile(times.cpu, 0.9), Percentile(times.cpu, 1.0));
    return 0;
}
