#include "win32/sorted_list.h"

#include <vector>

#include "irc/client_state.h"
#include "win32/redraw.h"
#include "win32/wide_text.h"

namespace {

const int MAX_KEY_SIZE = 4 * 1024;

// What ListedKey reads: the list box itself, or the copy of its entries
// taken before it is filled afresh.
HWND hKeyedList = nullptr;
const HeldEntries* pListedCopy = nullptr;
LCID nListLocale = 0;
unsigned char pListedKey[MAX_KEY_SIZE];
std::vector<unsigned char> heldKeyBytes;
std::vector<SortKey> heldKeys;
std::vector<int> order, indices;

// The list box compares its strings in its locale, letter case ignored;
// the sort key of that comparison, or 0 bytes when it cannot be made.
int MakeSortKey(const char* szText, unsigned char* pKey, int nRoom)
{
    return LCMapStringW(nListLocale, LCMAP_SORTKEY | NORM_IGNORECASE, Widen(szText).c_str(), -1,
                        reinterpret_cast<LPWSTR>(pKey), nRoom);
}

SortKey ListedKey(int nIndex)
{
    char szEntry[MAX_LINE_LENGTH + 1];
    const char* szText = szEntry;
    if (pListedCopy != nullptr)
        szText = HeldEntry(*pListedCopy, nIndex);
    else
        ReadListEntry(hKeyedList, nIndex, szEntry);
    return {pListedKey, MakeSortKey(szText, pListedKey, MAX_KEY_SIZE)};
}

// The held entries' keys and the plan of where each goes; false when the
// entries are to be added one by one.
bool PlanFeed(const HeldEntries& held, int nListed)
{
    int nHeld = HeldCount(held);
    std::vector<int> keyEnds;
    heldKeyBytes.clear();
    for (int i = 0; i < nHeld; ++i) {
        unsigned char pKey[MAX_KEY_SIZE];
        int nBytes = MakeSortKey(HeldEntry(held, i), pKey, MAX_KEY_SIZE);
        if (nBytes <= 0) return false;
        heldKeyBytes.insert(heldKeyBytes.end(), pKey, pKey + nBytes);
        keyEnds.push_back(static_cast<int>(heldKeyBytes.size()));
    }
    heldKeys.resize(static_cast<size_t>(nHeld));
    for (int i = 0, nStart = 0; i < nHeld; nStart = keyEnds[i++])
        heldKeys[i] = {heldKeyBytes.data() + nStart, keyEnds[i] - nStart};
    order.resize(static_cast<size_t>(nHeld));
    indices.resize(static_cast<size_t>(nHeld));
    return PlanSortedInsert(heldKeys.data(), nHeld, nListed, ListedKey, order.data(), indices.data());
}

void Insert(HWND hList, LRESULT nIndex, const char* szEntry)
{
    SendMessageW(hList, LB_INSERTSTRING, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(Widen(szEntry).c_str()));
}

void Add(HWND hList, const char* szEntry)
{
    SendMessageW(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(szEntry).c_str()));
}

void CopyListed(HWND hList, int nListed, HeldEntries& copy)
{
    for (int i = 0; i < nListed; ++i) {
        char szEntry[MAX_LINE_LENGTH + 1];
        ReadListEntry(hList, i, szEntry);
        HoldEntry(copy, szEntry);
    }
}

// The list emptied and filled again in the merged order. An insert leaves
// the selection on its entry and the first row shown at its number, and so
// does this; the caret stays at its number when nothing is selected, and is
// otherwise on the selected entry (a single-selection list box takes no
// caret of its own then).
void Refill(HWND hList, const HeldEntries& held, const HeldEntries& listed)
{
    LRESULT nSelected = SendMessageA(hList, LB_GETCURSEL, 0, 0);
    LRESULT nCaret = SendMessageA(hList, LB_GETCARETINDEX, 0, 0);
    LRESULT nTop = SendMessageA(hList, LB_GETTOPINDEX, 0, 0);
    LRESULT nNewSelected = -1;
    int nHeld = HeldCount(held), nListed = HeldCount(listed);
    SendMessageA(hList, LB_RESETCONTENT, 0, 0);
    for (int nHeldIn = 0, nListedIn = 0; nHeldIn < nHeld || nListedIn < nListed;) {
        if (nHeldIn < nHeld && indices[nHeldIn] == nHeldIn + nListedIn) {
            Insert(hList, -1, HeldEntry(held, order[nHeldIn++]));
            continue;
        }
        if (nListedIn == static_cast<int>(nSelected)) nNewSelected = nHeldIn + nListedIn;
        Insert(hList, -1, HeldEntry(listed, nListedIn++));
    }
    if (nNewSelected >= 0)
        SendMessageA(hList, LB_SETCURSEL, static_cast<WPARAM>(nNewSelected), 0);
    else if (nCaret != LB_ERR)
        SendMessageA(hList, LB_SETCARETINDEX, static_cast<WPARAM>(nCaret), FALSE);
    if (nTop != LB_ERR) SendMessageA(hList, LB_SETTOPINDEX, static_cast<WPARAM>(nTop), 0);
}

// The keys of a long list are given back once it is fed.
void ForgetKeys()
{
    std::vector<unsigned char>().swap(heldKeyBytes);
    std::vector<SortKey>().swap(heldKeys);
    std::vector<int>().swap(order);
    std::vector<int>().swap(indices);
}

bool FeedTogether(HWND hList, const HeldEntries& held, int nListed, ListFeed way)
{
    hKeyedList = hList;
    nListLocale = static_cast<LCID>(SendMessageA(hList, LB_GETLOCALE, 0, 0));
    if (way == FEED_AT_PLACES) {
        if (!PlanFeed(held, nListed)) return false;
        for (int i = 0; i < HeldCount(held); ++i) Insert(hList, indices[i], HeldEntry(held, order[i]));
        return true;
    }
    HeldEntries listed;
    CopyListed(hList, nListed, listed);
    pListedCopy = &listed;
    bool bPlanned = PlanFeed(held, nListed);
    pListedCopy = nullptr;
    if (bPlanned) Refill(hList, held, listed);
    ForgetKeys();
    return bPlanned;
}

}  // namespace

bool ReadListEntry(HWND hList, int nIndex, char (&szEntry)[MAX_LINE_LENGTH + 1])
{
    szEntry[0] = '\0';
    LRESULT nLen = SendMessageW(hList, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    if (nLen < 0 || nLen > MAX_LINE_LENGTH) return false;
    WCHAR wszEntry[MAX_LINE_LENGTH + 1];
    SendMessageW(hList, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(wszEntry));
    Narrow(wszEntry, static_cast<size_t>(nLen), szEntry, sizeof szEntry);
    return true;
}

void EmptySortedList(HWND hList, HeldEntries& held)
{
    ForgetHeld(held);
    HoldRedraw(hList);
    SendMessageA(hList, LB_RESETCONTENT, 0, 0);
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
    int nHeld = HeldCount(held);
    if (nHeld == 0) return;
    int nListed = static_cast<int>(SendMessageA(hList, LB_GETCOUNT, 0, 0));
    if (nListed < 0) {
        ForgetHeld(held);
        return;
    }
    ListFeed way = ChooseListFeed(nHeld, nListed, bBurstOver);
    if (way == FEED_LATER) return;
    HoldRedraw(hList);
    if (way == FEED_ONE_BY_ONE || !FeedTogether(hList, held, nListed, way))
        for (int i = 0; i < nHeld; ++i) Add(hList, HeldEntry(held, i));
    ForgetHeld(held);
}
