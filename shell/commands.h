// What the main window's commands and the channel list's Join do, apart
// from the window plumbing.
#pragma once

// Connect while not connected; while connected, asks whether to disconnect
// and does so only on Yes. The focus goes back to the input line.
void OnConnectCommand();
// The Setup dialog, refused while connected.
void OnSetupCommand();
// Asks the server for its channel list, refused while not connected.
void OnListCommand();
// Joins the channel that a row of the channel list begins with.
void JoinListedChannel(const char* szRow);

// The command-line text after the program's name (which may be quoted) and
// the blanks or control characters that follow it.
const char* CommandLineArgument(const char* szCommandLine);
