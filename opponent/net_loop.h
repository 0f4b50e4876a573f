// kelva-opponent on the network: one connection to the server at a time,
// made again whenever it is lost.
#pragma once

#include <atomic>

#include "opponent/options.h"

// Connects, registers and plays until *pStop becomes true (with nullptr:
// until the process is ended). Returns 0, or 1 when the sockets layer
// cannot start.
int RunOpponent(const OpponentOptions& options, const std::atomic<bool>* pStop);
