#include "win32/nick_list.h"

#include <windows.h>

#include "irc/client_state.h"
#include "irc/text.h"
#include "win32/redraw.h"
#include "irc/seam.h"
#include "win32/sorted_list.h"
#include "win32/wide_text.h"

namespace {

HeldEntries heldNames;

WCHAR FoldAscii(WCHAR c) { return c >= L'A' && c <= L'Z' ? static_cast<WCHAR>(c - L'A' + L'a') : c; }

// Names are the same when only the letter case of ASCII letters differs:
// the list box's own search also folds other letters (É and é).
bool IsSameName(int nIndex, const std::wstring& sName)
{
    LRESULT nLen = SendMessageW(client.hNickList, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    if (nLen != static_cast<LRESULT>(sName.size())) return false;
    std::wstring sEntry(sName.size() + 1, L'\0');
    SendMessageW(client.hNickList, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&sEntry[0]));
    for (size_t i = 0; i < sName.size(); ++i)
        if (FoldAscii(sEntry[i]) != FoldAscii(sName[i])) return false;
    return true;
}

}  // namespace

void FeedNickList() { FeedSortedList(client.hNickList, heldNames, true); }

void NickListRemoveAll() { EmptySortedList(client.hNickList, heldNames); }

void NickListAdd(const char* szName) { AddToSortedList(client.hNickList, heldNames, szName); }

short NickListFindExact(const char* szName)
{
    FeedNickList();
    std::wstring sName = Widen(szName);
    // The search goes on after the entry given and comes round to it again.
    LRESULT nFrom = -1;
    for (;;) {
        LRESULT nIndex = SendMessageW(client.hNickList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(nFrom),
                                      reinterpret_cast<LPARAM>(sName.c_str()));
        if (nIndex == LB_ERR || nIndex <= nFrom) return -1;
        if (IsSameName(static_cast<int>(nIndex), sName)) return static_cast<short>(nIndex);
        nFrom = nIndex;
    }
}

void NickListDeleteAt(short nIndex)
{
    FeedNickList();
    HoldRedraw(client.hNickList);
    SendMessageA(client.hNickList, LB_DELETESTRING, static_cast<WPARAM>(nIndex), 0);
}

void NickListRename(short nIndex, const char* szName)
{
    FeedNickList();
    bool bSelected = SendMessageA(client.hNickList, LB_GETCURSEL, 0, 0) == nIndex;
    HoldRedraw(client.hNickList);
    SendMessageA(client.hNickList, LB_DELETESTRING, static_cast<WPARAM>(nIndex), 0);
    LRESULT nAt = SendMessageW(client.hNickList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(szName).c_str()));
    if (bSelected && nAt >= 0) SendMessageA(client.hNickList, LB_SETCURSEL, static_cast<WPARAM>(nAt), 0);
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
    char szEntry[MAX_LINE_LENGTH + 1];
    if (nSelected == LB_ERR || !ReadListEntry(client.hNickList, static_cast<int>(nSelected), szEntry)) return false;
    CopyField(szName, szEntry);
    return true;
}

void NickListSelectName(const char* szName)
{
    FeedNickList();
    SendMessageW(client.hNickList, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(Widen(szName).c_str()));
}

short NickListCount()
{
    FeedNickList();
    LRESULT nCount = SendMessageA(client.hNickList, LB_GETCOUNT, 0, 0);
    return static_cast<short>(nCount > 0x7FFF ? 0x7FFF : nCount < 0 ? 0 : nCount);
}

bool NickListGetAt(short nIndex, TextField& szName)
{
    char szEntry[MAX_LINE_LENGTH + 1];
    if (!ReadListEntry(client.hNickList, nIndex, szEntry)) return false;
    CopyField(szName, szEntry);
    return true;
}
