// What the main window's commands and the channel list's Join do, apart
// from the window plumbing.
#pragma once

// Connect while not connected; while connected, asks whether to disconnect
// and does so only on Yes; while connecting, abandons the attempt at once.
// The focus goes back to the input line.
void OnConnectCommand();
// The Setup dialog, refused while connected or connecting.
void OnSetupCommand();
// Asks the server for its channel list, refused while not connected.
void OnListCommand();
// Joins the channel that a row of the channel list begins with.
void JoinListedChannel(const char* szRow);

// The input line's text, sent line by line as if each line had been typed
// and entered on its own: a pasted line never reaches the server inside
// another. CR LF, a bare LF and a bare CR each end a line; an empty line
// between two breaks is sent as an empty typed line is, while the final
// break of a text does not start another. An empty text is one empty line.
// A line is cut to at most 510 bytes, never inside a UTF-8 character, before
// its "\r\n".
void SendInputText(const char* szText);

// The command-line text after the program's name (which may be quoted) and
// the blanks or control characters that follow it.
const char* CommandLineArgument(const char* szCommandLine);
