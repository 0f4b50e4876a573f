#include "win32/list_dialog.h"

#include "irc/client_state.h"
#include "resources/resource.h"
#include "shell/commands.h"
#include "win32/dialogs.h"
#include "irc/seam.h"
#include "win32/sorted_list.h"
#include "win32/wide_text.h"

namespace {

// The list box of the open dialog, found once per dialog: a flood of
// channel replies adds rows thousands of times a second.
HWND hChannelRows = nullptr;
// Rows that arrived during a burst, not in the list yet.
HeldEntries heldRows;

void AskToClose() { PostMessageA(client.hMainWnd, WM_COMMAND, IDC_CLOSELIST, 0); }

// Join, Enter or a double-click: the selected row's channel, then close.
void JoinSelectedRow(HWND hDlg)
{
    HWND hList = GetDlgItem(hDlg, IDC_CHANNELLIST);
    LRESULT nSelected = SendMessageW(hList, LB_GETCURSEL, 0, 0);
    char szRow[MAX_LINE_LENGTH + 1];
    if (nSelected != LB_ERR && ReadListEntry(hList, static_cast<int>(nSelected), szRow)) JoinListedChannel(szRow);
    AskToClose();
}

}  // namespace

INT_PTR CALLBACK ListDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        CenterWindow(hDlg);
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK || wParam == MAKEWPARAM(IDC_CHANNELLIST, LBN_DBLCLK)) {
            JoinSelectedRow(hDlg);
            return TRUE;
        }
        if (wParam == IDCANCEL) {
            AskToClose();
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void CloseChannelList()
{
    ForgetSortedList(hChannelRows, heldRows);
    DestroyWindow(client.hListDlg);
    client.hListDlg = nullptr;
    hChannelRows = nullptr;
}

HWND OpenChannelList()
{
    HWND hDlg = CreateDialogParamW(client.hInstance, L"List", client.hMainWnd, ListDlgProc, 0);
    hChannelRows = GetDlgItem(hDlg, IDC_CHANNELLIST);
    return hDlg;
}

void FeedChannelList(bool bBurstOver)
{
    if (hChannelRows == nullptr) return;
    FeedSortedList(hChannelRows, heldRows, bBurstOver);
}

void ChannelListEmpty() { EmptySortedList(hChannelRows, heldRows); }

void ChannelListAddRow(const char* szRow) { AddToSortedList(hChannelRows, heldRows, szRow); }

// The end of the list: what is held goes in first.
void ChannelListSetTitle(const char* szTitle)
{
    FeedChannelList(true);
    SetWindowTextW(client.hListDlg, Widen(szTitle).c_str());
}
