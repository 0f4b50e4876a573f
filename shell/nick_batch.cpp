#include "shell/nick_batch.h"

#include <algorithm>
#include <cstring>

namespace {

const int MAX_HELD_NICKS = 4096;
const int NAME_POOL_SIZE = 64 * 1024;

char pNames[NAME_POOL_SIZE];
int nNamesEnd = 0;
int nameOffsets[MAX_HELD_NICKS];
int nHeldNicks = 0;

int CompareKeys(const SortKey& a, const SortKey& b)
{
    int nCommon = std::min(a.nBytes, b.nBytes);
    int nOrder = std::memcmp(a.pBytes, b.pBytes, static_cast<size_t>(nCommon));
    if (nOrder != 0) return nOrder;
    return a.nBytes - b.nBytes;
}

}  // namespace

bool HoldNick(const char* szName)
{
    size_t nSize = std::strlen(szName) + 1;
    if (nHeldNicks == MAX_HELD_NICKS || nNamesEnd + nSize > NAME_POOL_SIZE) return false;
    std::memcpy(pNames + nNamesEnd, szName, nSize);
    nameOffsets[nHeldNicks++] = nNamesEnd;
    nNamesEnd += static_cast<int>(nSize);
    return true;
}

int HeldNickCount() { return nHeldNicks; }

const char* HeldNick(int nIndex) { return pNames + nameOffsets[nIndex]; }

void ForgetHeldNicks()
{
    nHeldNicks = 0;
    nNamesEnd = 0;
}

bool PlanSortedInsert(const SortKey* pKeys, int nKeys, int nListed, ListedKeyFn pfnListedKey, int* pOrder, int* pIndex)
{
    for (int i = 0; i < nKeys; ++i) pOrder[i] = i;
    std::sort(pOrder, pOrder + nKeys, [pKeys](int a, int b) { return CompareKeys(pKeys[a], pKeys[b]) < 0; });
    for (int i = 1; i < nKeys; ++i)
        if (CompareKeys(pKeys[pOrder[i - 1]], pKeys[pOrder[i]]) == 0) return false;
    // One walk through the listed entries: each held name goes before the
    // first entry that sorts after it, behind the held names before it.
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
