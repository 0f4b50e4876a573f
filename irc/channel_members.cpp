// The channel's members as the server reports them: departures, renames,
// kicks, operator and voice marks, topics. The nick list follows each, and
// so do the partner, the channel and the user's own nickname.
#include <cstring>

#include "irc/client_state.h"
#include "irc/seam.h"
#include "irc/send.h"
#include "irc/server_features.h"
#include "irc/server_line.h"
#include "irc/text.h"

namespace {

// The current channel, named in another letter case or not.
bool IsCurrentChannel(const char* szName)
{
    size_t nLen = std::strlen(szName);
    return nLen > 0 && std::strlen(client.szChannel) == nLen &&
           CompareNoCase(szName, client.szChannel, static_cast<unsigned>(nLen)) == 0;
}

// The text of a nick list entry: the nick behind its channel status mark
// ('\0' for none).
void MakeEntry(char (&szEntry)[2 + TEXT_FIELD_SIZE], char cStatus, const char* szNick)
{
    char szMark[2] = {cStatus, '\0'};
    TextBuilder(szEntry, sizeof szEntry).Add(szMark).Add(szNick);
}

// The nick list entry of a nick: the nick itself, or the nick behind one
// channel status mark, which goes to cStatus; -1 when it is not listed. An
// entry that only begins with the nick is somebody else's.
short FindNickEntry(const char* szNick, char& cStatus)
{
    cStatus = '\0';
    short nIndex = NickListFindExact(szNick);
    for (const char* p = client.features.szMemberMarks; nIndex < 0 && *p; ++p) {
        char szEntry[2 + TEXT_FIELD_SIZE];
        MakeEntry(szEntry, *p, szNick);
        nIndex = NickListFindExact(szEntry);
        if (nIndex >= 0) cStatus = *p;
    }
    return nIndex;
}

void RemoveFromNickList(const char* szNick)
{
    char cStatus;
    short nIndex = FindNickEntry(szNick, cStatus);
    if (nIndex >= 0) NickListDeleteAt(nIndex);
}

// The entry at nIndex becomes the nick behind the mark, in its sorted place.
void Relist(short nIndex, char cStatus, const char* szNick)
{
    char szEntry[2 + TEXT_FIELD_SIZE];
    MakeEntry(szEntry, cStatus, szNick);
    NickListRename(nIndex, szEntry);
}

void OnDeparture(ServerLine& line, const char* szShown)
{
    RemoveFromNickList(line.szSender);
    bool bPartner = IsPartner(line.szSender);
    if (client.szPartner[0] != '\0' && !bPartner) return;
    if (!bPartner && IsOwnNick(line.szSender)) return;
    ShowPieces({"<", line.szSender, szShown});
    line.bPartnerLeft = bPartner;
}

// " (reason)" from the trailing text at nPos, or nothing without one.
void TakeReason(const char* s, short nPos, char (&szReason)[MAX_LINE_LENGTH + 4])
{
    if (s[nPos] == ':') ++nPos;
    short nEnd = nPos;
    SkipToReturn(s, nEnd);
    TextBuilder reason(szReason, sizeof szReason);
    if (nEnd > nPos) reason.Add(" (").Add(s + nPos, static_cast<size_t>(nEnd - nPos)).Add(")");
}

bool IsWordEnd(char c) { return c == ' ' || IsLineEnd(c); }

// The mark of a member mode ('o' gives '@'); '\0' for another mode.
char MemberMark(char cMode)
{
    const char* pMode = cMode != '\0' ? std::strchr(client.features.szMemberModes, cMode) : nullptr;
    return pMode != nullptr ? client.features.szMemberMarks[pMode - client.features.szMemberModes] : '\0';
}

// Whether the modes of a MODE line are operator and voice marks alone.
bool OnlyMemberModes(const char* pModes)
{
    bool bAny = false;
    for (; !IsWordEnd(*pModes); ++pModes) {
        if (MemberMark(*pModes) != '\0')
            bAny = true;
        else if (*pModes != '+' && *pModes != '-')
            return false;
    }
    return bAny;
}

// A member mark given or taken: operator ("@"), voice ("+") and the others
// the server names. An entry shows the highest one: voice given to an
// operator leaves "@", and the voice of somebody who loses "@" is not known
// here.
void MarkMember(const char* szNick, bool bGiven, char cMark)
{
    char cStatus;
    short nIndex = szNick[0] != '\0' ? FindNickEntry(szNick, cStatus) : -1;
    if (nIndex < 0) return;
    char cNew = cStatus;
    if (bGiven && (cStatus == '\0' || MarkRank(cMark) < MarkRank(cStatus)))
        cNew = cMark;
    else if (!bGiven && cStatus == cMark)
        cNew = '\0';
    if (cNew != cStatus) Relist(nIndex, cNew, szNick);
}

}  // namespace

void OnPart(ServerLine& line) { OnDeparture(line, "> Parting\r\n"); }

// A QUIT of somebody who is not in the channel (nor the partner) concerns
// another channel that the user is in without seeing it here.
void OnQuit(ServerLine& line)
{
    char cStatus;
    if (FindNickEntry(line.szSender, cStatus) < 0 && !IsPartner(line.szSender)) return;
    OnDeparture(line, "> Quiting\r\n");
}

// ":old!u@h NICK :new": the entry keeps its mark and its selection in its
// new place; the partner's rename keeps the conversation or the game going,
// and the user's own changes the nickname of this connection.
void OnNick(ServerLine& line)
{
    SkipField(line.szLine, line.nPos, ':');
    TextField szNew;
    TakeWord(line.szLine, line.nPos, szNew);
    bool bOwn = IsOwnNick(line.szSender), bPartner = IsPartner(line.szSender);
    char cStatus;
    short nIndex = FindNickEntry(line.szSender, cStatus);
    if (szNew[0] == '\0' || (nIndex < 0 && !bOwn && !bPartner)) return;
    if (nIndex >= 0) Relist(nIndex, cStatus, szNew);
    if (bPartner) CopyField(client.szPartner, szNew);
    if (bOwn) CopyField(client.szNickname, szNew);
    if (client.szPartner[0] == '\0' || bPartner || bOwn)
        ShowPieces({"<", line.szSender, "> Now known as ", szNew, "\r\n"});
}

// ":op!u@h KICK #chan victim :reason". Kicked, the user leaves the channel
// as on his own PART; a kicked partner ends the conversation or the game as
// their PART does.
void OnKick(ServerLine& line)
{
    const char* s = line.szLine;
    SkipWord(s, line.nPos);
    SkipBlanks(s, line.nPos);
    TextField szKickedFrom, szVictim;
    TakeWord(s, line.nPos, szKickedFrom);
    SkipBlanks(s, line.nPos);
    TakeWord(s, line.nPos, szVictim);
    SkipBlanks(s, line.nPos);
    if (!IsCurrentChannel(szKickedFrom) || szVictim[0] == '\0') return;
    char szReason[MAX_LINE_LENGTH + 4];
    TakeReason(s, line.nPos, szReason);
    if (IsOwnNick(szVictim)) {
        LeaveChannel();
        ShowPieces({"<KELVA> You were kicked from ", szKickedFrom, " by ", line.szSender, szReason, "\r\n"});
        return;
    }
    RemoveFromNickList(szVictim);
    bool bPartner = IsPartner(szVictim);
    if (client.szPartner[0] != '\0' && !bPartner) return;
    ShowPieces({"<", line.szSender, "> Kicked ", szVictim, szReason, "\r\n"});
    line.bPartnerLeft = bPartner;
}

// ":op!u@h MODE #chan +o-v Irena bob": the marks of the channel's members
// follow the modes; any other MODE line is shown whole, as it always was.
void OnMode(ServerLine& line)
{
    const char* s = line.szLine;
    short nPos = line.nPos;
    SkipWord(s, nPos);
    SkipBlanks(s, nPos);
    TextField szTarget;
    TakeWord(s, nPos, szTarget);
    SkipBlanks(s, nPos);
    if (s[nPos] == ':') ++nPos;
    if (!IsCurrentChannel(szTarget) || !OnlyMemberModes(s + nPos)) {
        ShowWhole(line);
        return;
    }
    short nArgument = nPos;
    SkipWord(s, nArgument);
    bool bGiven = true;
    for (const char* pMode = s + nPos; !IsWordEnd(*pMode); ++pMode) {
        if (*pMode == '+' || *pMode == '-') {
            bGiven = *pMode == '+';
            continue;
        }
        SkipBlanks(s, nArgument);
        if (s[nArgument] == ':') ++nArgument;
        TextField szNick;
        TakeWord(s, nArgument, szNick);
        MarkMember(szNick, bGiven, MemberMark(*pMode));
    }
    ShowPieces({"<", line.szSender, "> Mode ", s + nPos});
}

void OnTopic(ServerLine& line)
{
    SkipWord(line.szLine, line.nPos);
    SkipBlanks(line.szLine, line.nPos);
    SkipField(line.szLine, line.nPos, ':');  // past the channel and one colon
    ShowPieces({"<", line.szSender, "> Topic: ", line.szLine + line.nPos});
}

