#include "win32/sorted_list.h"

#include <cstring>
#include <utility>
#include <vector>

#include "irc/client_state.h"
#include "win32/redraw.h"
#include "win32/wide_text.h"

namespace {

const int MAX_KEY_SIZE = 4 * 1024;

// The list's entries with their keys, kept from one feed to the next while
// a burst goes on: meanwhile only the feeds change the channel list, and the
// nick list, which other changes reach, is always fed as if the burst were
// over. Given back at the burst's end.
HWND hKeptList = nullptr;
KeyedEntries kept;

// What ListedKey reads: the list's entries with their keys, or the list box
// itself.
HWND hKeyedList = nullptr;
const KeyedEntries* pListedKeyed = nullptr;
LCID nListLocale = 0;
unsigned char pListedKey[MAX_KEY_SIZE];
// The held entries of a feed, decoded and keyed, and the plan of where each goes.
KeyedEntries heldKeyed;
std::vector<SortKey> heldKeys;
std::vector<int> order, indices;

// The list box compares its strings in its locale, letter case ignored;
// the sort key of that comparison, or 0 bytes when it cannot be made.
int MakeSortKey(const WCHAR* pText, unsigned char* pKey)
{
    return LCMapStringW(nListLocale, LCMAP_SORTKEY | NORM_IGNORECASE, pText, -1, reinterpret_cast<LPWSTR>(pKey),
                        MAX_KEY_SIZE);
}

// The list box's entry at nIndex in UTF-16; its length, or -1 when there is
// none or it is longer than a server line, which every entry comes from.
int ReadWideEntry(HWND hList, int nIndex, WCHAR (&wszEntry)[MAX_LINE_LENGTH + 1])
{
    wszEntry[0] = L'\0';
    LRESULT nLen = SendMessageW(hList, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    if (nLen < 0 || nLen > MAX_LINE_LENGTH) return -1;
    SendMessageW(hList, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(wszEntry));
    return static_cast<int>(nLen);
}

SortKey ListedKey(int nIndex)
{
    if (pListedKeyed != nullptr) return KeyedKey(*pListedKeyed, nIndex);
    WCHAR wszEntry[MAX_LINE_LENGTH + 1];
    ReadWideEntry(hKeyedList, nIndex, wszEntry);
    return {pListedKey, MakeSortKey(wszEntry, pListedKey)};
}

bool AddWithKey(KeyedEntries& keyed, const WCHAR* pText, size_t nLen)
{
    unsigned char pKey[MAX_KEY_SIZE];
    int nKey = MakeSortKey(pText, pKey);
    if (nKey <= 0) return false;
    AddKeyed(keyed, reinterpret_cast<const WideChar*>(pText), nLen, {pKey, nKey});
    return true;
}

// Each held entry decoded once, for its key and for the list box.
bool KeyHeld(const HeldEntries& held)
{
    std::vector<WCHAR> wide;
    for (int i = 0; i < HeldCount(held); ++i) {
        const char* szEntry = HeldEntry(held, i);
        size_t nBytes = std::strlen(szEntry);
        wide.resize(nBytes + 1);
        size_t nLen = DecodeText(szEntry, nBytes, reinterpret_cast<WideChar*>(wide.data()));
        wide[nLen] = L'\0';
        if (!AddWithKey(heldKeyed, wide.data(), nLen)) return false;
    }
    return true;
}

// The whole list read back, with its keys.
bool ReadListed(HWND hList, int nListed, KeyedEntries& listed)
{
    for (int i = 0; i < nListed; ++i) {
        WCHAR wszEntry[MAX_LINE_LENGTH + 1];
        int nLen = ReadWideEntry(hList, i, wszEntry);
        if (nLen < 0 || !AddWithKey(listed, wszEntry, static_cast<size_t>(nLen))) return false;
    }
    return true;
}

// The entries kept for hList, when they are still the list's.
KeyedEntries* KeptFor(HWND hList, int nListed)
{
    return hKeptList == hList && KeyedCount(kept) == nListed ? &kept : nullptr;
}

void ForgetKept(HWND hList)
{
    if (hKeptList != hList) return;
    ForgetKeyed(kept);
    hKeptList = nullptr;
}

// Where each held entry goes; false when they are to be added one by one.
bool PlanFeed(int nListed)
{
    int nHeld = KeyedCount(heldKeyed);
    heldKeys.resize(static_cast<size_t>(nHeld));
    for (int i = 0; i < nHeld; ++i) heldKeys[i] = KeyedKey(heldKeyed, i);
    order.resize(static_cast<size_t>(nHeld));
    indices.resize(static_cast<size_t>(nHeld));
    return PlanSortedInsert(heldKeys.data(), nHeld, nListed, ListedKey, order.data(), indices.data());
}

void Insert(HWND hList, LRESULT nIndex, const WideChar* pEntry)
{
    SendMessageW(hList, LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(AsWide(pEntry)));
}

void Add(HWND hList, const char* szEntry)
{
    SendMessageW(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(szEntry).c_str()));
}

// The list emptied and filled again in the merged order, the merged
// entries kept when pKeep is given. An insert leaves the selection on its
// entry and the first row shown at its number, and so does this; the caret
// stays at its number when nothing is selected, and is otherwise on the
// selected entry (a single-selection list box takes no caret of its own then).
void Refill(HWND hList, const KeyedEntries& listed, KeyedEntries* pKeep)
{
    LRESULT nSelected = SendMessageA(hList, LB_GETCURSEL, 0, 0);
    LRESULT nCaret = SendMessageA(hList, LB_GETCARETINDEX, 0, 0);
    LRESULT nTop = SendMessageA(hList, LB_GETTOPINDEX, 0, 0);
    LRESULT nNewSelected = -1, nAt = 0;
    SendMessageA(hList, LB_RESETCONTENT, 0, 0);
    WalkMerged(KeyedCount(listed), KeyedCount(heldKeyed), order.data(), indices.data(), [&](bool bHeld, int nEntry) {
        const KeyedEntries& from = bHeld ? heldKeyed : listed;
        if (!bHeld && nEntry == nSelected) nNewSelected = nAt;
        Insert(hList, nAt++, KeyedText(from, nEntry));
        if (pKeep != nullptr) AddKeyedFrom(*pKeep, from, nEntry);
    });
    if (nNewSelected >= 0)
        SendMessageA(hList, LB_SETCURSEL, static_cast<WPARAM>(nNewSelected), 0);
    else if (nCaret != LB_ERR)
        SendMessageA(hList, LB_SETCARETINDEX, static_cast<WPARAM>(nCaret), FALSE);
    if (nTop != LB_ERR) SendMessageA(hList, LB_SETTOPINDEX, static_cast<WPARAM>(nTop), 0);
}

// The listed entries and the held ones in the merged order, kept.
void KeepMerged(const KeyedEntries& listed, KeyedEntries& merged)
{
    WalkMerged(KeyedCount(listed), KeyedCount(heldKeyed), order.data(), indices.data(),
               [&](bool bHeld, int nEntry) { AddKeyedFrom(merged, bHeld ? heldKeyed : listed, nEntry); });
}

void ForgetFeed()
{
    ForgetKeyed(heldKeyed);
    std::vector<SortKey>().swap(heldKeys);
    std::vector<int>().swap(order);
    std::vector<int>().swap(indices);
}

// The held entries into the list, at their places or by filling it afresh;
// with bKeep the list's entries are kept with their keys for the next feed.
// False when they are to be added one by one.
bool PlaceHeld(HWND hList, const HeldEntries& held, int nListed, ListFeed way, bool bKeep)
{
    hKeyedList = hList;
    nListLocale = static_cast<LCID>(SendMessageA(hList, LB_GETLOCALE, 0, 0));
    if (!KeyHeld(held)) return false;
    // Filling afresh and keeping need every entry of the list; inserts at
    // places read the list only as far as the last held entry goes.
    bool bWholeList = way == FEED_REFILLED || bKeep;
    KeyedEntries read;
    const KeyedEntries* pListed = KeptFor(hList, nListed);
    if (pListed == nullptr && bWholeList) {
        if (!ReadListed(hList, nListed, read)) return false;
        pListed = &read;
    }
    pListedKeyed = pListed;
    bool bPlanned = PlanFeed(nListed);
    pListedKeyed = nullptr;
    if (!bPlanned) return false;
    KeyedEntries merged;
    if (bKeep) {
        ReserveKeyed(merged, *pListed);
        ReserveKeyed(merged, heldKeyed);
    }
    if (way == FEED_REFILLED) {
        Refill(hList, *pListed, bKeep ? &merged : nullptr);
    } else {
        for (int i = 0; i < KeyedCount(heldKeyed); ++i) Insert(hList, indices[i], KeyedText(heldKeyed, order[i]));
        if (bKeep) KeepMerged(*pListed, merged);
    }
    ForgetKept(hList);
    if (bKeep) {
        kept = std::move(merged);
        hKeptList = hList;
    }
    return true;
}

bool FeedTogether(HWND hList, const HeldEntries& held, int nListed, ListFeed way, bool bKeep)
{
    bool bFed = PlaceHeld(hList, held, nListed, way, bKeep);
    ForgetFeed();
    return bFed;
}

void AddOneByOne(HWND hList, const HeldEntries& held)
{
    ForgetKept(hList);
    for (int i = 0; i < HeldCount(held); ++i) Add(hList, HeldEntry(held, i));
}

// False when a long list waits for more entries.
bool FeedHeld(HWND hList, HeldEntries& held, bool bBurstOver)
{
    int nListed = static_cast<int>(SendMessageA(hList, LB_GETCOUNT, 0, 0));
    if (nListed >= 0) {
        ListFeed way = ChooseListFeed(HeldCount(held), nListed, bBurstOver);
        if (way == FEED_LATER) return false;
        HoldRedraw(hList);
        bool bKeep = !bBurstOver && way != FEED_ONE_BY_ONE;
        if (way == FEED_ONE_BY_ONE || !FeedTogether(hList, held, nListed, way, bKeep)) AddOneByOne(hList, held);
    }
    ForgetHeld(held);
    return true;
}

}  // namespace

bool ReadListEntry(HWND hList, int nIndex, char (&szEntry)[MAX_LINE_LENGTH + 1])
{
    WCHAR wszEntry[MAX_LINE_LENGTH + 1];
    int nLen = ReadWideEntry(hList, nIndex, wszEntry);
    szEntry[0] = '\0';
    if (nLen < 0) return false;
    Narrow(wszEntry, static_cast<size_t>(nLen), szEntry, sizeof szEntry);
    return true;
}

void EmptySortedList(HWND hList, HeldEntries& held)
{
    ForgetHeld(held);
    ForgetKept(hList);
    HoldRedraw(hList);
    SendMessageA(hList, LB_RESETCONTENT, 0, 0);
}

void ForgetSortedList(HWND hList, HeldEntries& held)
{
    ForgetHeld(held);
    ForgetKept(hList);
}

void AddToSortedList(HWND hList, HeldEntries& held, const char* szEntry)
{
    if (InBurst()) {
        HoldEntry(held, szEntry);
        HoldBack();
        return;
    }
    HoldRedraw(hList);
    Add(hList, szEntry);
}

void FeedSortedList(HWND hList, HeldEntries& held, bool bBurstOver)
{
    if (HeldCount(held) > 0 && !FeedHeld(hList, held, bBurstOver)) return;
    if (bBurstOver) ForgetKept(hList);
}
