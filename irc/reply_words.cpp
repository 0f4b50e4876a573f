// reply = target { " " middle } [ " :" trailing ] ( CR LF | LF )
#include "irc/reply_words.h"

#include "irc/text.h"
#include "irc/time_words.h"

namespace {

const int MAX_PARAMS = 6;

// The parameters after the target, each a stretch of the line.
struct Params {
    const char* pText[MAX_PARAMS];
    size_t nLen[MAX_PARAMS];
    int nCount;
};

void ReadParams(const char* s, short nPos, Params& params)
{
    params.nCount = 0;
    SkipWord(s, nPos);
    SkipBlanks(s, nPos);
    while (params.nCount < MAX_PARAMS && s[nPos] != '\0' && s[nPos] != '\r' && s[nPos] != '\n') {
        short nEnd;
        FindParameter(s, nPos, nEnd);
        params.pText[params.nCount] = s + nPos;
        params.nLen[params.nCount] = static_cast<size_t>(nEnd - nPos);
        ++params.nCount;
        nPos = nEnd;
        SkipBlanks(s, nPos);
    }
}

// Parameter n, empty when the reply has fewer.
struct Param {
    const char* p;
    size_t n;
};

Param At(const Params& params, int n)
{
    if (n >= params.nCount) return {"", 0};
    return {params.pText[n], params.nLen[n]};
}

TextBuilder& Add(TextBuilder& out, Param param) { return out.Add(param.p, param.n); }

// A time parameter in local time, or as it stands when it is not one.
void AddTime(TextBuilder& out, Param param)
{
    long long nSeconds;
    if (ReadSeconds(param.p, param.n, nSeconds))
        AddLocalTime(out, nSeconds, false);
    else
        Add(out, param);
}

// A nick!user@host mask's nick.
Param NickOf(Param mask)
{
    size_t n = 0;
    while (n < mask.n && mask.p[n] != '!') ++n;
    return {mask.p, n};
}

// 333: channel, setter, time.
void TopicSetter(const Params& params, TextBuilder& out)
{
    Add(out.Add("Topic set by "), NickOf(At(params, 1))).Add(" on ");
    AddTime(out, At(params, 2));
}

// 329: channel, time.
void ChannelCreated(const Params& params, TextBuilder& out)
{
    AddTime(out.Add("Channel created on "), At(params, 1));
}

// 311: nick, user, host, "*", real name.
void WhoisUser(const Params& params, TextBuilder& out)
{
    Add(out, At(params, 0)).Add(" is ");
    Add(Add(out, At(params, 1)).Add("@"), At(params, 2)).Add(" (");
    Add(out, At(params, 4)).Add(")");
}

// 312: nick, server, server's description.
void WhoisServer(const Params& params, TextBuilder& out)
{
    Add(Add(Add(out, At(params, 0)).Add(" is on "), At(params, 1)).Add(" ("), At(params, 2)).Add(")");
}

// 317: nick, seconds idle, [sign-on time].
void WhoisIdle(const Params& params, TextBuilder& out)
{
    Add(out, At(params, 0)).Add(" has been idle ");
    long long nIdle;
    if (ReadSeconds(At(params, 1).p, At(params, 1).n, nIdle))
        AddSpanInWords(out, nIdle);
    else
        Add(out, At(params, 1));
    long long nSignOn;
    if (ReadSeconds(At(params, 2).p, At(params, 2).n, nSignOn)) AddLocalTime(out.Add(", signed on "), nSignOn, false);
}

// 318: nick, text.
void WhoisEnd(const Params& params, TextBuilder& out) { Add(out.Add("End of WHOIS for "), At(params, 0)); }

// 319: nick, channels.
void WhoisChannels(const Params& params, TextBuilder& out)
{
    Add(Add(out, At(params, 0)).Add(" is in "), At(params, 1));
}

// 330: nick, account, text.
void WhoisAccount(const Params& params, TextBuilder& out)
{
    Add(Add(out, At(params, 0)).Add(" is logged in as "), At(params, 1));
}

// 313 and 671: nick, a text that says the rest ("is an IRC operator").
void WhoisStatement(const Params& params, TextBuilder& out) { Add(Add(out, At(params, 0)).Add(" "), At(params, 1)); }

// 301: nick, away message.
void Away(const Params& params, TextBuilder& out) { Add(Add(out, At(params, 0)).Add(" is away: "), At(params, 1)); }

struct ReplyInWords {
    short nNumeric;
    int nParams;  // at least this many, or the reply is shown as it came
    void (*pfnDescribe)(const Params&, TextBuilder&);
};

const ReplyInWords kRepliesInWords[] = {
    {301, 2, Away},          {311, 5, WhoisUser},      {312, 2, WhoisServer},    {313, 2, WhoisStatement},
    {317, 2, WhoisIdle},     {318, 1, WhoisEnd},       {319, 2, WhoisChannels},  {329, 2, ChannelCreated},
    {330, 2, WhoisAccount},  {333, 3, TopicSetter},    {671, 2, WhoisStatement},
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
        reply.pfnDescribe(params, out);
        out.Add("\r\n");
        return true;
    }
    return false;
}
