#include "shell/list_batch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Fewer entries than this go in one by one.
const int MIN_MERGED = 8;
// A list up to this long takes held entries at their places.
const int SHORT_LIST = 4096;
// Entries are put at their places when at least a quarter as many are held
// as listed; a long list is filled afresh when an eighth as many are held.
const int LISTED_PER_PLACED = 4;
const int LISTED_PER_REFILLED = 8;
// Beyond this the room of held entries is given back after a feed.
const size_t KEPT_ROOM = 256 * 1024;

// Equal runs of eight bytes are passed over at once: the C library's
// comparison under Wine goes byte by byte, and took most of a feed's sorting.
int CompareKeys(const SortKey& a, const SortKey& b)
{
    int nCommon = std::min(a.nBytes, b.nBytes), i = 0;
    for (; i + 8 <= nCommon; i += 8) {
        std::uint64_t nA, nB;
        std::memcpy(&nA, a.pBytes + i, sizeof nA);
        std::memcpy(&nB, b.pBytes + i, sizeof nB);
        if (nA != nB) break;
    }
    for (; i < nCommon; ++i)
        if (a.pBytes[i] != b.pBytes[i]) return a.pBytes[i] < b.pBytes[i] ? -1 : 1;
    return a.nBytes - b.nBytes;
}

}  // namespace

void HoldEntry(HeldEntries& held, const char* szEntry)
{
    held.starts.push_back(static_cast<int>(held.text.size()));
    held.text.insert(held.text.end(), szEntry, szEntry + std::strlen(szEntry) + 1);
}

int HeldCount(const HeldEntries& held) { return static_cast<int>(held.starts.size()); }

const char* HeldEntry(const HeldEntries& held, int nIndex) { return held.text.data() + held.starts[nIndex]; }

void ForgetHeld(HeldEntries& held)
{
    if (held.text.capacity() > KEPT_ROOM) {
        std::vector<char>().swap(held.text);
        std::vector<int>().swap(held.starts);
    }
    held.text.clear();
    held.starts.clear();
}

ListFeed ChooseListFeed(int nHeld, int nListed, bool bBurstOver)
{
    if (nListed > SHORT_LIST) {
        if (!bBurstOver && nHeld < nListed) return FEED_LATER;
        return nHeld >= MIN_MERGED && nHeld * LISTED_PER_REFILLED >= nListed ? FEED_REFILLED : FEED_ONE_BY_ONE;
    }
    return nHeld >= MIN_MERGED && nHeld * LISTED_PER_PLACED >= nListed ? FEED_AT_PLACES : FEED_ONE_BY_ONE;
}

bool PlanSortedInsert(const SortKey* pKeys, int nKeys, int nListed, ListedKeyFn pfnListedKey, int* pOrder, int* pIndex)
{
    for (int i = 0; i < nKeys; ++i) pOrder[i] = i;
    std::sort(pOrder, pOrder + nKeys, [pKeys](int a, int b) { return CompareKeys(pKeys[a], pKeys[b]) < 0; });
    for (int i = 1; i < nKeys; ++i)
        if (CompareKeys(pKeys[pOrder[i - 1]], pKeys[pOrder[i]]) == 0) return false;
    // One walk through the listed entries: each held entry goes before the
    // first listed one that sorts after it, behind the held ones before it.
    int nBefore = 0;
    SortKey listed = nListed > 0 ? pfnListedKey(0) : SortKey{nullptr, 0};
    for (int i = 0; i < nKeys; ++i) {
        const SortKey& key = pKeys[pOrder[i]];
        int nOrder = -1;
        while (nBefore < nListed && (nOrder = CompareKeys(listed, key)) < 0) {
            ++nBefore;
            if (nBefore < nListed) listed = pfnListedKey(nBefore);
        }
        if (nBefore < nListed && nOrder == 0) return false;
        pIndex[i] = nBefore + i;
    }
    return true;
}

void AddKeyed(KeyedEntries& keyed, const WideChar* pText, size_t nLen, const SortKey& key)
{
    keyed.textStarts.push_back(static_cast<int>(keyed.text.size()));
    keyed.text.insert(keyed.text.end(), pText, pText + nLen);
    keyed.text.push_back(u'\0');
    keyed.keyStarts.push_back(static_cast<int>(keyed.keys.size()));
    keyed.keys.insert(keyed.keys.end(), key.pBytes, key.pBytes + key.nBytes);
}

int KeyedCount(const KeyedEntries& keyed) { return static_cast<int>(keyed.textStarts.size()); }

const WideChar* KeyedText(const KeyedEntries& keyed, int nIndex) { return keyed.text.data() + keyed.textStarts[nIndex]; }

SortKey KeyedKey(const KeyedEntries& keyed, int nIndex)
{
    int nStart = keyed.keyStarts[nIndex];
    int nEnd = nIndex + 1 < KeyedCount(keyed) ? keyed.keyStarts[nIndex + 1] : static_cast<int>(keyed.keys.size());
    return {keyed.keys.data() + nStart, nEnd - nStart};
}

void ForgetKeyed(KeyedEntries& keyed)
{
    std::vector<WideChar>().swap(keyed.text);
    std::vector<unsigned char>().swap(keyed.keys);
    std::vector<int>().swap(keyed.textStarts);
    std::vector<int>().swap(keyed.keyStarts);
}

void AddKeyedFrom(KeyedEntries& keyed, const KeyedEntries& from, int nIndex)
{
    const WideChar* pText = KeyedText(from, nIndex);
    AddKeyed(keyed, pText, std::char_traits<WideChar>::length(pText), KeyedKey(from, nIndex));
}

void ReserveKeyed(KeyedEntries& keyed, const KeyedEntries& more)
{
    keyed.text.reserve(keyed.text.size() + more.text.size());
    keyed.keys.reserve(keyed.keys.size() + more.keys.size());
    keyed.textStarts.reserve(keyed.textStarts.size() + more.textStarts.size());
    keyed.keyStarts.reserve(keyed.keyStarts.size() + more.keyStarts.size());
}
