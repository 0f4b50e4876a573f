// Registration, PING and the routing of the server's lines to the games.
#include <cstdio>
#include <cstring>

#include "game/vocabulary.h"
#include "irc/text.h"
#include "opponent/opponent.h"
#include "opponent/partners.h"

namespace {

const short MAX_NICK_TRIES = 99;

// A server line taken apart: [":" sender ["!" user] ["@" host] " "] command params
struct ServerLine {
    const char* szLine;
    TextField szSender;
    bool bSenderTooLong;  // a name that does not fit cannot be answered
    short nParams;        // where the parameters begin, after the command and its blanks
};

void Send(Opponent& o, const char* szA, const char* szB = "", const char* szC = "", const char* szD = "")
{
    char szLine[MAX_LINE_LENGTH + 1];
    TextBuilder(szLine, sizeof szLine).Add(szA).Add(szB).Add(szC).Add(szD).Add("\r\n");
    o.host.pfnSendLine(o.host.pData, szLine);
}

// "PING :token" and "PING token" are answered "PONG :token", as the
// client answers them.
void OnPing(Opponent& o, const ServerLine& line)
{
    short nStart = line.nParams, nEnd;
    FindParameter(line.szLine, nStart, nEnd);
    char szToken[MAX_LINE_LENGTH + 1];
    TextBuilder(szToken, sizeof szToken).Add(line.szLine + nStart, static_cast<size_t>(nEnd - nStart));
    if (szToken[0] != '\0')
        Send(o, "PONG :", szToken);
    else
        Send(o, "PONG ", o.szNickname);
}

void OnWelcome(Opponent& o, const ServerLine& line)
{
    short nPos = line.nParams;
    TakeWord(line.szLine, nPos, o.szNickname);
    o.bRegistered = true;
    LogPieces(o, "registered as ", o.szNickname, "; joining ", szGameChannel);
    Send(o, "JOIN ", szGameChannel, " ", szGameChannelKey);
}

// The next name to try: the asked-for name with a number, cut so that the
// whole stays within nine characters ("Computer2", ..., "Compute10").
void OnNickInUse(Opponent& o, const ServerLine&)
{
    if (o.bRegistered) return;
    if (o.nNickTries >= MAX_NICK_TRIES) {
        LogPieces(o, "every nickname tried is in use");
        return;
    }
    ++o.nNickTries;
    char szNumber[8];
    std::snprintf(szNumber, sizeof szNumber, "%d", o.nNickTries);
    size_t nKeep = MAX_NICK_LENGTH - std::strlen(szNumber);
    TextField szNext;
    TextBuilder(szNext, sizeof szNext).Add(o.szNickBase, nKeep).Add(szNumber);
    LogPieces(o, o.szNickname, " is in use; trying ", szNext);
    CopyField(o.szNickname, szNext);
    Send(o, "NICK ", o.szNickname);
}

void OnMessage(Opponent& o, const ServerLine& line)
{
    short nPos = line.nParams;
    SkipWord(line.szLine, nPos);  // the target: a game message to the channel counts as well
    SkipBlanks(line.szLine, nPos);
    if (line.szLine[nPos] == ':') ++nPos;
    if (line.szLine[nPos] != GAME_MARK || line.szSender[0] == '\0' || line.bSenderTooLong) return;
    if (std::strcmp(line.szSender, o.szNickname) == 0) return;
    OnGameMessage(o, line.szSender, line.szLine, static_cast<short>(nPos + 1));
}

void OnDeparture(Opponent& o, const ServerLine& line)
{
    if (!line.bSenderTooLong) OnPartnerGone(o, line.szSender);
}

void OnNick(Opponent& o, const ServerLine& line)
{
    short nPos = line.nParams;
    if (line.szLine[nPos] == ':') ++nPos;  // the new name may come as a trailing parameter
    TextField szNew;
    TakeWord(line.szLine, nPos, szNew);
    if (szNew[0] == '\0' || line.bSenderTooLong) return;
    if (std::strcmp(line.szSender, o.szNickname) == 0)
        CopyField(o.szNickname, szNew);
    else
        OnPartnerRenamed(o, line.szSender, szNew);
}

// Being kicked from the game channel: back in at once.
void OnKick(Opponent& o, const ServerLine& line)
{
    short nPos = line.nParams;
    SkipWord(line.szLine, nPos);
    SkipBlanks(line.szLine, nPos);
    TextField szVictim;
    TakeWord(line.szLine, nPos, szVictim);
    if (std::strcmp(szVictim, o.szNickname) == 0) Send(o, "JOIN ", szGameChannel, " ", szGameChannelKey);
}

// Refusals of the server (a join that failed, a nickname not allowed, an
// ERROR before closing) go to the log as they came.
void OnRefusal(Opponent& o, const ServerLine& line)
{
    short nEnd = 0;
    SkipToReturn(line.szLine, nEnd);
    char szText[MAX_LINE_LENGTH + 1];
    TextBuilder(szText, sizeof szText).Add(line.szLine, static_cast<size_t>(nEnd));
    LogPieces(o, "server: ", szText);
}

struct CommandRule {
    const char* szWord;
    void (*pfnHandle)(Opponent& o, const ServerLine& line);
};

const CommandRule kCommands[] = {
    {"PING", OnPing},       {"PRIVMSG", OnMessage}, {"NOTICE", OnMessage}, {"PART", OnDeparture},
    {"QUIT", OnDeparture},  {"NICK", OnNick},       {"KICK", OnKick},      {"001", OnWelcome},
    {"433", OnNickInUse},   {"ERROR", OnRefusal},   {"432", OnRefusal},    {"403", OnRefusal},
    {"471", OnRefusal},     {"473", OnRefusal},     {"474", OnRefusal},    {"475", OnRefusal},
};

}  // namespace

void StartOpponent(Opponent& o, const OpponentHost& host, const char* szNick, unsigned nSeed)
{
    o = Opponent();
    o.host = host;
    CopyField(o.szNickBase, szNick, MAX_NICK_LENGTH);
    CopyField(o.szNickname, o.szNickBase);
    o.nSeed = nSeed;
    AllowGames(o, MAX_GAMES_DEFAULT);
}

void AllowGames(Opponent& o, short nGames)
{
    // A place holds the search's memory, which is moved, never copied.
    o.partners.clear();
    o.partners.resize(static_cast<size_t>(nGames));
}

void BeginRegistration(Opponent& o, unsigned nNow)
{
    o.nNow = nNow;
    o.bRegistered = false;
    o.nNickTries = 1;
    CopyField(o.szNickname, o.szNickBase);
    Send(o, "NICK ", o.szNickname);
    Send(o, "USER kelva 0 * :KELVA computer opponent");
}

void HandleOpponentLine(Opponent& o, const char* szLine, unsigned nNow)
{
    if (std::strlen(szLine) > static_cast<size_t>(MAX_LINE_LENGTH)) return;  // no server sends such a line
    o.nNow = nNow;
    ServerLine line = {szLine, {}, false, 0};
    short nPos = 0;
    if (szLine[0] == ':') {
        size_t nLen = std::strcspn(szLine + 1, " !@\r\n");
        line.bSenderTooLong = nLen >= static_cast<size_t>(TEXT_FIELD_SIZE);
        CopyField(line.szSender, szLine + 1, nLen);
        SkipWord(szLine, nPos);
    }
    SkipBlanks(szLine, nPos);
    short nCommand = nPos;
    SkipWord(szLine, nPos);
    size_t nCommandLen = static_cast<size_t>(nPos - nCommand);
    SkipBlanks(szLine, nPos);
    line.nParams = nPos;
    for (const CommandRule& rule : kCommands) {
        if (nCommandLen == std::strlen(rule.szWord) &&
            CompareNoCase(szLine + nCommand, rule.szWord, static_cast<unsigned>(nCommandLen)) == 0) {
            rule.pfnHandle(o, line);
            return;
        }
    }
}
