// Names for the nick list, held back during a burst and put into the list
// box together when it is over. Portable: the caller makes the sort keys
// and talks to the list box.
//
// A sorted list box places each name it is given by a binary search of
// locale comparisons, about 9 µs a name under Wine, most of it the
// comparisons. A names reply of thousands of nicks goes in faster as one
// merge: the held names are ordered by their sort keys, whose byte order is
// the comparison's order, and each is inserted at the index it would have
// found. Where two keys are equal the outcome of a binary search depends on
// the order of the adds, so then the names are added one by one after all.
#pragma once

// Holds a copy of the name; false when no more can be held.
bool HoldNick(const char* szName);
int HeldNickCount();
// The held names in the order they were held.
const char* HeldNick(int nIndex);
void ForgetHeldNicks();

struct SortKey {
    const unsigned char* pBytes;
    int nBytes;
};

// The list's entry at nIndex as a sort key, valid until the next call.
typedef SortKey (*ListedKeyFn)(int nIndex);

// For nKeys held names with the keys pKeys (in the order held) going into a
// sorted list of nListed entries: pOrder receives the held names' numbers in
// key order, and pIndex the index each is to be inserted at, in that order.
// False when two keys, held or listed, are equal.
bool PlanSortedInsert(const SortKey* pKeys, int nKeys, int nListed, ListedKeyFn pfnListedKey, int* pOrder, int* pIndex);
