// Reading the server connection by polling.
#pragma once

// One non-blocking receive of at most 512 bytes; every line it completes goes
// to HandleServerLine. 0 while the connection is sound (also when nothing has
// arrived or nothing is connected); the Winsock error of a failed receive, or
// -1 when the server has closed the connection.
short PollReceive();

// A new connection: no partial line of an earlier one is kept, and its first
// over-long line gets the notice again.
void StartLineAssembly();

// Cuts received bytes into lines at each LF, completing the line that
// pLine_Buffer holds; lines of more than 512 characters are dropped, the
// first of a connection with a notice. NUL bytes in the chunk are skipped.
// pChunk is changed in place and has room for a NUL after its nBytes.
void AssembleLines(char* pChunk, int nBytes);
