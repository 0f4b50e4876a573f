// line    = [ ":" prefix " " ] [ numeric " " ] word { " " param } [ " :" trailing ] ( CR LF | LF )
// prefix  = nick [ "!" user ] [ "@" host ]
#include "irc/dispatch.h"

#include <cstring>

#include "game/handshake.h"
#include "game/vocabulary.h"
#include "irc/attention.h"
#include "irc/client_state.h"
#include "irc/login.h"
#include "irc/ctcp.h"
#include "irc/format_codes.h"
#include "irc/reply_words.h"
#include "irc/send.h"
#include "irc/transmit.h"
#include "irc/seam.h"
#include "irc/server_features.h"
#include "irc/server_line.h"
#include "irc/text.h"

namespace {

void Show(const char* szText) { ShowPieces({szText}); }

void ParseHead(ServerLine& line)
{
    const char* s = line.szLine;
    line.nPos = 0;
    line.szSender[0] = '\0';
    if (s[0] == ':') {
        size_t nLen = std::strcspn(s + 1, " @!");
        CopyField(line.szSender, s + 1, nLen);
        SkipWord(s, line.nPos);
    }
    SkipBlanks(s, line.nPos);
    line.nNumeric = ReadNumber(s, line.nPos);
    SkipBlanks(s, line.nPos);
}

// The PING's first parameter comes back as it was sent ("PING :abc" and
// "PING abc" both get "PONG :abc"): servers that register a client only
// after the echo of a cookie, or measure lag by token, check it. A PING
// without one is answered with the nickname.
void OnPing(ServerLine& line)
{
    const char* s = line.szLine;
    SkipWord(s, line.nPos);
    SkipBlanks(s, line.nPos);
    short nEnd;
    FindParameter(s, line.nPos, nEnd);
    char szPong[MAX_LINE_LENGTH + 1];
    TextBuilder pong(szPong, sizeof szPong);
    if (nEnd > line.nPos)
        pong.Add("PONG :").Add(s + line.nPos, static_cast<size_t>(nEnd - line.nPos));
    else
        pong.Add("PONG ").Add(client.szNickname);
    pong.Add("\r\n");
    SendRaw(szPong);
}

// The answer to the client's own "PING :KELVA" only shows that the server
// is alive and is not shown; any other PONG is. Its last parameter is the
// PING's text, with or without the colon.
void OnPong(ServerLine& line)
{
    const char* s = line.szLine;
    short nEnd = 0;
    SkipToReturn(s, nEnd);
    static const char szToken[] = "KELVA";
    const short nTokenLen = sizeof szToken - 1;
    short nToken = static_cast<short>(nEnd - nTokenLen);
    bool bOwn = nToken > line.nPos && std::strncmp(s + nToken, szToken, nTokenLen) == 0 &&
                (s[nToken - 1] == ' ' || s[nToken - 1] == ':');
    if (!bOwn) ShowWhole(line);
}

// A channel name ends at the first blank or control character; bytes of 128
// and above belong to it, so that UTF-8 names are kept whole.
void CopyChannelName(const char* pName)
{
    size_t nLen = 0;
    while (static_cast<unsigned char>(pName[nLen]) > ' ') ++nLen;
    CopyField(client.szChannel, pName, nLen);
}

void OnJoin(ServerLine& line)
{
    if (!IsOwnNick(line.szSender)) {
        NickListAdd(line.szSender);
        if (client.szPartner[0] == '\0') ShowPieces({"<", line.szSender, "> Joining\r\n"});
        return;
    }
    NickListRemoveAll();
    SkipField(line.szLine, line.nPos, ':');
    CopyChannelName(line.szLine + line.nPos);
    char szTitle[8 + TEXT_FIELD_SIZE];
    TextBuilder(szTitle, sizeof szTitle).Add("KELVA: ").Add(client.szChannel);
    SetMainTitle(szTitle);
}

// The marker of a message behind its sender's nick, as the conversation
// stands: in a private conversation the partner's words are plain, the
// partner's channel words "-Public", other private words "-Private", and
// the rest of the channel is not shown (nullptr).
const char* MessageMarker(const char* szSender, bool bToMe)
{
    if (client.szPartner[0] == '\0') return bToMe ? "-Private" : "";
    bool bFromPartner = std::strcmp(szSender, client.szPartner) == 0;
    if (bToMe) return bFromPartner ? "" : "-Private";
    return bFromPartner ? "-Public" : nullptr;
}

// Words said to the user alone, or naming him, while he looks elsewhere.
void DrawAttention(bool bToMe, const char* pText)
{
    if (bToMe || NamesNickname(pText, client.szNickname)) AskForAttention();
}

// Shown, answered within the rate limit, and an ACTION said.
void OnCtcp(const ServerLine& line, bool bNotice, bool bToMe, const char* szMarker, const char* pText)
{
    CtcpOutcome outcome;
    ReadCtcp(line.szSender, bNotice, szMarker, pText, outcome);
    if (outcome.szShown[0] != '\0') Show(outcome.szShown);
    if (outcome.szAnswer[0] != '\0') SendRaw(outcome.szAnswer);
    if (outcome.bAction && !bNotice) DrawAttention(bToMe, pText);
}

void OnMessage(ServerLine& line)
{
    const char* s = line.szLine;
    // The command word is PRIVMSG or NOTICE.
    bool bNotice = s[line.nPos] == 'N' || s[line.nPos] == 'n';
    SkipWord(s, line.nPos);
    SkipBlanks(s, line.nPos);
    short nTargetStart = line.nPos;
    SkipWord(s, line.nPos);
    TextField szTarget = "";
    if (line.nPos - nTargetStart < TEXT_FIELD_SIZE)
        CopyField(szTarget, s + nTargetStart, static_cast<size_t>(line.nPos - nTargetStart));
    SkipBlanks(s, line.nPos);
    if (s[line.nPos] == ':') ++line.nPos;

    if (client.nGameState != GAME_OFF && s[line.nPos] == GAME_MARK) {
        HandleGameMessage(line.szSender, s, static_cast<short>(line.nPos + 1));
        return;
    }
    bool bToMe = IsOwnNick(szTarget);
    const char* szMarker = MessageMarker(line.szSender, bToMe);
    if (s[line.nPos] == CTCP_MARK) {
        OnCtcp(line, bNotice, bToMe, szMarker, s + line.nPos);
        return;
    }
    if (szMarker == nullptr) return;
    if (line.szSender[0] == '\0') {
        Show(s + line.nPos);
        return;
    }
    ShowPieces({"<", line.szSender, szMarker, "> ", s + line.nPos});
    if (!bNotice) DrawAttention(bToMe, s + line.nPos);
}

// The trailing text of a numeric reply: after the target, the blanks and
// one colon, to the end of the line with its line end.
void ShowTrailing(ServerLine& line)
{
    SkipField(line.szLine, line.nPos, ':');
    Show(line.szLine + line.nPos);
}

void OnListStart(ServerLine&)
{
    if (client.hListDlg == nullptr) {
        client.hListDlg = OpenChannelList();
        return;
    }
    ChannelListEmpty();
    ChannelListSetTitle("Loading Channel List...");
}

void OnListEntry(ServerLine& line)
{
    if (client.hListDlg == nullptr) return;
    SkipField(line.szLine, line.nPos, ':');
    short nEnd = line.nPos;
    SkipToReturn(line.szLine, nEnd);
    // The topic's codes go before the row is cut to a field.
    char szWhole[MAX_LINE_LENGTH + 1];
    TextBuilder(szWhole, sizeof szWhole).Add(line.szLine + line.nPos, static_cast<size_t>(nEnd - line.nPos));
    StripFormatCodes(szWhole);
    TextField szRow;
    CopyField(szRow, szWhole);
    ChannelListAddRow(szRow);
}

void OnListEnd(ServerLine&)
{
    if (client.hListDlg != nullptr) ChannelListSetTitle("Channel List");
}

void OnNothing(ServerLine&) {}

// The nickname asked for is taken while we register: the chosen one with
// "_", then with the "_" replaced by 2 to 9, within the server's NICKLEN
// (learned on an earlier connection to it) or else within nine characters or
// the chosen one's length, whichever is more. The next, or false after 9.
bool NextFallbackNick(TextField& szNext)
{
    const char* szChosen = client.szChosenNickname;
    size_t nChosen = std::strlen(szChosen);
    if (nChosen == 0) return false;
    // Every server allows nine; a longer chosen one was not refused for its length.
    size_t nLimit = client.features.nNickLength > 0 ? static_cast<size_t>(client.features.nNickLength)
                                                   : (nChosen > 9 ? nChosen : 9);
    size_t nBase = nChosen < nLimit ? nChosen : nLimit - 1;
    const char* szTried = client.szNickname;
    char cNext;
    if (std::strcmp(szTried, szChosen) == 0) {
        cNext = '_';
    } else if (std::strlen(szTried) == nBase + 1 && std::strncmp(szTried, szChosen, nBase) == 0 &&
               (szTried[nBase] == '_' || (szTried[nBase] >= '2' && szTried[nBase] < '9'))) {
        cNext = szTried[nBase] == '_' ? '2' : static_cast<char>(szTried[nBase] + 1);
    } else {
        return false;
    }
    TextBuilder(szNext, sizeof szNext).Add(szChosen, nBase).Add(&cNext, 1);
    return true;
}

void OnNickTaken(ServerLine& line)
{
    TextField szNext;
    if (!NextFallbackNick(szNext)) {
        ShowWhole(line);
        return;
    }
    ShowPieces({"<KELVA> Nickname ", client.szNickname, " is taken; using ", szNext, "\r\n"});
    CopyField(client.szNickname, szNext);
    char szNick[8 + TEXT_FIELD_SIZE];
    TextBuilder(szNick, sizeof szNick).Add("NICK ").Add(szNext).Add("\r\n");
    SendRaw(szNick);
}

// RPL_NAMREPLY: target, channel type, channel, then ":" and the names. The
// type is "=" for a public channel, "*" for a private and "@" for a secret
// one.
void OnNames(ServerLine& line)
{
    const char* s = line.szLine;
    short& nPos = line.nPos;
    SkipField(s, nPos, '=');
    if ((s[nPos] == '*' || s[nPos] == '@') && s[nPos + 1] == ' ') ++nPos;
    SkipBlanks(s, nPos);
    SkipWord(s, nPos);
    SkipBlanks(s, nPos);
    if (s[nPos] == ':') ++nPos;
    while (!IsLineEnd(s[nPos])) {
        TextField szName;
        TakeWord(s, nPos, szName);
        KeepHighestMark(szName);
        NickListAdd(szName);
        SkipBlanks(s, nPos);
    }
}

// The server is ready, at the end of its message of the day or in its place
// (422: none), once per connection: join the channel named by the
// connection file or left by a dropped connection, or ask for the channel
// list.
void OnEndOfMotd(ServerLine& line)
{
    if (client.bMotdEnded) {
        ShowTrailing(line);
        return;
    }
    client.bMotdEnded = 1;
    if (client.szChannel[0] != '\0') {
        char szJoin[8 + TEXT_FIELD_SIZE];
        TextBuilder join(szJoin, sizeof szJoin);
        join.Add("/JOIN ");
        if (client.szChannel[0] != '#') join.Add("#");
        join.Add(client.szChannel).Add("\r\n");
        // Emptied first, so that the JOIN does not find us in it already.
        client.szChannel[0] = '\0';
        SendText(szJoin);
    } else if (client.bShowList == 1) {
        SendText("/LIST\r\n");
    }
    ShowTrailing(line);
}

const short RPL_WELCOME = 1;
const short ERR_NICKNAMEINUSE = 433;

typedef void (*LineHandler)(ServerLine&);

struct CommandWord {
    const char* szWord;
    unsigned nChars;
    LineHandler pfnHandle;
};

// Tried in this order; the first match decides.
const CommandWord kCommandWords[] = {
    {"PING", 4, OnPing},
    {"PONG", 4, OnPong},
    {"JOIN", 4, OnJoin},
    {"PART", 4, OnPart},
    {"QUIT", 4, OnQuit},
    {"PRIVMSG ", 8, OnMessage},
    {"NOTICE ", 7, OnMessage},
    {"NICK ", 5, OnNick},
    {"KICK ", 5, OnKick},
    {"MODE ", 5, OnMode},
    {"TOPIC ", 6, OnTopic},
    {"CAP ", 4, OnCap},
    {"AUTHENTICATE ", 13, OnAuthenticate},
};

struct NumericReply {
    short nNumeric;
    LineHandler pfnHandle;
};

const NumericReply kNumericReplies[] = {
    {5, OnFeatures},    {321, OnListStart}, {322, OnListEntry},  {323, OnListEnd}, {332, OnNothing},
    {353, OnNames},     {366, OnNothing},   {376, OnEndOfMotd}, {422, OnEndOfMotd},
};

// A numeric reply whose target begins with the own nickname.
bool IsAddressedToUser(const ServerLine& line)
{
    size_t nLen = std::strlen(client.szNickname);
    return nLen > 0 && CompareNoCase(line.szLine + line.nPos, client.szNickname, static_cast<unsigned>(nLen)) == 0;
}

void OnNumericReply(ServerLine& line)
{
    for (const NumericReply& reply : kNumericReplies) {
        if (reply.nNumeric == line.nNumeric) {
            reply.pfnHandle(line);
            return;
        }
    }
    char szInWords[1024];
    if (DescribeReply(line.nNumeric, line.szLine, line.nPos, szInWords, sizeof szInWords))
        Show(szInWords);
    else
        ShowTrailing(line);
}

}  // namespace

void HandleServerLine(const char* szLine)
{
    ServerLine line;
    line.szLine = szLine;
    line.bPartnerLeft = false;
    ParseHead(line);
    // After a numeric the position is on its target, a nickname that may
    // begin like a command word.
    for (const CommandWord& word : kCommandWords) {
        if (line.nNumeric != 0) break;
        if (CompareNoCase(szLine + line.nPos, word.szWord, word.nChars) == 0) {
            word.pfnHandle(line);
            if (line.bPartnerLeft) OnPartnerDeparture();
            return;
        }
    }
    // The welcome comes once, to whatever nickname the server settled on.
    if (line.nNumeric == RPL_WELCOME) client.bRegistered = 1;
    if (TakeLoginNumeric(line)) return;
    if (line.nNumeric == ERR_NICKNAMEINUSE && !client.bRegistered)
        OnNickTaken(line);
    else if (IsAddressedToUser(line))
        OnNumericReply(line);
    else
        ShowWhole(line);
}
