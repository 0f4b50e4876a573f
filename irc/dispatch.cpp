// line    = [ ":" prefix " " ] [ numeric " " ] word { " " param } [ " :" trailing ] ( CR LF | LF )
// prefix  = nick [ "!" user ] [ "@" host ]
#include "irc/dispatch.h"

#include <cstring>
#include <initializer_list>

#include "game/handshake.h"
#include "game/vocabulary.h"
#include "irc/client_state.h"
#include "irc/send.h"
#include "irc/text.h"
#include "irc/seam.h"

namespace {

struct ServerLine {
    const char* szLine;
    short nPos;          // on the command word, or after a numeric on its target
    TextField szSender;  // the prefix's nick, empty without a prefix
    short nNumeric;      // 0 when the command is a word
};

void Show(const char* szText) { AppendOutput(szText); }

// The pieces of one shown line reach the pane in one append: under a flood
// every append costs the pane a layout of its own. Room for "<", a 255-
// character nick, the longest heading and a whole 512-character line.
void ShowPieces(std::initializer_list<const char*> pieces)
{
    char szShown[1024];
    TextBuilder shown(szShown, sizeof szShown);
    for (const char* szPiece : pieces) shown.Add(szPiece);
    Show(szShown);
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }

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

bool IsOwnNick(const char* szName) { return std::strcmp(szName, client.szNickname) == 0; }

void OnPing(ServerLine&)
{
    short nKept = client.nSendMode;
    client.nSendMode = SEND_RAW;
    SendText("PONG ");
    SendText(client.szNickname);
    SendText("\r\n");
    client.nSendMode = nKept;
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

// The nick list entry of a departing nick: the nick itself, or the nick
// behind one channel status prefix. An entry that only begins with the nick
// is somebody else's.
void RemoveFromNickList(const char* szNick)
{
    static const char kStatusPrefixes[] = "@+%&~";
    char szEntry[2 + TEXT_FIELD_SIZE];
    short nIndex = NickListFindExact(szNick);
    for (const char* p = kStatusPrefixes; nIndex < 0 && *p; ++p) {
        char szPrefix[2] = {*p, '\0'};
        TextBuilder(szEntry, sizeof szEntry).Add(szPrefix).Add(szNick);
        nIndex = NickListFindExact(szEntry);
    }
    if (nIndex >= 0) NickListDeleteAt(nIndex);
}

void OnDeparture(ServerLine& line, const char* szShown)
{
    RemoveFromNickList(line.szSender);
    bool bPartner = client.szPartner[0] != '\0' && std::strcmp(line.szSender, client.szPartner) == 0;
    if (client.szPartner[0] != '\0' && !bPartner) return;
    if (!bPartner && IsOwnNick(line.szSender)) return;
    ShowPieces({"<", line.szSender, szShown});
    if (bPartner) OnPartnerDeparture();
}

void OnPart(ServerLine& line) { OnDeparture(line, "> Parting\r\n"); }
void OnQuit(ServerLine& line) { OnDeparture(line, "> Quiting\r\n"); }

// The heading of a message as the conversation stands: in a private
// conversation the partner's words are plain, the partner's channel words
// "-Public", other private words "-Private", and the rest of the channel is
// not shown (nullptr).
const char* MessageHeading(const char* szSender, const char* szTarget)
{
    bool bToMe = IsOwnNick(szTarget);
    if (client.szPartner[0] == '\0') return bToMe ? "-Private> " : "> ";
    bool bFromPartner = std::strcmp(szSender, client.szPartner) == 0;
    if (bToMe) return bFromPartner ? "> " : "-Private> ";
    return bFromPartner ? "-Public> " : nullptr;
}

void OnMessage(ServerLine& line)
{
    const char* s = line.szLine;
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
    const char* szHeading = MessageHeading(line.szSender, szTarget);
    if (szHeading == nullptr) return;
    if (line.szSender[0] != '\0')
        ShowPieces({"<", line.szSender, szHeading, s + line.nPos});
    else
        Show(s + line.nPos);
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
    TextField szRow;
    CopyField(szRow, line.szLine + line.nPos, static_cast<size_t>(nEnd - line.nPos));
    ChannelListAddRow(szRow);
}

void OnListEnd(ServerLine&)
{
    if (client.hListDlg != nullptr) ChannelListSetTitle("Channel List");
}

void OnNothing(ServerLine&) {}

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
        NickListAdd(szName);
        SkipBlanks(s, nPos);
    }
}

// The server is ready: join the channel named by the connection file, or
// ask for the channel list.
void OnEndOfMotd(ServerLine& line)
{
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

typedef void (*LineHandler)(ServerLine&);

struct CommandWord {
    const char* szWord;
    unsigned nChars;
    LineHandler pfnHandle;
};

// Tried in this order; the first match decides.
const CommandWord kCommandWords[] = {
    {"PING", 4, OnPing},
    {"JOIN", 4, OnJoin},
    {"PART", 4, OnPart},
    {"QUIT", 4, OnQuit},
    {"PRIVMSG ", 8, OnMessage},
    {"NOTICE ", 7, OnMessage},
};

struct NumericReply {
    short nNumeric;
    LineHandler pfnHandle;
};

const NumericReply kNumericReplies[] = {
    {321, OnListStart}, {322, OnListEntry}, {323, OnListEnd}, {332, OnNothing},
    {353, OnNames},     {366, OnNothing},   {376, OnEndOfMotd},
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
    ShowTrailing(line);
}

// Whatever nothing else claims is shown whole.
void OnUnknown(ServerLine& line)
{
    ShowPieces({"<?> ", line.szLine});
}

}  // namespace

void HandleServerLine(const char* szLine)
{
    if (client.nRecvMode == RECV_SHOW) {
        Show(szLine);
        return;
    }
    if (client.nRecvMode != RECV_PARSE) return;

    ServerLine line;
    line.szLine = szLine;
    ParseHead(line);
    for (const CommandWord& word : kCommandWords) {
        if (CompareNoCase(szLine + line.nPos, word.szWord, word.nChars) == 0) {
            word.pfnHandle(line);
            return;
        }
    }
    if (IsAddressedToUser(line))
        OnNumericReply(line);
    else
        OnUnknown(line);
}
