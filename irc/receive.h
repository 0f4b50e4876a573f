// Reading the server connection by polling, and cutting what arrives into
// lines.
#pragma once

// What a received line is handed to: the whole line, with the line end it
// arrived with.
typedef void (*LineHandler)(const char* szLine);

struct LineAssembly {
    int bOverflowShown = 0;  // the over-long line notice of this connection has been shown
    bool bFilled = false;    // the last receive took all it could
};

enum ReceiveResult {
    RECEIVE_DATA,     // bytes arrived, and every line they completed was handled
    RECEIVE_NOTHING,  // nothing has arrived, or nothing is connected
    RECEIVE_CLOSED,   // the server has closed the connection
    RECEIVE_FAILED,   // recv failed with the Winsock error given back
    RECEIVE_BROKEN,   // the TLS session failed
};

// One non-blocking receive of at most 512 bytes; every line it completes
// goes to pfnLine. On RECEIVE_FAILED nError holds the Winsock error.
ReceiveResult PollReceive(LineHandler pfnLine, int& nError);

// Whether the last receive took all the 512 bytes it could, or the TLS
// session holds more text already: then more data is most likely waiting.
// Otherwise the socket had nothing more at that moment.
bool ReceiveFilledBuffer();

// A new connection: no partial line of an earlier one is kept, and its first
// over-long line gets the notice again.
void StartLineAssembly();

// Cuts received bytes into lines at each LF, completing the line that
// pLine_Buffer holds, and hands each whole line to pfnLine; lines of more
// than 512 characters are dropped, the first of a connection with a notice.
// NUL bytes in the chunk are skipped. pChunk is changed in place and has room
// for a NUL after its nBytes.
void AssembleLines(char* pChunk, int nBytes, LineHandler pfnLine);
