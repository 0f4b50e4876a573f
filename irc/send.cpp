#include "irc/send.h"

#include <cstdio>
#include <cstring>

#include "game/vocabulary.h"
#include "game/handshake.h"
#include "irc/client_state.h"
#include "irc/connection_state.h"
#include "irc/ctcp.h"
#include "irc/encoding.h"
#include "irc/format_codes.h"
#include "irc/text.h"
#include "irc/transmit.h"
#include "irc/seam.h"

namespace {

// Room for "PRIVMSG " + a 255-character target + " :" + a whole input line;
// anything longer is cut before it goes out.
const size_t COMPOSE_SIZE = 1024;

enum ComposeResult { COMPOSE_SEND, COMPOSE_NOTHING };

// Whether the len characters at pName equal the whole of szField, ASCII case
// ignored. An empty name or field never matches.
bool SameName(const char* pName, short nLen, const char* szField)
{
    return nLen > 0 && std::strlen(szField) == static_cast<size_t>(nLen) &&
           CompareNoCase(pName, szField, static_cast<unsigned>(nLen)) == 0;
}

// A line longer than the protocol allows is cut to at most 510 bytes, never
// inside a UTF-8 character, and CR LF.
void CutToLineLimit(TextBuilder& out)
{
    if (out.Length() <= static_cast<size_t>(MAX_LINE_LENGTH)) return;
    out.Truncate(Utf8CutLength(out.Text(), out.Length(), MAX_LINE_LENGTH - 2));
    out.Add("\r\n");
}

}  // namespace

void LeaveChannel()
{
    NickListRemoveAll();
    SetMainTitle("KELVA");
    client.szChannel[0] = '\0';
    if (client.nGameState != GAME_OFF) ToggleGameMode();
    client.szPartner[0] = '\0';
}

namespace {

ComposeResult ComposeJoin(const char* szText, short nCmd, TextBuilder& out)
{
    short nName = nCmd;
    SkipWord(szText, nName);
    SkipBlanks(szText, nName);
    short nNameEnd = nName;
    SkipWord(szText, nNameEnd);
    short nNameLen = static_cast<short>(nNameEnd - nName);

    if (nNameLen == 0) {
        AppendOutput("<KELVA> You must specify a channel name.\r\n");
        return COMPOSE_NOTHING;
    }
    if (SameName(szText + nName, nNameLen, client.szChannel)) {
        AppendOutput("<KELVA> You are already in that channel.\r\n");
        return COMPOSE_NOTHING;
    }
    if (client.szChannel[0] != '\0') {
        char szPart[8 + TEXT_FIELD_SIZE];
        TextBuilder part(szPart, sizeof szPart);
        part.Add("/PART ").Add(client.szChannel).Add("\r\n");
        SendText(szPart);
    }
    // The game channel on the default server (compared byte for byte) turns
    // game mode on and is always joined with its key.
    if (SameName(szText + nName, nNameLen, szGameChannel) && std::strcmp(client.szIRCServer, szDefaultServer) == 0) {
        if (client.nGameState == GAME_OFF) {
            ToggleGameMode();
            AppendOutput("<KELVA> To invite someone to play, click on their name above.\r\n");
            out.Add("JOIN ").Add(szGameChannel).Add(" ").Add(szGameChannelKey).Add("\r\n");
        }
        return COMPOSE_SEND;
    }
    out.Add("JOIN ").Add(szText + nName);
    return COMPOSE_SEND;
}

void ComposePart(TextBuilder& out)
{
    if (client.szChannel[0] == '\0') {
        AppendOutput("<KELVA> You are not currently in a channel.\r\n");
        return;
    }
    out.Add("PART ").Add(client.szChannel).Add("\r\n");
    LeaveChannel();
}

void ComposeQuit(const char* szText, short nCmd, TextBuilder& out)
{
    if (client.szChannel[0] != '\0') LeaveChannel();
    out.Add(szText + nCmd);
}

// The echo shows what goes out, after the cut, and reaches the pane in one
// append, as shown lines do; without formatting codes, as the pane shows
// other people's lines.
void Echo(const char* szBefore, const char* szAfter, const char* pText, size_t nLen, const char* szLineEnd)
{
    char szEcho[COMPOSE_SIZE];
    TextBuilder(szEcho, sizeof szEcho).Add(szBefore).Add(client.szNickname).Add(szAfter).Add(pText, nLen).Add(szLineEnd);
    StripFormatCodes(szEcho);
    AppendOutput(szEcho);
}

// Where chat lines go: the private partner, or else the channel; nullptr,
// with the reason shown, when there is neither.
const char* ChatTarget()
{
    const char* szTarget = ConversationTarget();
    if (szTarget[0] != '\0') return szTarget;
    AppendOutput("<KELVA> You are not in a channel. Type /join #channel, or click a name for a private conversation.\r\n");
    return nullptr;
}

// The text of a command line from nPos to its line end.
size_t TextToLineEnd(const char* szText, short nPos)
{
    short nEnd = nPos;
    SkipToReturn(szText, nEnd);
    return static_cast<size_t>(nEnd - nPos);
}

ComposeResult ComposeChat(const char* szText, TextBuilder& out)
{
    const char* szTarget = ChatTarget();
    if (szTarget == nullptr) return COMPOSE_NOTHING;
    out.Add("PRIVMSG ").Add(szTarget).Add(" :");
    size_t nTextStart = out.Length();
    out.Add(szText);
    CutToLineLimit(out);
    // Game messages are never echoed; they only start with "!" in game mode.
    if (client.nGameState == GAME_OFF || szText[0] != GAME_MARK)
        Echo("<", "> ", out.Text() + nTextStart, out.Length() - nTextStart, "");
    return COMPOSE_SEND;
}

// "/ME text": an ACTION to where chat lines go, shown as "* nick text".
ComposeResult ComposeAction(const char* szText, short nWordEnd, TextBuilder& out)
{
    const char* szTarget = ChatTarget();
    if (szTarget == nullptr) return COMPOSE_NOTHING;
    SkipBlanks(szText, nWordEnd);
    size_t nTextStart;
    ComposeCtcp(out, "PRIVMSG", szTarget, "ACTION", szText + nWordEnd, TextToLineEnd(szText, nWordEnd), nTextStart);
    // The text ends before the closing mark and "\r\n".
    Echo("* ", " ", out.Text() + nTextStart, out.Length() - 3 - nTextStart, "\r\n");
    return COMPOSE_SEND;
}

// "/CTCP nick WORD [text]": a request, its word in capitals. A PING without
// a text carries the tick count, so that its answer tells the round trip.
ComposeResult ComposeCtcpRequest(const char* szText, short nWordEnd, TextBuilder& out)
{
    short nPos = nWordEnd;
    TextField szNick, szWord;
    SkipBlanks(szText, nPos);
    TakeWord(szText, nPos, szNick);
    SkipBlanks(szText, nPos);
    TakeWord(szText, nPos, szWord);
    SkipBlanks(szText, nPos);
    if (szWord[0] == '\0') {
        AppendOutput("<KELVA> Type /CTCP, a nickname and a request, for example /CTCP bob VERSION.\r\n");
        return COMPOSE_NOTHING;
    }
    for (char* p = szWord; *p != '\0'; ++p)
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
    char szTicks[16];
    std::snprintf(szTicks, sizeof szTicks, "%u", TickCount());
    size_t nLen = TextToLineEnd(szText, nPos);
    bool bTimedPing = nLen == 0 && std::strcmp(szWord, "PING") == 0;
    size_t nTextStart;
    ComposeCtcp(out, "PRIVMSG", szNick, szWord, bTimedPing ? szTicks : szText + nPos,
                bTimedPing ? std::strlen(szTicks) : nLen, nTextStart);
    return COMPOSE_SEND;
}

// Whether the word at nStart is the slash and exactly the letters of
// szKeyword, ASCII case ignored.
bool IsSlashKeyword(const char* szText, short nStart, short nWordEnd, const char* szKeyword)
{
    size_t nLen = std::strlen(szKeyword);
    return static_cast<size_t>(nWordEnd - nStart) == nLen + 1 &&
           CompareNoCase(szText + nStart + 1, szKeyword, static_cast<unsigned>(nLen)) == 0;
}

// "/QUOTE text" and "/RAW text": the text goes out as it stands, for the
// commands that have no name here and for what a server asks to be typed.
bool IsQuote(const char* szText, short nStart, short nWordEnd)
{
    return IsSlashKeyword(szText, nStart, nWordEnd, "QUOTE") || IsSlashKeyword(szText, nStart, nWordEnd, "RAW");
}

ComposeResult Compose(const char* szText, TextBuilder& out)
{
    short nLineStart = 0;
    SkipBlanks(szText, nLineStart);
    if (szText[nLineStart] != '/') return ComposeChat(szText, out);
    short nWordEnd = nLineStart;
    SkipWord(szText, nWordEnd);
    short nCmd = static_cast<short>(nLineStart + 1);
    SkipBlanks(szText, nCmd);

    if (CompareNoCase(szText + nCmd, "JOIN ", 5) == 0) return ComposeJoin(szText, nCmd, out);
    if (IsSlashKeyword(szText, nLineStart, nWordEnd, "ME")) return ComposeAction(szText, nWordEnd, out);
    if (IsSlashKeyword(szText, nLineStart, nWordEnd, "CTCP")) return ComposeCtcpRequest(szText, nWordEnd, out);
    if (IsSlashKeyword(szText, nLineStart, nWordEnd, "PART")) {
        ComposePart(out);
    } else if (IsSlashKeyword(szText, nLineStart, nWordEnd, "QUIT")) {
        ComposeQuit(szText, nCmd, out);
    } else if (IsQuote(szText, nLineStart, nWordEnd)) {
        SkipBlanks(szText, nWordEnd);
        out.Add(szText + nWordEnd);
    } else
        out.Add(szText + nCmd);
    return COMPOSE_SEND;
}

}  // namespace

void SendText(const char* szText)
{
    if (client.nSendMode == SEND_RAW) {
        SendRaw(szText);
        return;
    }
    if (client.nSendMode != SEND_COMPOSE) return;

    char szCompose[COMPOSE_SIZE];
    TextBuilder out(szCompose, sizeof szCompose);
    if (Compose(szText, out) == COMPOSE_NOTHING) return;
    CutToLineLimit(out);
    // The server closes the connection after a QUIT; that close is the
    // user's end, not a drop.
    if (CompareNoCase(out.Text(), "QUIT", 4) == 0 && (out.Text()[4] == ' ' || IsLineEnd(out.Text()[4])))
        connection.bQuitSent = 1;
    SendRaw(out.Text());
}

