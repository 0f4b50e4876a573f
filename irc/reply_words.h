// Numeric replies that the server sends as bare parameters, told in words:
// who set the topic and when, when the channel was made, the WHOIS answers
// and a user's away message.
#pragma once

#include <cstddef>

// The line of numeric nNumeric, nPos on its target (the user), as one
// shown line in szOut with its "\r\n"; false when this is not such a reply.
bool DescribeReply(short nNumeric, const char* szLine, short nPos, char* szOut, size_t nSize);
