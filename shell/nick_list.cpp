#include "shell/nick_list.h"

#include <windows.h>

#include "irc/client_state.h"
#include "irc/text.h"
#include "shell/nick_batch.h"
#include "shell/redraw.h"
#include "shell/seam.h"

namespace {

// Fewer names, or few against a long list, go in one by one: the merge
// reads the listed entries up to the last name's place.
const int MIN_MERGED_NAMES = 8;
const int MAX_LISTED_PER_NAME = 4;

const int MAX_KEYED_NAMES = 4096;
const int KEY_POOL_SIZE = 256 * 1024;
const int MAX_KEY_SIZE = 4 * 1024;

unsigned char pKeyPool[KEY_POOL_SIZE];
unsigned char pListedKey[MAX_KEY_SIZE];
SortKey heldKeys[MAX_KEYED_NAMES];
int order[MAX_KEYED_NAMES];
int indices[MAX_KEYED_NAMES];
LCID nListLocale = 0;

// The list box compares its strings in its locale, letter case ignored;
// the sort key of that comparison, or 0 bytes when it cannot be made.
int MakeSortKey(const char* szText, unsigned char* pKey, int nRoom)
{
    WCHAR wszText[MAX_LINE_LENGTH + 1];
    if (MultiByteToWideChar(CP_ACP, 0, szText, -1, wszText, MAX_LINE_LENGTH + 1) == 0) return 0;
    return LCMapStringW(nListLocale, LCMAP_SORTKEY | NORM_IGNORECASE, wszText, -1, reinterpret_cast<LPWSTR>(pKey),
                        nRoom);
}

SortKey ListedKey(int nIndex)
{
    char szEntry[MAX_LINE_LENGTH + 1] = "";
    LRESULT nLen = SendMessageA(client.hNickList, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    if (nLen >= 0 && nLen <= MAX_LINE_LENGTH)
        SendMessageA(client.hNickList, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(szEntry));
    return {pListedKey, MakeSortKey(szEntry, pListedKey, MAX_KEY_SIZE)};
}

bool MakeHeldKeys(int nHeld)
{
    int nUsed = 0;
    for (int i = 0; i < nHeld; ++i) {
        int nBytes = MakeSortKey(HeldNick(i), pKeyPool + nUsed, KEY_POOL_SIZE - nUsed);
        if (nBytes <= 0) return false;
        heldKeys[i] = {pKeyPool + nUsed, nBytes};
        nUsed += nBytes;
    }
    return true;
}

// False when the names are to be added one by one.
bool MergeHeldNames(int nHeld, LRESULT nListed)
{
    if (nHeld < MIN_MERGED_NAMES || nHeld > MAX_KEYED_NAMES || nListed > nHeld * MAX_LISTED_PER_NAME) return false;
    nListLocale = static_cast<LCID>(SendMessageA(client.hNickList, LB_GETLOCALE, 0, 0));
    if (!MakeHeldKeys(nHeld) ||
        !PlanSortedInsert(heldKeys, nHeld, static_cast<int>(nListed), ListedKey, order, indices))
        return false;
    for (int i = 0; i < nHeld; ++i)
        SendMessageA(client.hNickList, LB_INSERTSTRING, static_cast<WPARAM>(indices[i]),
                     reinterpret_cast<LPARAM>(HeldNick(order[i])));
    return true;
}

void AddNow(const char* szName)
{
    SendMessageA(client.hNickList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szName));
}

}  // namespace

void FeedNickList()
{
    int nHeld = HeldNickCount();
    if (nHeld == 0) return;
    HoldRedraw(client.hNickList);
    LRESULT nListed = SendMessageA(client.hNickList, LB_GETCOUNT, 0, 0);
    if (!MergeHeldNames(nHeld, nListed))
        for (int i = 0; i < nHeld; ++i) AddNow(HeldNick(i));
    ForgetHeldNicks();
}

void NickListRemoveAll()
{
    ForgetHeldNicks();
    HoldRedraw(client.hNickList);
    SendMessageA(client.hNickList, LB_RESETCONTENT, 0, 0);
}

void NickListAdd(const char* szName)
{
    HoldRedraw(client.hNickList);
    if (InBurst() && HoldNick(szName)) return;
    FeedNickList();
    AddNow(szName);
}

short NickListFindExact(const char* szName)
{
    FeedNickList();
    LRESULT nIndex = SendMessageA(client.hNickList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(szName));
    return nIndex == LB_ERR ? -1 : static_cast<short>(nIndex);
}

void NickListDeleteAt(short nIndex)
{
    FeedNickList();
    HoldRedraw(client.hNickList);
    SendMessageA(client.hNickList, LB_DELETESTRING, static_cast<WPARAM>(nIndex), 0);
}

void NickListClearSelection()
{
    FeedNickList();
    SendMessageA(client.hNickList, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

bool NickListGetSelected(TextField& szName)
{
    FeedNickList();
    LRESULT nSelected = SendMessageA(client.hNickList, LB_GETCURSEL, 0, 0);
    if (nSelected == LB_ERR) return false;
    // Entries come from server lines, so a whole one fits in a line's length.
    LRESULT nLen = SendMessageA(client.hNickList, LB_GETTEXTLEN, static_cast<WPARAM>(nSelected), 0);
    if (nLen == LB_ERR || nLen > MAX_LINE_LENGTH) return false;
    char szEntry[MAX_LINE_LENGTH + 1];
    SendMessageA(client.hNickList, LB_GETTEXT, static_cast<WPARAM>(nSelected), reinterpret_cast<LPARAM>(szEntry));
    CopyField(szName, szEntry);
    return true;
}

void NickListSelectName(const char* szName)
{
    FeedNickList();
    SendMessageA(client.hNickList, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(szName));
}
