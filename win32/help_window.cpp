#include "win32/help_window.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "irc/client_state.h"
#include "resources/resource.h"
#include "irc/seam.h"

namespace {

HWND hHelpWnd = nullptr;

const char szHelpFile[] = "kelva.hlp";
const char szHelpClass[] = "KELVA Help Window";

// A frame titled "KELVA Help" around a read-only edit that fills it.
LRESULT CALLBACK HelpWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_SIZE:
        MoveWindow(GetWindow(hWnd, GW_CHILD), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        hHelpWnd = nullptr;
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

void RegisterHelpClass()
{
    static bool bRegistered = false;
    if (bRegistered) return;
    bRegistered = true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HelpWndProc;
    wc.hInstance = client.hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = szHelpClass;
    RegisterClassA(&wc);
}

std::string HelpFilePath()
{
    char szPath[MAX_PATH];
    DWORD nLen = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string sPath(szPath, nLen);
    return sPath.substr(0, sPath.find_last_of("\\/") + 1) + szHelpFile;
}

bool ReadHelpText(std::string& sText)
{
    FILE* pFile = std::fopen(HelpFilePath().c_str(), "rb");
    if (pFile == nullptr) return false;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pFile)) > 0) sText.append(buf, n);
    std::fclose(pFile);
    return true;
}

}  // namespace

void OpenHelp()
{
    if (hHelpWnd != nullptr) {
        ShowWindow(hHelpWnd, SW_SHOWNORMAL);
        SetForegroundWindow(hHelpWnd);
        return;
    }
    std::string sText;
    if (!ReadHelpText(sText)) {
        ShowMessageDialog(client.hMainWnd, szHelpFile, "Opps...", IDS_FILE_ERROR);
        return;
    }
    RegisterHelpClass();
    hHelpWnd = CreateWindowExA(0, szHelpClass, "KELVA Help", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 560,
                               420, nullptr, nullptr, client.hInstance, nullptr);
    HWND hText = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0,
                                 0, 0, 0, hHelpWnd, nullptr, client.hInstance, nullptr);
    SendMessageA(hText, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextA(hText, sText.c_str());
    ShowWindow(hHelpWnd, SW_SHOWNORMAL);
    UpdateWindow(hHelpWnd);
}

void CloseHelp()
{
    if (hHelpWnd != nullptr) DestroyWindow(hHelpWnd);
}
