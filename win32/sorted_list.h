// Held entries into a sorted list box (Win32), leaving it as adding each with
// LB_ADDSTRING would: the list box's own order, selection, caret and first
// row shown (see list_batch.h).
#pragma once

#include <windows.h>

#include "irc/client_state.h"
#include "shell/list_batch.h"

// Empties the list box and forgets what is held for it.
void EmptySortedList(HWND hList, HeldEntries& held);
// Forgets what is held and kept for a list box that goes away.
void ForgetSortedList(HWND hList, HeldEntries& held);

// Adds an entry to the list box, or during a burst holds it for a feed.
void AddToSortedList(HWND hList, HeldEntries& held, const char* szEntry);

// Puts what is held into the list box, or during a burst may leave it held
// for later; nothing when nothing is held. During a burst the list's entries
// are kept with their sort keys for the next feed.
void FeedSortedList(HWND hList, HeldEntries& held, bool bBurstOver);

// The list box's entry at nIndex; false, and an empty text, when there is
// none or it is longer than a server line, which every entry comes from.
bool ReadListEntry(HWND hList, int nIndex, char (&szEntry)[MAX_LINE_LENGTH + 1]);
