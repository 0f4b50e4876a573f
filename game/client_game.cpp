#include "game/client_game.h"

#include "irc/transmit.h"
#include "irc/seam.h"

namespace {

void SendToPartner(Game&, const char* szMessage) { SendToConversation(szMessage); }
void ShowNotice(Game&, const char* szText) { AppendOutput(szText); }
void Ring(Game&) { SystemBeep(); }
void Invalidate(Game&) { InvalidateBoard(); }
unsigned Ticks(Game&) { return TickCount(); }

const GameHost kClientHost = {SendToPartner, ShowNotice, Ring, Invalidate, Ticks};

void DrawWinLineOf(BoardPoint ptStart, BoardPoint ptEnd) { DrawWinLine(ptStart.x, ptStart.y, ptEnd.x, ptEnd.y); }

const BoardView kClientView = {DrawStone, DrawMarker, EraseMarker, DrawWinLineOf};

// The board's contents before the first reset do not matter: it is not
// shown until then, and that reset clears it.
const Game kStartGame = {{{}, {0, 0}, {0, 0}, {0, 0}, &kClientView}, GameRecord(), &kClientHost, nullptr};

}  // namespace

Game gameClient = kStartGame;
BoardViewSizes viewSizes = {0, 0, 0, 0, 0};

BoardViewSizes ViewSizesFor(unsigned short w, unsigned short h)
{
    unsigned short m = w < h ? w : h;
    short nSpacing = static_cast<short>(m / 10);
    return {nSpacing, static_cast<short>(nSpacing / 3), static_cast<short>(nSpacing / 6), static_cast<short>(w),
            static_cast<short>(h)};
}

BoardPoint PointFromClick(const BoardViewSizes& sizes, unsigned short px, unsigned short py)
{
    int s = sizes.nSpacing;
    if (s <= 0) return {0, 0};
    return {static_cast<short>((px + s / 2) / s), static_cast<short>((py + s / 2) / s)};
}

void OnGameReset() { ResetGame(gameClient); }

void OnGameCommand(short nLetter, const char* szLine) { HandleOpponentMessage(gameClient, szLine, nLetter); }

void OnBoardClick(unsigned short px, unsigned short py)
{
    BoardPoint pt = PointFromClick(viewSizes, px, py);
    PlayAt(gameClient, pt.x, pt.y);
}

void OnBoardSize(unsigned short w, unsigned short h) { viewSizes = ViewSizesFor(w, h); }

void ResetClientGame()
{
    gameClient = kStartGame;
    viewSizes = {0, 0, 0, 0, 0};
}
