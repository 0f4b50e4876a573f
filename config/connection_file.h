// The connection file named on the command line.
#pragma once

// Takes SERVER, PORT, CHANNEL and TLS from the file's first 255 bytes into the
// client state and connects, whether or not any key was found. The name is
// used exactly as given. A file that cannot be opened gets the "Opps..."
// notice with its name, and no connection is started; one that opens but
// cannot be read counts as empty.
void ReadConnectionFile(const char* szFileName);

// The keys of a connection file's text into the client state, without
// connecting.
void ParseConnectionText(const char* szText);
