#include "shell/output_pane.h"

#include "irc/client_state.h"
#include "irc/send.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "shell/commands.h"
#include "shell/redraw.h"
#include "shell/seam.h"

namespace {

const int INPUT_LIMIT = 510;  // with "\r\n", one protocol line
const LRESULT TRIM_ABOVE_LINES = 200;
const WPARAM TRIM_LINES = 100;

// The end of the pane's text. The pane can hold more than 32767 characters
// when its lines are long, so the end is asked for rather than assumed.
LPARAM EndOfPane()
{
    return static_cast<LPARAM>(GetWindowTextLengthA(client.hOutputEdit));
}

}  // namespace

HWND CreateOutputPane(HWND hParent)
{
    HWND hPane = CreateWindowExA(0, "EDIT", "",
                                 WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                     ES_READONLY,
                                 0, 0, 0, 0, hParent, nullptr, client.hInstance, nullptr);
    // The trim keeps about 200 displayed lines, which on a wide pane is more
    // than the default limit of the control; without this, appends would be
    // dropped silently.
    SendMessageA(hPane, EM_SETLIMITTEXT, 0, 0);
    return hPane;
}

HWND CreateInputLine(HWND hParent)
{
    HWND hInput = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL,
                                  0, 0, 0, 0, hParent, nullptr, client.hInstance, nullptr);
    SendMessageA(hInput, EM_LIMITTEXT, INPUT_LIMIT, 0);
    client.pfnOldInputProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hInput, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InputEditProc)));
    return hInput;
}

void AppendOutput(const char* szText)
{
    HWND hPane = client.hOutputEdit;
    HoldRedraw(hPane);
    if (SendMessageA(hPane, EM_GETLINECOUNT, 0, 0) > TRIM_ABOVE_LINES) {
        LRESULT nCut = SendMessageA(hPane, EM_LINEINDEX, TRIM_LINES, 0);
        SendMessageA(hPane, EM_SETSEL, 0, nCut);
        SendMessageA(hPane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
    }
    LPARAM nEnd = EndOfPane();
    SendMessageA(hPane, EM_SETSEL, static_cast<WPARAM>(nEnd), nEnd);
    SendMessageA(hPane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(szText));
}

void ScrollOutputToEnd()
{
    LPARAM nEnd = EndOfPane();
    SendMessageA(client.hOutputEdit, EM_SETSEL, static_cast<WPARAM>(nEnd), nEnd);
    SendMessageA(client.hOutputEdit, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK InputEditProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    // Enter and Ctrl+Enter send; no line break ever enters the input line.
    if (uMsg == WM_CHAR && (wParam == '\r' || wParam == '\n')) {
        PostMessageA(client.hMainWnd, WM_COMMAND, IDC_SEND, 0);
        return 0;
    }
    return CallWindowProcA(client.pfnOldInputProc, hWnd, uMsg, wParam, lParam);
}

void OnSendCommand()
{
    SendMessageA(client.hInputEdit, EM_SETSEL, 0, -1);
    char szTyped[INPUT_LIMIT + 1];
    GetWindowTextA(client.hInputEdit, szTyped, sizeof szTyped);
    SendInputText(szTyped);
    SendMessageA(client.hInputEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}
