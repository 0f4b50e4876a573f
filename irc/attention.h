// Whether a chat line is for the user: it names him.
#pragma once

// The nickname stands in the text as a word of its own: ASCII letters in
// either case, and neither end touching a character that nicknames are made
// of ("Ravkel:" and "@ravkel" name Ravkel, "Ravkel2" does not). The text
// ends at its line end; an empty nickname is named nowhere.
bool NamesNickname(const char* pText, const char* szNick);
