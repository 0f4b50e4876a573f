// The play of one game between the local player and one opponent, once the
// two have agreed to play: the coin toss that decides who begins, the local
// player's moves, the opponent's moves, the end of a game by five in a row or
// stalemate, and the clearing of the board that begins the next game.
//
// A game is a value: the client's game window holds one, the computer
// opponent one per partner. What the play needs from outside reaches it
// through the game's host.
#pragma once

#include "game/board.h"

// nGameResult after a reset, before any stone has been tried.
const short RESULT_CLEAR = -1;

struct GameRecord {
    int bMyTurn = 0;              // the local player may click: to place a stone or to clear a finished game
    short nMyColor = STONE_BLACK;  // the opponent's stones take the other colour
    int bCoinSent = 0;            // the own coin of the current toss has gone out
    int bCoinsSettled = 0;        // the toss is decided; another coin is an error
    unsigned nMyCoin = 0;         // 0 to 32767
    unsigned nTheirCoin = 0;      // as read from the opponent's message, widened with its sign
    // RESULT_CLEAR, or the result of the last PlaceStone, or MOVE_PLAYON after
    // a board clear. It starts at MOVE_PLAYON so that the first reset clears
    // the board and seeds the coins.
    short nGameResult = MOVE_PLAYON;
};

struct Game;

// Whoever holds a game: the client's game window or one of the opponent's
// games. Every entry gets the game it is called for.
struct GameHost {
    // A game message for the opponent, "\r\n" included.
    void (*pfnSend)(Game& game, const char* szMessage);
    // A notice for the local player; several calls may make up one line.
    void (*pfnShow)(Game& game, const char* szText);
    void (*pfnBeep)(Game& game);
    // The board was cleared: the whole of it is to be painted again.
    void (*pfnInvalidate)(Game& game);
    // Milliseconds, to seed the coins at a reset.
    unsigned (*pfnTickCount)(Game& game);
};

struct Game {
    Board board;
    GameRecord record;
    const GameHost* pHost;
    void* pHostData;  // the host's own, for its entries
};

// Abandons the game shown: a board that is not
// already clear is cleared and the coins reseeded; the toss starts afresh.
void ResetGame(Game& game);

// A game message from the opponent: nLetter
// is the index of the letter after the "!" in the whole received line.
void HandleOpponentMessage(Game& game, const char* szLine, short nLetter);

// The local player's click on intersection (x, y), not yet validated.
void PlayAt(Game& game, short x, short y);

// Whether a finished game (a five or a stalemate) is on the board.
bool GameFinished(const GameRecord& record);
