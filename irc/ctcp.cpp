// ctcp = %x01 word [ " " argument ] [ %x01 ]   (the closing mark may be missing)
#include "irc/ctcp.h"

#include <cstdio>
#include <cstring>

#include "irc/client_state.h"
#include "irc/encoding.h"
#include "irc/seam.h"
#include "irc/time_words.h"
#include "kelva_version.h"

namespace {

const char szVersionAnswer[] = "KELVA " KELVA_VERSION " for Windows";
const char szKnownWords[] = "ACTION CLIENTINFO PING TIME VERSION";
// A PING answer older than this was not one of ours.
const unsigned LONGEST_ROUND_TRIP_MS = 600000;

struct Ctcp {
    char szWord[32];
    const char* pArgument;
    size_t nArgumentLen;
};

bool IsBodyEnd(char c) { return c == CTCP_MARK || c == '\r' || c == '\n' || c == '\0'; }

// The word (cut to what szWord holds) and the argument after one blank.
void Parse(const char* pText, Ctcp& ctcp)
{
    const char* p = pText + 1;
    size_t nWord = 0;
    while (!IsBodyEnd(p[nWord]) && p[nWord] != ' ') ++nWord;
    size_t nKept = Utf8CutLength(p, nWord, sizeof ctcp.szWord - 1);
    std::memcpy(ctcp.szWord, p, nKept);
    ctcp.szWord[nKept] = '\0';
    p += nWord;
    if (*p == ' ') ++p;
    ctcp.pArgument = p;
    ctcp.nArgumentLen = 0;
    while (!IsBodyEnd(p[ctcp.nArgumentLen])) ++ctcp.nArgumentLen;
}

bool IsWord(const Ctcp& ctcp, const char* szWord)
{
    size_t nLen = std::strlen(szWord);
    return std::strlen(ctcp.szWord) == nLen && CompareNoCase(ctcp.szWord, szWord, static_cast<unsigned>(nLen)) == 0;
}

// Answers earned at one a second, at most CTCP_ANSWER_BURST kept.
bool MayAnswer()
{
    unsigned nNow = TickCount();
    unsigned nEarned = (nNow - client.nCtcpAnswerTick) / CTCP_ANSWER_INTERVAL_MS;
    if (nEarned >= static_cast<unsigned>(CTCP_ANSWER_BURST - client.nCtcpAnswersLeft)) {
        client.nCtcpAnswersLeft = CTCP_ANSWER_BURST;
        client.nCtcpAnswerTick = nNow;
    } else {
        client.nCtcpAnswersLeft = static_cast<short>(client.nCtcpAnswersLeft + nEarned);
        client.nCtcpAnswerTick += nEarned * CTCP_ANSWER_INTERVAL_MS;
    }
    if (client.nCtcpAnswersLeft == 0) return false;
    --client.nCtcpAnswersLeft;
    return true;
}

// The answer's text for a request this client knows; false for another.
bool AnswerText(const Ctcp& ctcp, TextBuilder& text)
{
    if (IsWord(ctcp, "VERSION"))
        text.Add(szVersionAnswer);
    else if (IsWord(ctcp, "PING"))
        text.Add(ctcp.pArgument, ctcp.nArgumentLen);
    else if (IsWord(ctcp, "TIME"))
        AddLocalTime(text, CurrentTime(), true);
    else if (IsWord(ctcp, "CLIENTINFO"))
        text.Add(szKnownWords);
    else
        return false;
    return true;
}

void ReadRequest(const char* szSender, const Ctcp& ctcp, CtcpOutcome& outcome)
{
    TextBuilder(outcome.szShown, sizeof outcome.szShown)
        .Add("<KELVA> ")
        .Add(szSender)
        .Add(" asked for ")
        .Add(ctcp.szWord)
        .Add("\r\n");
    char szText[MAX_LINE_LENGTH + 1];
    TextBuilder text(szText, sizeof szText);
    if (!AnswerText(ctcp, text) || !MayAnswer()) return;
    TextBuilder answer(outcome.szAnswer, sizeof outcome.szAnswer);
    size_t nTextStart;
    ComposeCtcp(answer, "NOTICE", szSender, ctcp.szWord, text.Text(), text.Length(), nTextStart);
}

// A PING answer carries the tick count of our request: the round trip in
// seconds. Any other argument is shown as it came.
void AddPingRoundTrip(TextBuilder& shown, const Ctcp& ctcp)
{
    long long nSent;
    unsigned nTrip = 0;
    bool bOurs = ReadSeconds(ctcp.pArgument, ctcp.nArgumentLen, nSent) && nSent <= 0xFFFFFFFFLL &&
                 (nTrip = TickCount() - static_cast<unsigned>(nSent)) <= LONGEST_ROUND_TRIP_MS;
    if (!bOurs) {
        shown.Add(ctcp.pArgument, ctcp.nArgumentLen);
        return;
    }
    char szSeconds[32];
    std::snprintf(szSeconds, sizeof szSeconds, "%u.%03u seconds", nTrip / 1000, nTrip % 1000);
    shown.Add(szSeconds);
}

void ReadAnswer(const char* szSender, const Ctcp& ctcp, CtcpOutcome& outcome)
{
    TextBuilder shown(outcome.szShown, sizeof outcome.szShown);
    shown.Add("<").Add(szSender).Add("> ").Add(ctcp.szWord).Add(" reply: ");
    if (IsWord(ctcp, "PING"))
        AddPingRoundTrip(shown, ctcp);
    else
        shown.Add(ctcp.pArgument, ctcp.nArgumentLen);
    shown.Add("\r\n");
}

}  // namespace

void ReadCtcp(const char* szSender, bool bNotice, const char* szMarker, const char* pText, CtcpOutcome& outcome)
{
    outcome.szShown[0] = '\0';
    outcome.szAnswer[0] = '\0';
    outcome.bAction = false;
    Ctcp ctcp;
    Parse(pText, ctcp);
    // Nobody to answer or to name, or no request at all.
    if (szSender[0] == '\0' || ctcp.szWord[0] == '\0') return;
    if (IsWord(ctcp, "ACTION")) {
        if (szMarker == nullptr) return;
        outcome.bAction = true;
        TextBuilder(outcome.szShown, sizeof outcome.szShown)
            .Add("* ")
            .Add(szSender)
            .Add(szMarker)
            .Add(" ")
            .Add(ctcp.pArgument, ctcp.nArgumentLen)
            .Add("\r\n");
    } else if (bNotice) {
        ReadAnswer(szSender, ctcp, outcome);
    } else {
        ReadRequest(szSender, ctcp, outcome);
    }
}

void ComposeCtcp(TextBuilder& out, const char* szCommand, const char* szTarget, const char* szWord, const char* pText,
                 size_t nTextLen, size_t& nTextStart)
{
    const char szMark[] = {CTCP_MARK, '\0'};
    out.Add(szCommand).Add(" ").Add(szTarget).Add(" :").Add(szMark).Add(szWord);
    if (nTextLen > 0) out.Add(" ");
    nTextStart = out.Length();
    out.Add(pText, nTextLen);
    // Room for the closing mark and "\r\n" within the line limit.
    const size_t nRoom = MAX_LINE_LENGTH - 3;
    if (out.Length() > nRoom) out.Truncate(Utf8CutLength(out.Text(), out.Length(), nRoom));
    out.Add(szMark).Add("\r\n");
}
