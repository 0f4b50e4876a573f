#include "probe.h"

#include <cstdio>

namespace {

bool bFailed = false;

struct FindTop {
    DWORD nPid;
    const char* szClass;
    const char* szTitle;
    HWND hFound;
};

BOOL CALLBACK FindTopProc(HWND hWnd, LPARAM lParam)
{
    FindTop* pFind = reinterpret_cast<FindTop*>(lParam);
    DWORD nPid = 0;
    GetWindowThreadProcessId(hWnd, &nPid);
    if (nPid != pFind->nPid || !IsWindowVisible(hWnd)) return TRUE;
    if (pFind->szClass && ClassOf(hWnd) != pFind->szClass) return TRUE;
    if (pFind->szTitle && WindowText(hWnd) != pFind->szTitle) return TRUE;
    pFind->hFound = hWnd;
    return FALSE;
}

HWND FindTopWindow(DWORD nPid, const char* szClass, const char* szTitle)
{
    FindTop find = {nPid, szClass, szTitle, nullptr};
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&find));
    return find.hFound;
}

void FindChildren(Client& c)
{
    for (HWND h = GetWindow(c.hMain, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        std::string sClass = ClassOf(h);
        if (sClass == "Edit" || sClass == "EDIT") {
            if (GetWindowLongA(h, GWL_STYLE) & ES_READONLY)
                c.hOutput = h;
            else
                c.hInput = h;
        } else if (sClass == "ListBox" || sClass == "LISTBOX") {
            c.hNickList = h;
        }
    }
}

void RemoveTree(const std::string& sDir)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((sDir + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE) return;
    do {
        std::string sName = fd.cFileName;
        if (sName == "." || sName == "..") continue;
        std::string sPath = sDir + "\\" + sName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            RemoveTree(sPath);
            RemoveDirectoryA(sPath.c_str());
        } else {
            DeleteFileA(sPath.c_str());
        }
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
}

}  // namespace

bool ExpectUi(bool bOk, const std::string& sWhat, const char* szFile, int nLine)
{
    if (!bOk) {
        std::printf("FAIL %s:%d: %s\n", szFile, nLine, sWhat.c_str());
        std::fflush(stdout);
        bFailed = true;
    }
    return bOk;
}

bool ScenarioFailed() { return bFailed; }

std::string DriverDir()
{
    char szPath[MAX_PATH];
    GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string s = szPath;
    return s.substr(0, s.find_last_of('\\'));
}

std::string FreshWorkDir(const std::string& sScenario, const std::string& sName)
{
    std::string sRoot = DriverDir() + "\\e2e-work";
    CreateDirectoryA(sRoot.c_str(), nullptr);
    std::string sScenarioDir = sRoot + "\\" + sScenario;
    CreateDirectoryA(sScenarioDir.c_str(), nullptr);
    std::string sDir = sScenarioDir + "\\" + sName;
    CreateDirectoryA(sDir.c_str(), nullptr);
    RemoveTree(sDir);
    return sDir;
}

bool StartClient(Client& c, const std::string& sDir, const std::string& sArgs)
{
    return StartClientAt(c, DriverDir() + "\\kelva.exe", sDir, sArgs);
}

bool StartClientAt(Client& c, const std::string& sExe, const std::string& sDir, const std::string& sArgs)
{
    c.sDir = sDir;
    if (!StartProcess("\"" + sExe + "\"" + (sArgs.empty() ? "" : " " + sArgs), sDir, c.pi)) return false;
    bool bShown = WaitUntil([&] { return (c.hMain = FindTopWindow(c.pi.dwProcessId, "KELVA Window", nullptr)); });
    if (!EXPECT_UI(bShown, c.sName + ": a main window of class \"KELVA Window\" appears")) return false;
    FindChildren(c);
    return true;
}

bool StartProcess(const std::string& sCommand, const std::string& sDir, PROCESS_INFORMATION& pi)
{
    std::string sLine = sCommand;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (CreateProcessA(nullptr, &sLine[0], nullptr, nullptr, FALSE, 0, nullptr, sDir.empty() ? nullptr : sDir.c_str(),
                       &si, &pi))
        return true;
    DWORD nError = GetLastError();
    return EXPECT_UI(false, sCommand + " starts (CreateProcess error " + std::to_string(nError) + ")");
}

DWORD CloseClient(Client& c)
{
    PostMessageA(c.hMain, WM_CLOSE, 0, 0);
    DWORD nCode = STILL_ACTIVE;
    bool bEnded = WaitForSingleObject(c.pi.hProcess, 10000) == WAIT_OBJECT_0;
    EXPECT_UI(bEnded, c.sName + ": the process ends after WM_CLOSE");
    GetExitCodeProcess(c.pi.hProcess, &nCode);
    return nCode;
}

Client::~Client() { KillClient(*this); }

void KillClient(Client& c)
{
    if (!c.pi.hProcess) return;
    if (WaitForSingleObject(c.pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(c.pi.hProcess, 1);
    CloseHandle(c.pi.hProcess);
    CloseHandle(c.pi.hThread);
    c.pi = PROCESS_INFORMATION();
}

namespace {

std::string Utf8Of(const std::wstring& sWide)
{
    if (sWide.empty()) return "";
    std::string s(sWide.size() * 3, '\0');
    int nBytes = WideCharToMultiByte(CP_UTF8, 0, sWide.data(), static_cast<int>(sWide.size()), &s[0],
                                     static_cast<int>(s.size()), nullptr, nullptr);
    s.resize(nBytes > 0 ? static_cast<size_t>(nBytes) : 0);
    return s;
}

std::wstring WideOf(const std::string& sUtf8)
{
    if (sUtf8.empty()) return L"";
    std::wstring s(sUtf8.size(), L'\0');
    int nUnits = MultiByteToWideChar(CP_UTF8, 0, sUtf8.data(), static_cast<int>(sUtf8.size()), &s[0],
                                     static_cast<int>(s.size()));
    s.resize(nUnits > 0 ? static_cast<size_t>(nUnits) : 0);
    return s;
}

// Types UTF-16 units, as the keyboard gives them to a Unicode window.
void PostChars(HWND hEdit, const std::string& sText)
{
    for (wchar_t ch : WideOf(sText)) PostMessageW(hEdit, WM_CHAR, ch, 1);
}

}  // namespace

// Read as UTF-16, as the control holds it, and given as UTF-8.
std::string WindowText(HWND hWnd)
{
    DWORD_PTR nLen = 0;
    if (!SendMessageTimeoutW(hWnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &nLen)) return "";
    std::wstring s(nLen + 1, L'\0');
    DWORD_PTR nGot = 0;
    SendMessageTimeoutW(hWnd, WM_GETTEXT, nLen + 1, reinterpret_cast<LPARAM>(&s[0]), SMTO_ABORTIFHUNG, 5000, &nGot);
    s.resize(nGot);
    return Utf8Of(s);
}

std::string StoredText(HWND hWnd)
{
    wchar_t sz[256] = L"";
    GetWindowTextW(hWnd, sz, 256);
    return Utf8Of(sz);
}

std::string ClassOf(HWND hWnd)
{
    char sz[64] = "";
    GetClassNameA(hWnd, sz, sizeof sz);
    return sz;
}

// Wine hands LB_GETTEXT across processes back in UTF-16 whatever the
// caller asked for, so the rows are read as UTF-16 and converted.
std::vector<std::string> ListBoxItems(HWND hList)
{
    std::vector<std::string> items;
    LRESULT nCount = SendMessageW(hList, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < nCount; ++i) {
        LRESULT nLen = SendMessageW(hList, LB_GETTEXTLEN, i, 0);
        std::wstring sWide(static_cast<size_t>(nLen) + 1, L'\0');
        SendMessageW(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&sWide[0]));
        sWide.resize(static_cast<size_t>(nLen));
        items.push_back(Utf8Of(sWide));
    }
    return items;
}

HWND ChildById(HWND hParent, int nId) { return GetDlgItem(hParent, nId); }

void TypeText(const Client& c, const std::string& sText) { PostChars(c.hInput, sText); }

void TypeLine(const Client& c, const std::string& sText)
{
    TypeText(c, sText);
    PostMessageA(c.hInput, WM_CHAR, '\r', 1);
}

HWND FindTopWindowOf(const Client& c, const std::string& sTitle)
{
    return FindTopWindow(c.pi.dwProcessId, nullptr, sTitle.c_str());
}

bool WaitForOutput(const Client& c, const std::string& sPart, DWORD nTimeoutMs)
{
    bool bSeen = WaitUntil([&] { return WindowText(c.hOutput).find(sPart) != std::string::npos; }, nTimeoutMs);
    return EXPECT_UI(bSeen, c.sName + "'s pane shows \"" + sPart + "\"; it holds:\n" + WindowText(c.hOutput));
}

HWND WaitForDialog(const Client& c, const std::string& sTitle, DWORD nTimeoutMs)
{
    HWND hDlg = nullptr;
    WaitUntil([&] { return (hDlg = FindTopWindow(c.pi.dwProcessId, "#32770", sTitle.c_str())); }, nTimeoutMs);
    EXPECT_UI(hDlg != nullptr, c.sName + ": a dialog titled \"" + sTitle + "\" appears");
    return hDlg;
}

void PressButton(HWND hDlg, int nId) { PostMessageA(GetDlgItem(hDlg, nId), BM_CLICK, 0, 0); }

bool WaitForClosed(HWND hWnd, DWORD nTimeoutMs)
{
    return WaitUntil([&] { return !IsWindow(hWnd); }, nTimeoutMs);
}

void PressEscape(HWND hDlg)
{
    HWND hTarget = GetWindow(hDlg, GW_CHILD);
    PostMessageA(hTarget ? hTarget : hDlg, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageA(hTarget ? hTarget : hDlg, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

void TypeInto(HWND hEdit, const std::string& sText)
{
    SendMessageA(hEdit, EM_SETSEL, 0, -1);
    PostMessageA(hEdit, WM_CHAR, VK_BACK, 1);
    PostChars(hEdit, sText);
    WaitUntil([&] { return WindowText(hEdit) == sText; }, 5000);
}

void ClickListRow(HWND hList, int nRow, bool bDouble)
{
    int nTop = static_cast<int>(SendMessageA(hList, LB_GETTOPINDEX, 0, 0));
    int nHeight = static_cast<int>(SendMessageA(hList, LB_GETITEMHEIGHT, 0, 0));
    LPARAM lPoint = MAKELPARAM(10, (nRow - nTop) * nHeight + nHeight / 2);
    PostMessageA(hList, WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
    PostMessageA(hList, WM_LBUTTONUP, 0, lPoint);
    if (bDouble) {
        PostMessageA(hList, WM_LBUTTONDBLCLK, MK_LBUTTON, lPoint);
        PostMessageA(hList, WM_LBUTTONUP, 0, lPoint);
    }
}

int FindListRow(HWND hList, const std::string& sPrefix)
{
    std::vector<std::string> rows = ListBoxItems(hList);
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].compare(0, sPrefix.size(), sPrefix) == 0) return static_cast<int>(i);
    return -1;
}

bool WriteTextFile(const std::string& sPath, const std::string& sContent)
{
    FILE* pFile = std::fopen(sPath.c_str(), "wb");
    if (!pFile) return false;
    std::fwrite(sContent.data(), 1, sContent.size(), pFile);
    std::fclose(pFile);
    return true;
}

bool ReadTextFile(const std::string& sPath, std::string& sContent)
{
    FILE* pFile = std::fopen(sPath.c_str(), "rb");
    if (!pFile) return false;
    char buf[4096];
    size_t n;
    sContent.clear();
    while ((n = std::fread(buf, 1, sizeof buf, pFile)) > 0) sContent.append(buf, n);
    std::fclose(pFile);
    return true;
}
