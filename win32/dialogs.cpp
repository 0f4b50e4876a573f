#include "win32/dialogs.h"

#include "irc/client_state.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "shell/layout.h"
#include "shell/prompt.h"
#include "win32/redraw.h"
#include "irc/seam.h"

namespace {

// The pending request, from ShowMessageDialog to the dialog as it opens.
TextField szMsgSubject;
TextField szMsgTitle;
int nMsgStringId;

}  // namespace

void CenterWindow(HWND hWnd)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    Placement place = CenterOnScreen(rc.right - rc.left, rc.bottom - rc.top, GetSystemMetrics(SM_CXFULLSCREEN),
                                     GetSystemMetrics(SM_CYFULLSCREEN), GetSystemMetrics(SM_CYMENU));
    MoveWindow(hWnd, place.x, place.y, place.cx, place.cy, FALSE);
}

short ShowMessageDialog(HWND hOwner, const char* szSubject, const char* szTitle, int nStringId)
{
    CopyField(szMsgSubject, szSubject);
    CopyField(szMsgTitle, szTitle);
    nMsgStringId = nStringId;
    RedrawHeld();
    return static_cast<short>(DialogBoxParamA(client.hInstance, MessageDialogTemplate(szSubject, nStringId), hOwner,
                                              MsgBoxDlgProc, 0));
}

INT_PTR CALLBACK MsgBoxDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM)
{
    switch (uMsg) {
    case WM_INITDIALOG: {
        CenterWindow(hDlg);
        SetWindowTextA(hDlg, szMsgTitle);
        TextField szFormat = "";
        LoadStringA(client.hInstance, static_cast<UINT>(nMsgStringId), szFormat, TEXT_FIELD_SIZE);
        TextField szPrompt;
        FormatPrompt(szPrompt, szFormat, szMsgSubject);
        SetDlgItemTextA(hDlg, IDC_MSGTEXT, szPrompt);
        return TRUE;
    }
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL || wParam == IDYES || wParam == IDNO) {
            EndDialog(hDlg, static_cast<INT_PTR>(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

namespace {

INT_PTR CALLBACK CertificateDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        CenterWindow(hDlg);
        SetDlgItemTextA(hDlg, IDC_MSGTEXT, reinterpret_cast<const char*>(lParam));
        // Enter and Space say No: trusting takes a deliberate Yes.
        SetFocus(GetDlgItem(hDlg, IDNO));
        return FALSE;
    case WM_COMMAND:
        if (wParam == IDYES || wParam == IDNO || wParam == IDCANCEL) {
            EndDialog(hDlg, wParam == IDYES ? IDYES : IDNO);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

short ShowCertificateQuestion(const char* szQuestion)
{
    RedrawHeld();
    return static_cast<short>(DialogBoxParamA(client.hInstance, "Certificate", client.hMainWnd, CertificateDlgProc,
                                              reinterpret_cast<LPARAM>(szQuestion)));
}

INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM)
{
    switch (uMsg) {
    case WM_INITDIALOG:
        CenterWindow(hDlg);
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK || wParam == IDCANCEL) {
            EndDialog(hDlg, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void RunAboutDialog(const char* szTemplate)
{
    RedrawHeld();
    DialogBoxParamA(client.hInstance, szTemplate, client.hMainWnd, AboutDlgProc, 0);
}
