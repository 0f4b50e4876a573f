// The nick list's list box (Win32): the seam's nick list operations, and
// names added during a burst held back until it is over (list_batch.h).
#pragma once

// Puts the held names into the list box; nothing when none are held.
void FeedNickList();
