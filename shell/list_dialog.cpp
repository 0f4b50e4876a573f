#include "shell/list_dialog.h"

#include "irc/client_state.h"
#include "resources/resource.h"
#include "shell/commands.h"
#include "shell/dialogs.h"
#include "shell/seam.h"

namespace {

void AskToClose() { PostMessageA(client.hMainWnd, WM_COMMAND, IDC_CLOSELIST, 0); }

// Join, Enter or a double-click: the selected row's channel, then close.
void JoinSelectedRow(HWND hDlg)
{
    HWND hList = GetDlgItem(hDlg, IDC_CHANNELLIST);
    LRESULT nSelected = SendMessageA(hList, LB_GETCURSEL, 0, 0);
    if (nSelected != LB_ERR && SendMessageA(hList, LB_GETTEXTLEN, nSelected, 0) < TEXT_FIELD_SIZE) {
        TextField szRow;
        SendMessageA(hList, LB_GETTEXT, nSelected, reinterpret_cast<LPARAM>(szRow));
        JoinListedChannel(szRow);
    }
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
    DestroyWindow(client.hListDlg);
    client.hListDlg = nullptr;
}

HWND OpenChannelList() { return CreateDialogParamA(client.hInstance, "List", client.hMainWnd, ListDlgProc, 0); }

void ChannelListEmpty() { SendDlgItemMessageA(client.hListDlg, IDC_CHANNELLIST, LB_RESETCONTENT, 0, 0); }

void ChannelListAddRow(const char* szRow)
{
    SendDlgItemMessageA(client.hListDlg, IDC_CHANNELLIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szRow));
}

void ChannelListSetTitle(const char* szTitle) { SetWindowTextA(client.hListDlg, szTitle); }
