#include "win32/nick_list.h"

#include <windows.h>

#include "irc/client_state.h"
#include "irc/text.h"
#include "win32/redraw.h"
#include "irc/seam.h"
#include "win32/sorted_list.h"

namespace {

HeldEntries heldNames;

}  // namespace

void FeedNickList() { FeedSortedList(client.hNickList, heldNames, true); }

void NickListRemoveAll() { EmptySortedList(client.hNickList, heldNames); }

void NickListAdd(const char* szName) { AddToSortedList(client.hNickList, heldNames, szName); }

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

void NickListRename(short nIndex, const char* szName)
{
    FeedNickList();
    bool bSelected = SendMessageA(client.hNickList, LB_GETCURSEL, 0, 0) == nIndex;
    HoldRedraw(client.hNickList);
    SendMessageA(client.hNickList, LB_DELETESTRING, static_cast<WPARAM>(nIndex), 0);
    LRESULT nAt = SendMessageA(client.hNickList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szName));
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
    SendMessageA(client.hNickList, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(szName));
}
