#include "win32/dialogs.h"

#include "irc/client_state.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "shell/layout.h"
#include "shell/prompt.h"
#include "win32/redraw.h"
#include "win32/wide_text.h"
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
    return static_cast<short>(DialogBoxParamW(client.hInstance, Widen(MessageDialogTemplate(szSubject, nStringId)).c_str(),
                                              hOwner, MsgBoxDlgProc, 0));
}

INT_PTR CALLBACK MsgBoxDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM)
{
    switch (uMsg) {
    case WM_INITDIALOG: {
        CenterWindow(hDlg);
        SetWindowTextW(hDlg, Widen(szMsgTitle).c_str());
        TextField szFormat = "";
        LoadStringA(client.hInstance, static_cast<UINT>(nMsgStringId), szFormat, TEXT_FIELD_SIZE);
        TextField szPrompt;
        FormatPrompt(szPrompt, szFormat, szMsgSubject);
        SetDlgItemTextW(hDlg, IDC_MSGTEXT, Widen(szPrompt).c_str());
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
        SetDlgItemTextW(hDlg, IDC_MSGTEXT, Widen(reinterpret_cast<const char*>(lParam)).c_str());
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
    return static_cast<short>(DialogBoxParamW(client.hInstance, L"Certificate", client.hMainWnd, CertificateDlgProc,
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
    DialogBoxParamW(client.hInstance, Widen(szTemplate).c_str(), client.hMainWnd, AboutDlgProc, 0);
}
