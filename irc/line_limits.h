// The protocol's line limits: the client and the computer opponent measure
// their line buffers in them.
#pragma once

// The longest line to or from the server, line end included.
const int MAX_LINE_LENGTH = 512;
// Each network buffer holds one line or one receive, its NUL and a spare byte.
const int NET_BUFFER_SIZE = 514;
