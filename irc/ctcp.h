// CTCP: requests between clients, and their answers, carried as text between
// two 0x01 marks in a PRIVMSG (a request, or an ACTION) or a NOTICE (an
// answer). Game messages begin with "!" and are never CTCP.
#pragma once

#include <cstddef>

#include "irc/line_limits.h"
#include "irc/text.h"

const char CTCP_MARK = '\x01';

// What a CTCP message asks of the client: a line to show and an answer to
// send, each empty for none.
struct CtcpOutcome {
    char szShown[MAX_LINE_LENGTH + 2 * TEXT_FIELD_SIZE];
    char szAnswer[MAX_LINE_LENGTH + 1];
    bool bAction;  // an ACTION: said, as a chat line is
};

// pText on the first mark of a message's text; bNotice for a NOTICE;
// szMarker what a chat line from this sender shows behind the nick ("",
// "-Private", "-Public"), or nullptr when the conversation shows none: an
// ACTION is then not shown either. Requests are shown always, and answered
// within the rate limit, on the seam's tick count.
void ReadCtcp(const char* szSender, bool bNotice, const char* szMarker, const char* pText, CtcpOutcome& outcome);

// szCommand + " " + szTarget + " :" + mark, the word, a blank and the text
// when there is one, the mark and "\r\n", within the protocol's line limit:
// a text too long is cut, never the closing mark. The text starts at
// nTextStart of out (its length when the text is empty).
void ComposeCtcp(TextBuilder& out, const char* szCommand, const char* szTarget, const char* szWord, const char* pText,
                 size_t nTextLen, size_t& nTextStart);
