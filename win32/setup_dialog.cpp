// The Setup dialog (Win32): the settings in seven edits and two check boxes.
#include <windows.h>

#include "config/settings.h"
#include "irc/client_state.h"
#include "resources/resource.h"
#include "win32/dialogs.h"
#include "win32/redraw.h"
#include "irc/seam.h"
#include "win32/wide_text.h"

namespace {

struct SetupField {
    int nId;
    char* szValue;
};

const SetupField kFields[] = {
    {IDC_SETUP_NICKNAME, client.szNickname}, {IDC_SETUP_REALNAME, client.szRealname},
    {IDC_SETUP_PASSWORD, client.szPassword}, {IDC_SETUP_SERVER, client.szIRCServer},
    {IDC_SETUP_PORT, client.szIRCPort}, {IDC_SETUP_SASL_ACCOUNT, client.szSaslAccount},
    {IDC_SETUP_SASL_PASSWORD, client.szSaslPassword},
};
const int FIELD_COUNT = sizeof kFields / sizeof kFields[0];

void FillDialog(HWND hDlg)
{
    for (const SetupField& field : kFields) SetDlgItemTextW(hDlg, field.nId, Widen(field.szValue).c_str());
    CheckDlgButton(hDlg, IDC_SETUP_SHOWLIST, client.bShowList ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hDlg, IDC_SETUP_TLS, client.bTLS ? BST_CHECKED : BST_UNCHECKED);
}

bool IsChecked(HWND hDlg, int nId) { return IsDlgButtonChecked(hDlg, nId) == BST_CHECKED; }

// Ticking TLS moves the usual plain port to the usual TLS port, and back.
void OnTLSClicked(HWND hDlg)
{
    TextField szPort;
    GetDlgItemTextA(hDlg, IDC_SETUP_PORT, szPort, TEXT_FIELD_SIZE - 1);
    const char* szNewPort = PortForTLS(szPort, IsChecked(hDlg, IDC_SETUP_TLS));
    if (szNewPort != szPort) SetDlgItemTextA(hDlg, IDC_SETUP_PORT, szNewPort);
}

// Each edit gives at most 254 bytes of UTF-8.
void TakeDialog(HWND hDlg)
{
    TextField szTexts[FIELD_COUNT];
    for (int i = 0; i < FIELD_COUNT; ++i)
        GetWindowTextUtf8(GetDlgItem(hDlg, kFields[i].nId), szTexts[i], TEXT_FIELD_SIZE - 1);
    SetupValues values = {szTexts[0], szTexts[1], szTexts[2], szTexts[3], szTexts[4],
                          IsChecked(hDlg, IDC_SETUP_SHOWLIST) ? 1 : 0, IsChecked(hDlg, IDC_SETUP_TLS) ? 1 : 0,
                          szTexts[5], szTexts[6]};
    StoreSetupValues(values);
}

INT_PTR CALLBACK SetupDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        CenterWindow(hDlg);
        FillDialog(hDlg);
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK) {
            TakeDialog(hDlg);
            EndDialog(hDlg, 1);
            WriteSettings();
            return TRUE;
        }
        if (wParam == IDCANCEL) {
            EndDialog(hDlg, 1);
            return TRUE;
        }
        if (wParam == MAKEWPARAM(IDC_SETUP_TLS, BN_CLICKED)) {
            OnTLSClicked(hDlg);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void RunSetupDialog()
{
    RedrawHeld();
    DialogBoxParamW(client.hInstance, L"Setup", client.hMainWnd, SetupDlgProc, 0);
}
