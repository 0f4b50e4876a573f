#include "shell/help_window.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "irc/client_state.h"
#include "resources/resource.h"
#include "shell/seam.h"

namespace {

HWND hHelpWnd = nullptr;

const char szHelpFile[] = "kelva.hlp";

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
    if (hHelpWnd != nullptr && IsWindow(hHelpWnd)) {
        ShowWindow(hHelpWnd, SW_SHOWNORMAL);
        SetForegroundWindow(hHelpWnd);
        return;
    }
    std::string sText;
    if (!ReadHelpText(sText)) {
        ShowMessageDialog(client.hMainWnd, szHelpFile, "Opps...", IDS_FILE_ERROR);
        return;
    }
    hHelpWnd = CreateWindowExA(0, "EDIT", "KELVA Help",
                               WS_OVERLAPPEDWINDOW | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                               CW_USEDEFAULT, CW_USEDEFAULT, 560, 420, nullptr, nullptr, client.hInstance, nullptr);
    SendMessageA(hHelpWnd, EM_SETLIMITTEXT, 0, 0);
    SetWindowTextA(hHelpWnd, sText.c_str());
    ShowWindow(hHelpWnd, SW_SHOWNORMAL);
}

void CloseHelp()
{
    if (hHelpWnd != nullptr && IsWindow(hHelpWnd)) DestroyWindow(hHelpWnd);
    hHelpWnd = nullptr;
}
