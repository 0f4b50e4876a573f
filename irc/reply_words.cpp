// reply = target { " " middle } [ " :" trailing ] ( CR LF | LF )
#include "irc/reply_words.h"

#include <cstring>
#include <initializer_list>

#include "irc/text.h"
#include "irc/time_words.h"

namespace {

// A stretch of text: a parameter of the reply, or a literal piece.
struct Piece {
    Piece(const char* szText = "") : p(szText), n(std::strlen(szText)) {}
    Piece(const char* pText, size_t nLen) : p(pText), n(nLen) {}
    const char* p;
    size_t n;
};

const int MAX_PARAMS = 6;

// The parameters after the target; one that the reply lacks is empty.
struct Params {
    Piece pieces[MAX_PARAMS];
    int nCount = 0;
    Piece operator[](int n) const { return n < nCount ? pieces[n] : Piece(); }
};

void ReadParams(const char* s, short nPos, Params& params)
{
    SkipWord(s, nPos);
    SkipBlanks(s, nPos);
    while (params.nCount < MAX_PARAMS && s[nPos] != '\0' && s[nPos] != '\r' && s[nPos] != '\n') {
        short nEnd;
        FindParameter(s, nPos, nEnd);
        params.pieces[params.nCount++] = Piece(s + nPos, static_cast<size_t>(nEnd - nPos));
        nPos = nEnd;
        SkipBlanks(s, nPos);
    }
}

void Say(TextBuilder& out, std::initializer_list<Piece> pieces)
{
    for (const Piece& piece : pieces) out.Add(piece.p, piece.n);
}

// A time parameter in local time, or as it stands when it is not one.
void SayTime(TextBuilder& out, Piece time)
{
    long long nSeconds;
    if (ReadSeconds(time.p, time.n, nSeconds))
        AddLocalTime(out, nSeconds, false);
    else
        Say(out, {time});
}

// The nick of a nick!user@host mask.
Piece NickOf(Piece mask)
{
    const char* pBang = static_cast<const char*>(std::memchr(mask.p, '!', mask.n));
    return Piece(mask.p, pBang != nullptr ? static_cast<size_t>(pBang - mask.p) : mask.n);
}

// 333: channel, setter, time.
void TopicSetter(const Params& params, TextBuilder& out)
{
    Say(out, {"Topic set by ", NickOf(params[1]), " on "});
    SayTime(out, params[2]);
}

// 329: channel, time.
void ChannelCreated(const Params& params, TextBuilder& out)
{
    Say(out, {"Channel created on "});
    SayTime(out, params[1]);
}

// 311: nick, user, host, "*", real name.
void WhoisUser(const Params& params, TextBuilder& out)
{
    Say(out, {params[0], " is ", params[1], "@", params[2], " (", params[4], ")"});
}

// 312: nick, server, the server's description.
void WhoisServer(const Params& params, TextBuilder& out)
{
    Say(out, {params[0], " is on ", params[1], " (", params[2], ")"});
}

// 317: nick, seconds idle, and with most servers the sign-on time.
void WhoisIdle(const Params& params, TextBuilder& out)
{
    Say(out, {params[0], " has been idle "});
    long long nIdle, nSignOn;
    if (ReadSeconds(params[1].p, params[1].n, nIdle))
        AddSpanInWords(out, nIdle);
    else
        Say(out, {params[1]});
    if (ReadSeconds(params[2].p, params[2].n, nSignOn)) {
        Say(out, {", signed on "});
        AddLocalTime(out, nSignOn, false);
    }
}

// 318: nick, text.
void WhoisEnd(const Params& params, TextBuilder& out) { Say(out, {"End of WHOIS for ", params[0]}); }

// 319: nick, channels.
void WhoisChannels(const Params& params, TextBuilder& out) { Say(out, {params[0], " is in ", params[1]}); }

// 330: nick, account, text.
void WhoisAccount(const Params& params, TextBuilder& out) { Say(out, {params[0], " is logged in as ", params[1]}); }

// 313 and 671: nick, and a text that says the rest ("is an IRC operator").
void WhoisStatement(const Params& params, TextBuilder& out) { Say(out, {params[0], " ", params[1]}); }

// 301: nick, away message.
void Away(const Params& params, TextBuilder& out) { Say(out, {params[0], " is away: ", params[1]}); }

struct ReplyInWords {
    short nNumeric;
    int nParams;  // at least this many, or the reply is shown as it came
    void (*pfnSay)(const Params&, TextBuilder&);
};

const ReplyInWords kRepliesInWords[] = {
    {301, 2, Away},         {311, 5, WhoisUser},     {312, 3, WhoisServer},   {313, 2, WhoisStatement},
    {317, 2, WhoisIdle},    {318, 1, WhoisEnd},      {319, 2, WhoisChannels}, {329, 2, ChannelCreated},
    {330, 2, WhoisAccount}, {333, 3, TopicSetter},   {671, 2, WhoisStatement},
};

}  // namespace

bool DescribeReply(short nNumeric, const char* szLine, short nPos, char* szOut, size_t nSize)
{
    for (const ReplyInWords& reply : kRepliesInWords) {
        if (reply.nNumeric != nNumeric) continue;
        Params params;
        ReadParams(szLine, nPos, params);
        if (params.nCount < reply.nParams) return false;
        TextBuilder out(szOut, nSize);
        reply.pfnSay(params, out);
        out.Add("\r\n");
        return true;
    }
    return false;
}
