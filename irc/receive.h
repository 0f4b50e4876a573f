// Reading the server connection by polling.
#pragma once

// One non-blocking receive of at most 512 bytes; every line it completes goes
// to HandleServerLine. While the TLS handshake of a new connection runs, it
// steps the handshake instead. 0 while the connection is sound (also when
// nothing has arrived or nothing is connected); the Winsock error of a failed
// receive, or -1 when the server has closed the connection or the TLS
// session has failed.
short PollReceive();

// Whether the last receive took all the 512 bytes it could, or the TLS
// session holds more text already: then more data is most likely waiting.
// Otherwise the socket had nothing more at that moment.
bool ReceiveFilledBuffer();

// A new connection: no partial line of an earlier one is kept, and its first
// over-long line gets the notice again.
void StartLineAssembly();

// Cuts received bytes into lines at each LF, completing the line that
// pLine_Buffer holds; lines of more than 512 characters are dropped, the
// first of a connection with a notice. NUL bytes in the chunk are skipped.
// pChunk is changed in place and has room for a NUL after its nBytes.
void AssembleLines(char* pChunk, int nBytes);
