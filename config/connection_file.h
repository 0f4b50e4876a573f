// The connection file named on the command line.
#pragma once

// Takes SERVER, PORT and CHANNEL from the file into the client state and
// connects. A file that cannot be opened gets the "Opps..." notice with its
// name, and no connection is started.
void ReadConnectionFile(const char* szFileName);
