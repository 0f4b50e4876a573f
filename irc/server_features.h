// What a server says of itself in its 005 lines (ISUPPORT), as far as the
// client uses it: the longest nickname (NICKLEN), and the channel member
// modes with the marks the nick list shows for them (PREFIX).
#pragma once

#include "irc/server_line.h"

// A 005 line, from the position on its target: it is shown as any numeric,
// and its tokens are noted in client.features for the server.
void OnFeatures(ServerLine& line);

// A name as a names reply gives it with every mark of the member
// ("@+bob", with multi-prefix): the highest mark alone stays ("@bob").
void KeepHighestMark(TextField& szName);

// The rank of a member mark, 0 the highest; -1 for a character that is none.
int MarkRank(char cMark);
