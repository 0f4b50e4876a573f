// What the end-to-end driver can do with running kelva.exe instances, the
// way a person would: find their windows, type, click, read what they show,
// answer their dialogs. Every wait is bounded.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>
#include <vector>

// A failed expectation prints where and what, and marks the scenario failed.
#define EXPECT_UI(cond, what) ExpectUi((cond), (what), __FILE__, __LINE__)
bool ExpectUi(bool bOk, const std::string& sWhat, const char* szFile, int nLine);
bool ScenarioFailed();

// A kelva.exe instance; whatever is left of it is ended when it goes out of
// scope, so that a failing scenario leaves no process behind.
struct Client {
    explicit Client(const std::string& sClientName) : sName(sClientName) {}
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    std::string sName;
    std::string sDir;  // its working directory, where its kelva.ini lives
    PROCESS_INFORMATION pi = {};
    HWND hMain = nullptr;
    HWND hOutput = nullptr;
    HWND hInput = nullptr;
    HWND hNickList = nullptr;
};

// Starts kelva.exe (beside the driver) in a working directory of its own,
// with the given command line, and waits for its main window.
bool StartClient(Client& c, const std::string& sDir, const std::string& sArgs = "");
// The same for the kelva.exe at the given path.
bool StartClientAt(Client& c, const std::string& sExe, const std::string& sDir, const std::string& sArgs = "");
// Starts a command line, its program's path first and quoted, in sDir when
// one is given; a failure is reported as a failed expectation.
bool StartProcess(const std::string& sCommand, const std::string& sDir, PROCESS_INFORMATION& pi);
// The driver's folder: the build tree, with kelva.exe and the packages.
std::string DriverDir();
// The working directory for a client of a scenario, created empty.
std::string FreshWorkDir(const std::string& sScenario, const std::string& sName);
// Closes the main window and waits for the process to end; the exit code.
DWORD CloseClient(Client& c);
// Ends whatever is left of the client: the driver's last word, pass or fail.
void KillClient(Client& c);

// Texts are read and typed as UTF-16, as the windows hold them, and given
// and taken here as UTF-8.
std::string WindowText(HWND hWnd);
// The text a window keeps as its own (a caption, a button's label), read
// without sending it a message: reading it cannot wake an idle client.
std::string StoredText(HWND hWnd);
std::string ClassOf(HWND hWnd);
std::vector<std::string> ListBoxItems(HWND hList);
HWND ChildById(HWND hParent, int nId);

// Types the text into the input line, a character at a time, then Enter.
void TypeLine(const Client& c, const std::string& sText);
// The same without the Enter.
void TypeText(const Client& c, const std::string& sText);
// A visible top-level window of the client's process with this title.
HWND FindTopWindowOf(const Client& c, const std::string& sTitle);

// Polls until pred() holds or the time is up; whether it held.
template <class Pred>
bool WaitUntil(Pred pred, DWORD nTimeoutMs = 10000)
{
    DWORD nStart = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - nStart > nTimeoutMs) return false;
        Sleep(50);
    }
}

bool WaitForOutput(const Client& c, const std::string& sPart, DWORD nTimeoutMs = 10000);

// A dialog of the client's process with this title, once it is shown.
HWND WaitForDialog(const Client& c, const std::string& sTitle, DWORD nTimeoutMs = 10000);
// Presses a dialog's button as a click would.
void PressButton(HWND hDlg, int nId);
// Escape in a dialog, as a key press reaches it.
void PressEscape(HWND hDlg);
// Replaces the text of an edit control, typed a character at a time.
void TypeInto(HWND hEdit, const std::string& sText);
// Clicks (or double-clicks) the row of a list box.
void ClickListRow(HWND hList, int nRow, bool bDouble = false);
// The row of a list box that begins with the text; -1 when there is none.
int FindListRow(HWND hList, const std::string& sPrefix);

bool WriteTextFile(const std::string& sPath, const std::string& sContent);
bool ReadTextFile(const std::string& sPath, std::string& sContent);
// Whether a dialog window is gone.
bool WaitForClosed(HWND hWnd, DWORD nTimeoutMs = 10000);
