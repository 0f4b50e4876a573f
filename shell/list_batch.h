// Entries for a sorted list box (the nick list, the channel list's rows),
// held back during a burst and put into the list box together. Portable:
// the caller makes the sort keys and talks to the list box.
//
// A sorted list box places each entry it is given by a binary search of
// locale comparisons and moves every entry after it along: about 9 µs an
// entry under Wine in a list of 2,000, 40 to 70 µs in one of 50,000. Entries
// that arrive together go in faster: ordered by their sort keys, whose byte
// order is the comparison's order, each inserted at the index it would have
// found; into a long list, by filling the list afresh in the merged order.
// Where two keys are equal the outcome of the binary search depends on the
// order of the adds, so then the entries are added one by one after all.
#pragma once

#include <cstddef>
#include <vector>

#include "irc/encoding.h"

struct HeldEntries {
    std::vector<char> text;  // the entries one after the other, each with its NUL
    std::vector<int> starts;
};

void HoldEntry(HeldEntries& held, const char* szEntry);
int HeldCount(const HeldEntries& held);
// The held entries in the order they were held.
const char* HeldEntry(const HeldEntries& held, int nIndex);
void ForgetHeld(HeldEntries& held);

enum ListFeed {
    FEED_LATER,       // a long list during a burst: until as many are held as listed
    FEED_ONE_BY_ONE,  // the list box sorts each
    FEED_AT_PLACES,   // each inserted at its index
    FEED_REFILLED,    // the list emptied and filled in the merged order
};

// How nHeld entries go into a list of nListed, during the burst or at its
// end. Filling afresh reads and writes the whole list, so a long list is
// filled afresh only once as many entries are held as it has (during a
// burst) or an eighth of that (at the end); that way no entry is moved more
// than a few times however long the burst.
ListFeed ChooseListFeed(int nHeld, int nListed, bool bBurstOver);

struct SortKey {
    const unsigned char* pBytes;
    int nBytes;
};

// The list's entry at nIndex as a sort key, valid until the next call.
typedef SortKey (*ListedKeyFn)(int nIndex);

// Entries as the list box holds them (UTF-16), each with its sort key: the
// held ones, decoded and keyed once for a feed, and the list's own, kept
// from one feed of a burst to the next so that a long list is neither read
// back from the list box nor keyed again at each.
struct KeyedEntries {
    std::vector<WideChar> text;  // the entries one after the other, each with its NUL
    std::vector<unsigned char> keys;
    std::vector<int> textStarts, keyStarts;
};

void AddKeyed(KeyedEntries& keyed, const WideChar* pText, size_t nLen, const SortKey& key);
// The entry at nIndex of another onto the end.
void AddKeyedFrom(KeyedEntries& keyed, const KeyedEntries& from, int nIndex);
// Room for as many entries again as more has, of their sizes.
void ReserveKeyed(KeyedEntries& keyed, const KeyedEntries& more);
int KeyedCount(const KeyedEntries& keyed);
const WideChar* KeyedText(const KeyedEntries& keyed, int nIndex);
SortKey KeyedKey(const KeyedEntries& keyed, int nIndex);
// Empties it and gives its room back.
void ForgetKeyed(KeyedEntries& keyed);

// For nKeys held entries with the keys pKeys (in the order held) going into
// a sorted list of nListed entries: pOrder receives the held entries'
// numbers in key order, and pIndex the index each is to take, in that order.
// False when two keys, held or listed, are equal.
bool PlanSortedInsert(const SortKey* pKeys, int nKeys, int nListed, ListedKeyFn pfnListedKey, int* pOrder, int* pIndex);

// The listed entries and the held ones in the list's order after the inserts
// that PlanSortedInsert planned (pOrder, pIndex for nHeld entries): calls
// take(bHeld, nEntry) for each in turn, with the held entry's number as held
// or the listed entry's index.
template <typename Take>
void WalkMerged(int nListed, int nHeld, const int* pOrder, const int* pIndex, Take take)
{
    for (int nHeldIn = 0, nListedIn = 0; nHeldIn < nHeld || nListedIn < nListed;) {
        if (nHeldIn < nHeld && pIndex[nHeldIn] == nHeldIn + nListedIn)
            take(true, pOrder[nHeldIn++]);
        else
            take(false, nListedIn++);
    }
}
