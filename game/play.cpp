#include "game/play.h"

#include <cstdio>
#include <cstdlib>

#include "game/vocabulary.h"
#include "irc/text.h"

namespace {

const char szBadMove[] = "GoMokuWndProc() Error: Bad move received from opponent.\r\n";

void Send(Game& game, const char* szMessage) { game.pHost->pfnSend(game, szMessage); }
void Show(Game& game, const char* szText) { game.pHost->pfnShow(game, szText); }

// The C library's generator goes up to 2^31 - 1 on some platforms; a coin
// is always 0 to 32767, which is what the peer reads back.
unsigned DrawCoin() { return static_cast<unsigned>(std::rand()) % COIN_RANGE; }

void SendCoin(Game& game)
{
    char szMessage[24];
    std::snprintf(szMessage, sizeof szMessage, szCoinFormat, game.record.nMyCoin);
    Send(game, szMessage);
}

// The board emptied of its stones and its marker, to be painted again whole.
void ClearShownBoard(Game& game)
{
    ClearBoard(game.board);
    game.board.ptLastMove = {0, 0};
    game.pHost->pfnInvalidate(game);
}

// The end-of-game notice: three pieces that make one line.
void ShowEnd(Game& game, const char* szHeading, bool bOwnMove)
{
    Show(game, szHeading);
    if (bOwnMove) {
        Show(game, " Your opponent may now clear the pieces and start a new game.");
        Show(game, " Once your opponent has cleared the board it will be their move.\r\n");
    } else {
        Show(game, " Click on the board to clear the pieces and start a new game.");
        Show(game, " Once you have cleared the board it will be your move.\r\n");
    }
}

void OnAccepted(Game& game)
{
    game.record.nMyCoin = DrawCoin();
    SendCoin(game);
    game.record.bCoinSent = 1;
}

void OnCoin(Game& game, const char* szLine, short nPos)
{
    GameRecord& r = game.record;
    if (r.bCoinsSettled) {
        Show(game, "GoMokuWndProc() Error: Too many coins sent.\r\n");
        return;
    }
    SkipWord(szLine, nPos);
    SkipBlanks(szLine, nPos);
    r.nTheirCoin = static_cast<unsigned>(static_cast<int>(ReadNumber(szLine, nPos)));
    if (!r.bCoinSent) {
        r.nMyCoin = DrawCoin();
        SendCoin(game);
        r.bCoinSent = 1;
    }
    if (r.nTheirCoin == r.nMyCoin) {
        // A tie: both sides draw again, and the next pair decides.
        r.nMyCoin = DrawCoin();
        SendCoin(game);
        return;
    }
    r.bCoinsSettled = 1;
    if (r.nTheirCoin < r.nMyCoin) {
        r.bMyTurn = 1;
        r.nMyColor = STONE_BLACK;
        Show(game, "<KELVA> You have won the coin toss and may make the first move.\r\n");
    } else {
        r.bMyTurn = 0;
        r.nMyColor = STONE_WHITE;
        Show(game, "<KELVA> Your opponent has won the coin toss and will make the first move.\r\n");
    }
}

// An honest peer moves only in its own turn, after the toss, on an unfinished
// game; anything else is refused without touching the game.
void OnMove(Game& game, const char* szLine, short nPos)
{
    GameRecord& r = game.record;
    if (r.bMyTurn || !r.bCoinsSettled || GameFinished(r)) {
        Show(game, szBadMove);
        return;
    }
    SkipWord(szLine, nPos);
    SkipBlanks(szLine, nPos);
    short x = ReadNumber(szLine, nPos);
    SkipBlanks(szLine, nPos);
    short y = ReadNumber(szLine, nPos);
    r.nGameResult = PlaceStone(game.board, x, y, static_cast<short>(1 - r.nMyColor), 1);
    switch (r.nGameResult) {
    case MOVE_REFUSED: Show(game, szBadMove); return;
    case MOVE_FIVE: ShowEnd(game, "<KELVA> Your opponent has won the game.", false); break;
    case MOVE_STALEMATE: ShowEnd(game, "<KELVA> The game has reached a stalemate.", false); break;
    default: game.pHost->pfnBeep(game); break;
    }
    r.bMyTurn = 1;
}

// Only the player whose turn it is after a finished game clears it; that is
// the opponent when the local player made the last move.
void OnBoardCleared(Game& game)
{
    GameRecord& r = game.record;
    if (r.bMyTurn || !GameFinished(r)) {
        Show(game, szBadMove);
        return;
    }
    ClearShownBoard(game);
    r.nMyColor = STONE_WHITE;
    r.bMyTurn = 0;
    r.nGameResult = MOVE_PLAYON;
}

}  // namespace

bool GameFinished(const GameRecord& record)
{
    return record.nGameResult == MOVE_FIVE || record.nGameResult == MOVE_STALEMATE;
}

void ResetGame(Game& game)
{
    GameRecord& r = game.record;
    if (r.nGameResult != RESULT_CLEAR) {
        std::srand(game.pHost->pfnTickCount(game));
        ClearShownBoard(game);
        r.nGameResult = RESULT_CLEAR;
    }
    // Also when the board is already clear: a player who won the toss and
    // was left before the first stone must not keep a turn into the next
    // meeting, where a click would play before that toss is decided.
    r.bMyTurn = 0;
    r.bCoinSent = 0;
    r.bCoinsSettled = 0;
}

void HandleOpponentMessage(Game& game, const char* szLine, short nLetter)
{
    switch (szLine[nLetter]) {
    case LETTER_ACCEPT: OnAccepted(game); return;
    case LETTER_COIN: OnCoin(game, szLine, nLetter); return;
    case LETTER_MOVE: OnMove(game, szLine, nLetter); return;
    case LETTER_CLEAR: OnBoardCleared(game); return;
    }
    char szError[64];
    std::snprintf(szError, sizeof szError, "GoMokuWndProc() Error: Game command '%c' not recognized.\r\n",
                  szLine[nLetter]);
    Show(game, szError);
}

void PlayAt(Game& game, short x, short y)
{
    GameRecord& r = game.record;
    if (r.bMyTurn != 1) {
        game.pHost->pfnBeep(game);
        return;
    }
    if (GameFinished(r)) {
        // The next game: the player who clears the board begins it, with black.
        r.nMyColor = STONE_BLACK;
        r.nGameResult = MOVE_PLAYON;
        Send(game, MessageOf(LETTER_CLEAR).szText);
        ClearShownBoard(game);
        return;
    }
    r.nGameResult = PlaceStone(game.board, x, y, r.nMyColor, 0);
    if (r.nGameResult == MOVE_REFUSED) {
        game.pHost->pfnBeep(game);
        return;
    }
    char szMove[24];
    std::snprintf(szMove, sizeof szMove, szMoveFormat, x, y);
    Send(game, szMove);
    if (r.nGameResult == MOVE_FIVE) ShowEnd(game, "<KELVA> You have won the game.", true);
    if (r.nGameResult == MOVE_STALEMATE) ShowEnd(game, "<KELVA> The game has reached a stalemate.", true);
    r.bMyTurn = 0;
}
