// The benchmark's strong rival: an alpha-beta search to a fixed depth with
// threat detection, written apart from the computer player's search. It
// judges lines by their shapes (fives, open and closed fours, open threes,
// twos with room to grow) rather than by windows, and shares nothing with
// the player but the board and its rules, so that the benchmark measures
// the player against a different way of playing.
#pragma once

#include "game/board.h"

// nNoise (0 for none) varies the rival's choice among moves of nearly equal
// shape from one game to the next; the same board and noise give the same move.
BoardPoint RivalMove(const Board& board, short nColor, unsigned nNoise);
