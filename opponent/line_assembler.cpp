#include "opponent/line_assembler.h"

void FeedLines(LineAssembler& a, const char* pBytes, int nBytes, void (*pfnLine)(void* pData, const char* szLine),
               void* pData)
{
    for (int i = 0; i < nBytes; ++i) {
        char c = pBytes[i];
        if (c == '\0') continue;
        if (a.nLen == MAX_LINE_LENGTH) a.bOverlong = true;
        if (!a.bOverlong) a.szLine[a.nLen++] = c;
        if (c != '\n') continue;
        if (!a.bOverlong) {
            a.szLine[a.nLen] = '\0';
            pfnLine(pData, a.szLine);
        }
        a.nLen = 0;
        a.bOverlong = false;
    }
}
