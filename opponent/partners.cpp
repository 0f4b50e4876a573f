#include "opponent/partners.h"

#include <cstring>

#include "game/vocabulary.h"
#include "irc/text.h"

namespace {

PartnerGame& PartnerOf(Game& game) { return *static_cast<PartnerGame*>(game.pHostData); }

void HostSend(Game& game, const char* szMessage)
{
    PartnerGame& p = PartnerOf(game);
    SendToNick(*p.pOwner, p.szPartner, szMessage);
}

// The play logic's notices come in pieces; the log gets each whole line.
void HostShow(Game& game, const char* szText)
{
    PartnerGame& p = PartnerOf(game);
    char szJoined[2 * TEXT_FIELD_SIZE];
    TextBuilder joined(szJoined, sizeof szJoined);
    joined.Add(p.szNotice).Add(szText);
    if (joined.Length() < 2 || std::strcmp(szJoined + joined.Length() - 2, "\r\n") != 0) {
        CopyField(p.szNotice, szJoined);
        return;
    }
    joined.Truncate(joined.Length() - 2);
    LogPieces(*p.pOwner, "[", p.szPartner, "] ", szJoined);
    p.szNotice[0] = '\0';
}

void HostQuiet(Game&) {}

// Every reset seeds the coins differently, yet the same seed and the same
// events give the same coins.
unsigned HostTickCount(Game& game)
{
    Opponent& o = *PartnerOf(game).pOwner;
    return o.nSeed + 0x9E3779B9u * ++o.nResets;
}

const GameHost kHost = {HostSend, HostShow, HostQuiet, HostQuiet, HostTickCount};

PartnerGame* FindPartner(Opponent& o, const char* szNick)
{
    for (PartnerGame& p : o.partners)
        if (p.bInUse && std::strcmp(p.szPartner, szNick) == 0) return &p;
    return nullptr;
}

PartnerGame* NewPartner(Opponent& o, const char* szNick)
{
    for (PartnerGame& p : o.partners) {
        if (p.bInUse) continue;
        p = PartnerGame();
        p.bInUse = true;
        p.pOwner = &o;
        CopyField(p.szPartner, szNick);
        p.game.pHost = &kHost;
        p.game.pHostData = &p;
        return &p;
    }
    return nullptr;
}

void EndGame(PartnerGame& p, const char* szWhy)
{
    LogPieces(*p.pOwner, "[", p.szPartner, "] game over: ", szWhy);
    p.bInUse = false;
    p.memory.reset();
}

// A new toss with the partner, who is waiting for the acceptance.
void Accept(PartnerGame& p)
{
    p.bClearPending = false;
    ResetGame(p.game);
    SendToNick(*p.pOwner, p.szPartner, MessageOf(LETTER_ACCEPT).szText);
}

// Whatever the computer has to do once the partner has had their say: move,
// or, when a finished game is its to clear, clear it after a pause so that
// the partner sees the final board first.
void TakeTurn(PartnerGame& p)
{
    GameRecord& r = p.game.record;
    if (!r.bMyTurn || !r.bCoinsSettled) return;
    Opponent& o = *p.pOwner;
    if (GameFinished(r)) {
        if (!p.bClearPending) {
            p.bClearPending = true;
            p.nClearAt = o.nNow + CLEAR_DELAY_MS;
        }
        return;
    }
    if (!p.memory) p.memory = NewSearchMemory();
    SearchSettings settings;
    settings.nLevel = o.nLevel;
    settings.nNodes = o.nSearchNodes;
    settings.pMemory = p.memory.get();
    BoardPoint pt = ChooseMove(p.game.board, r.nMyColor, o.nSeed, settings);
    PlayAt(p.game, pt.x, pt.y);
}

// Letters of a game in progress: a sender who uses them believes a game with
// the computer is on, and is told it is not.
bool IsInGameLetter(char cLetter)
{
    return cLetter == LETTER_ACCEPT || cLetter == LETTER_COIN || cLetter == LETTER_MOVE || cLetter == LETTER_CLEAR;
}

void OnStrangerMessage(Opponent& o, const char* szSender, char cLetter)
{
    if (cLetter == LETTER_INVITE) {
        PartnerGame* p = NewPartner(o, szSender);
        if (p == nullptr) {
            SendToNick(o, szSender, MessageOf(LETTER_BUSY_PLAYING).szText);
            LogPieces(o, "[", szSender, "] invitation declined: already playing the most games at once");
            return;
        }
        p->nLastHeard = o.nNow;
        LogPieces(o, "[", szSender, "] invitation accepted");
        Accept(*p);
        return;
    }
    if (IsInGameLetter(cLetter)) SendToNick(o, szSender, MessageOf(LETTER_BUSY_PLAYING).szText);
}

}  // namespace

void SendToNick(Opponent& o, const char* szNick, const char* szText)
{
    char szLine[MAX_LINE_LENGTH + 1];
    TextBuilder(szLine, sizeof szLine).Add("PRIVMSG ").Add(szNick).Add(" :").Add(szText);
    o.host.pfnSendLine(o.host.pData, szLine);
}

void LogPieces(Opponent& o, const char* szA, const char* szB, const char* szC, const char* szD)
{
    char szLine[MAX_LINE_LENGTH + 1];
    TextBuilder(szLine, sizeof szLine).Add(szA).Add(szB).Add(szC).Add(szD);
    o.host.pfnLog(o.host.pData, szLine);
}

void OnGameMessage(Opponent& o, const char* szSender, const char* szLine, short nLetter)
{
    char cLetter = szLine[nLetter];
    PartnerGame* p = FindPartner(o, szSender);
    if (p == nullptr) {
        OnStrangerMessage(o, szSender, cLetter);
        return;
    }
    p->nLastHeard = o.nNow;
    if (cLetter == LETTER_INVITE) {
        // The partner's side has started afresh: so does the game.
        LogPieces(o, "[", szSender, "] invited again: a new coin toss");
        Accept(*p);
        return;
    }
    if (cLetter == LETTER_LEAVE || IsBusyReply(cLetter)) {
        EndGame(*p, cLetter == LETTER_LEAVE ? "the partner left the game" : "the partner is busy with someone else");
        return;
    }
    HandleOpponentMessage(p->game, szLine, nLetter);
    TakeTurn(*p);
}

void OnPartnerGone(Opponent& o, const char* szSender)
{
    PartnerGame* p = FindPartner(o, szSender);
    if (p != nullptr) EndGame(*p, "the partner left the channel");
}

void OnPartnerRenamed(Opponent& o, const char* szOld, const char* szNew)
{
    PartnerGame* p = FindPartner(o, szOld);
    if (p == nullptr || FindPartner(o, szNew) != nullptr) return;
    LogPieces(o, "[", szOld, "] is now ", szNew);
    CopyField(p->szPartner, szNew);
}

void TickOpponent(Opponent& o, unsigned nNow)
{
    o.nNow = nNow;
    for (PartnerGame& p : o.partners) {
        if (!p.bInUse) continue;
        if (nNow - p.nLastHeard >= PARTNER_TIMEOUT_MS) {
            SendToNick(o, p.szPartner, MessageOf(LETTER_LEAVE).szText);
            EndGame(p, "no word from the partner for 10 minutes");
            continue;
        }
        if (p.bClearPending && static_cast<int>(nNow - p.nClearAt) >= 0) {
            p.bClearPending = false;
            PlayAt(p.game, 0, 0);  // on a finished board whose turn is ours: clears it, "!R"
            TakeTurn(p);
        }
    }
}

unsigned NextTick(const Opponent& o, unsigned nNow, unsigned nMax)
{
    unsigned nWait = nMax;
    for (const PartnerGame& p : o.partners) {
        if (!p.bInUse) continue;
        unsigned nUntil = PARTNER_TIMEOUT_MS - (nNow - p.nLastHeard);
        if (nNow - p.nLastHeard >= PARTNER_TIMEOUT_MS) nUntil = 0;
        if (nUntil < nWait) nWait = nUntil;
        if (!p.bClearPending) continue;
        nUntil = static_cast<int>(p.nClearAt - nNow) > 0 ? p.nClearAt - nNow : 0;
        if (nUntil < nWait) nWait = nUntil;
    }
    return nWait;
}

void EndAllGames(Opponent& o)
{
    for (PartnerGame& p : o.partners)
        if (p.bInUse) EndGame(p, "the connection to the server is gone");
}
