// The server's bytes cut into lines at each LF, however they were split on
// the way.
#pragma once

#include "irc/line_limits.h"

struct LineAssembler {
    char szLine[NET_BUFFER_SIZE] = {};  // the line received so far
    short nLen = 0;
    bool bOverlong = false;  // past 512 characters: dropped up to its LF
};

// Feeds nBytes received; pfnLine gets each complete line, its LF included,
// as a NUL-terminated text. NUL bytes are skipped, and a line of more than
// 512 characters is dropped whole.
void FeedLines(LineAssembler& a, const char* pBytes, int nBytes, void (*pfnLine)(void* pData, const char* szLine),
               void* pData);
