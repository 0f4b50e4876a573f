// The benchmark's rivals: alpha-beta searches to a fixed depth with threat
// detection, written apart from the computer player's search. They judge
// lines by their shapes (fives, open and closed fours, open threes, twos
// with room to grow) rather than by windows, and share nothing with the
// player but the board and its rules, so that the benchmark measures the
// player against a different way of playing.
#pragma once

#include "game/board.h"

enum RivalKind {
    RIVAL_STRONG,  // 6 plies, at most 60,000 positions a move
    RIVAL_DEEP,    // 8 plies, and wins by fours and open threes looked for on both sides before the search
};

// nNoise (0 for none) varies the rival's choice among moves of nearly equal
// shape from one game to the next; the same board and noise give the same move.
BoardPoint RivalMove(const Board& board, short nColor, unsigned nNoise, RivalKind kind = RIVAL_STRONG);
