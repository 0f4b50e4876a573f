// The help text "kelva.hlp", shipped beside kelva.exe, in a read-only window
// of the program (Win32).
#pragma once

// Shows the help window, opening it with the file's text the first time.
void OpenHelp();
// At exit: the help window goes with the program.
void CloseHelp();
