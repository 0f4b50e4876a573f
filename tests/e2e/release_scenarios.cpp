// The release packages used as a person uses them: the installer run
// silently, the program started from its Start-menu shortcut, set up,
// connected and uninstalled; the portable zip started from its folder; and
// the portable zip of a release for another default server, whose game
// channel works there.
#include "scenarios.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "resources/resource.h"
#include "scenario_support.h"

namespace {

const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVA";

std::string ShellFolder(int nFolder)
{
    char szPath[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, nFolder, nullptr, SHGFP_TYPE_CURRENT, szPath);
    return szPath;
}

bool Exists(const std::string& sPath) { return GetFileAttributesA(sPath.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// The names of the files and folders in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& sDir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((sDir + "\\*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE) return names;
    do {
        std::string sName = fd.cFileName;
        if (sName != "." && sName != "..") names.push_back(sName);
    } while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string s;
    for (const std::string& sName : names) s += " " + sName;
    return s;
}

// Runs a command line and waits for it; its exit code, or STILL_ACTIVE when
// it had not ended in time (it is then ended), or 1 when it did not start.
DWORD RunAndWait(const std::string& sCommand, DWORD nTimeoutMs)
{
    PROCESS_INFORMATION pi = {};
    if (!StartProcess(sCommand, "", pi)) return 1;
    DWORD nCode = STILL_ACTIVE;
    if (WaitForSingleObject(pi.hProcess, nTimeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &nCode);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return nCode;
}

std::string RegText(HKEY hRoot, const char* szKey, const char* szValue)
{
    char szData[1024] = "";
    DWORD nSize = sizeof szData;
    if (RegGetValueA(hRoot, szKey, szValue, RRF_RT_REG_SZ, nullptr, szData, &nSize) != ERROR_SUCCESS) return "";
    return szData;
}

// What Windows is asked for when the program starts: the execution level in
// its manifest ("asInvoker" starts without administrator rights).
std::string RequestedLevel(const std::string& sExe)
{
    HMODULE hExe = LoadLibraryExA(sExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!hExe) return "(cannot be read)";
    std::string sManifest;
    HRSRC hRes = FindResourceA(hExe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    if (hRes) {
        const char* pData = static_cast<const char*>(LockResource(LoadResource(hExe, hRes)));
        if (pData) sManifest.assign(pData, SizeofResource(hExe, hRes));
    }
    FreeLibrary(hExe);
    size_t nAt = sManifest.find("requestedExecutionLevel level=\"");
    if (nAt == std::string::npos) return "(none)";
    nAt += 31;
    return sManifest.substr(nAt, sManifest.find('"', nAt) - nAt);
}

// The target and working directory of a shortcut, as the shell reads them.
bool ReadShortcut(const std::string& sLink, std::string& sTarget, std::string& sWorkDir)
{
    bool bRead = false;
    CoInitialize(nullptr);
    IShellLinkA* pLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&pLink)))) {
        IPersistFile* pFile = nullptr;
        if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile)))) {
            std::wstring sWide(sLink.begin(), sLink.end());
            char szTarget[MAX_PATH] = "", szDir[MAX_PATH] = "";
            bRead = SUCCEEDED(pFile->Load(sWide.c_str(), STGM_READ)) &&
                    SUCCEEDED(pLink->GetPath(szTarget, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
                    SUCCEEDED(pLink->GetWorkingDirectory(szDir, MAX_PATH));
            sTarget = szTarget;
            sWorkDir = szDir;
            pFile->Release();
        }
        pLink->Release();
    }
    CoUninitialize();
    return bRead;
}

// What Setup writes below: the nickname, server and port typed, the default
// real name kept, TLS off.
std::string ExpectedSettings(const std::string& sNick, int nPort)
{
    return SettingsFor(sNick, "127.0.0.1", nPort, false, "Saint Ravkel de France") + "TLS=0\r\n";
}

// With no kelva.ini yet, Setup's OK writes one into the client's working
// directory; closed and started again there, the client connects with what
// it reads back, since its defaults name another server.
template <class Start>
void SetUpThenReconnect(Start start, const std::string& sNick, int nPort)
{
    Client first(sNick);
    if (!start(first) || !CloseWelcome(first)) return;
    EXPECT_UI(!Exists(first.sDir + "\\kelva.ini"), "there is no kelva.ini in " + first.sDir + " at first");
    PostMessageA(first.hMain, WM_COMMAND, IDM_SETUP, 0);
    HWND hSetup = WaitForDialog(first, "Setup");
    if (!hSetup) return;
    TypeInto(GetDlgItem(hSetup, IDC_SETUP_NICKNAME), sNick);
    TypeInto(GetDlgItem(hSetup, IDC_SETUP_SERVER), "127.0.0.1");
    TypeInto(GetDlgItem(hSetup, IDC_SETUP_PORT), std::to_string(nPort));
    PostMessageA(GetDlgItem(hSetup, IDC_SETUP_SHOWLIST), BM_CLICK, 0, 0);
    PressButton(hSetup, IDOK);
    EXPECT_UI(WaitForClosed(hSetup), "OK closes Setup");
    std::string sIni;
    EXPECT_UI(ReadTextFile(first.sDir + "\\kelva.ini", sIni) && sIni == ExpectedSettings(sNick, nPort),
              "Setup's OK writes kelva.ini in " + first.sDir + ":\n[" + sIni + "]");
    EXPECT_UI(CloseClient(first) == 0, "the first run ends with exit code 0");

    Client second(sNick);
    if (!start(second) || !CloseWelcome(second)) return;
    PostMessageA(second.hMain, WM_COMMAND, IDM_CONNECT, 0);
    WaitForOutput(second, "Welcome to the Internet Relay Network " + sNick + "!");
    EXPECT_UI(CloseClient(second) == 0, "the second run ends with exit code 0");
}

}  // namespace

void InstalledProgram(int nPort)
{
    std::string sSetup = DriverDir() + "\\" KELVA_PACKAGE_NAME "-setup.exe";
    EXPECT_UI(RequestedLevel(sSetup) == "asInvoker",
              "the installer asks for no administrator rights; its manifest asks for " + RequestedLevel(sSetup));
    DWORD nCode = RunAndWait("\"" + sSetup + "\" /S", 60000);
    if (!EXPECT_UI(nCode == 0, "the silent installer ends with exit code 0, not " + std::to_string(nCode))) return;

    std::string sProgram = ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\KELVA";
    std::string sSettings = ShellFolder(CSIDL_APPDATA) + "\\KELVA";
    std::string sShortcut = ShellFolder(CSIDL_PROGRAMS) + "\\KELVA.lnk";
    const std::vector<std::string> installed = {"README.txt", "Uninstall.exe", "kelva.exe", "kelva.hlp"};
    EXPECT_UI(FilesIn(sProgram) == installed, sProgram + " holds the program alone:" + Joined(FilesIn(sProgram)));
    EXPECT_UI(Exists(sSettings), "the installer makes the settings folder " + sSettings);

    std::string sUninstall = RegText(HKEY_CURRENT_USER, kUninstallKey, "UninstallString");
    EXPECT_UI(SamePath(sUninstall, "\"" + sProgram + "\\Uninstall.exe\""),
              "the user's installed programs list KELVA, uninstalled by \"" + sUninstall + "\"");
    EXPECT_UI(RegText(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion") == KELVA_VERSION,
              "the entry shows version " KELVA_VERSION);
    EXPECT_UI(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName").empty(), "nothing is registered for all users");

    std::string sTarget, sWorkDir;
    EXPECT_UI(ReadShortcut(sShortcut, sTarget, sWorkDir), "the Start menu holds the shortcut " + sShortcut);
    EXPECT_UI(SamePath(sTarget, sProgram + "\\kelva.exe"), "the shortcut starts " + sTarget);
    EXPECT_UI(SamePath(sWorkDir, sSettings), "the shortcut starts it in " + sWorkDir);
    if (ScenarioFailed()) return;

    SetUpThenReconnect([&](Client& c) { return StartClientAt(c, sTarget, sWorkDir); }, "Ivy", nPort);
    EXPECT_UI(FilesIn(sProgram) == installed,
              "nothing is written into the program's folder:" + Joined(FilesIn(sProgram)));

    nCode = RunAndWait(sUninstall + " /S", 60000);
    EXPECT_UI(nCode == 0, "the silent uninstaller ends with exit code 0, not " + std::to_string(nCode));
    // The uninstaller runs on from a copy of itself, so its work is waited for.
    // That it leaves no file and no registry entry but the settings is
    // checked on the prefix once the session is stopped.
    EXPECT_UI(WaitUntil([&] { return !Exists(sProgram) && !Exists(sShortcut); }, 30000),
              "the uninstaller removes the program's folder and the shortcut; left:" + Joined(FilesIn(sProgram)));
    std::string sIni;
    EXPECT_UI(ReadTextFile(sSettings + "\\kelva.ini", sIni) && sIni == ExpectedSettings("Ivy", nPort),
              "the uninstaller keeps the settings:\n[" + sIni + "]");
}

void PortableZip(int nPort)
{
    std::string sDir = DriverDir() + "\\e2e-work\\portable-zip\\" KELVA_PACKAGE_NAME;
    EXPECT_UI(FilesIn(sDir) == std::vector<std::string>({"README.txt", "kelva.exe", "kelva.hlp"}),
              "the zip unpacks kelva.exe, kelva.hlp and README.txt:" + Joined(FilesIn(sDir)));
    std::string sReadme;
    EXPECT_UI(ReadTextFile(sDir + "\\README.txt", sReadme) && sReadme.find("KELVA " KELVA_VERSION "\r\n") == 0 &&
                  sReadme.find("\n\n") == std::string::npos,
              "README.txt names the version and ends its lines in CR LF");
    if (ScenarioFailed()) return;

    SetUpThenReconnect([&](Client& c) { return StartClientAt(c, sDir + "\\kelva.exe", sDir); }, "Pia", nPort);
    EXPECT_UI(FilesIn(sDir) == std::vector<std::string>({"README.txt", "kelva.exe", "kelva.hlp", "kelva.ini"}),
              "kelva.ini is beside kelva.exe:" + Joined(FilesIn(sDir)));
}

// The release made by `scripts/release.sh --default-server LocalHost`
// (release-test.sh): this machine's hosts file gives that name the address
// of localhost, while to the client it is another server than "localhost",
// since the default server is told byte for byte.
void DefaultServerRelease(int nPort)
{
    std::string sDir = DriverDir() + "\\e2e-work\\default-server";
    Client gus("Gus");
    if (!StartClientAt(gus, sDir + "\\kelva.exe", sDir) || !CloseWelcome(gus)) return;
    PostMessageA(gus.hMain, WM_COMMAND, IDM_SETUP, 0);
    HWND hSetup = WaitForDialog(gus, "Setup");
    if (!hSetup) return;
    std::string sServer = WindowText(GetDlgItem(hSetup, IDC_SETUP_SERVER));
    EXPECT_UI(sServer == "LocalHost", "Setup starts with the release's default server, not \"" + sServer + "\"");
    TypeInto(GetDlgItem(hSetup, IDC_SETUP_PORT), std::to_string(nPort));
    PressButton(hSetup, IDOK);
    if (!EXPECT_UI(WaitForClosed(hSetup), "OK closes Setup")) return;

    PostMessageA(gus.hMain, WM_COMMAND, IDM_CONNECT, 0);
    if (!WaitForOutput(gus, "Attempting to connect to LocalHost\r\n") || !WaitForOutput(gus, "End of MOTD command\r\n"))
        return;
    TypeLine(gus, "/join #Go-Moku");
    WaitForOutput(gus, "<KELVA> To invite someone to play, click on their name above.\r\n");
    WaitForTitle(gus, "KELVA: #Go-Moku");
    EXPECT_UI(IsWindowVisible(FindWindowExA(gus.hMain, nullptr, "KELVA Game Window", nullptr)),
              "the game channel on the release's default server turns game mode on: the board is shown");
    EXPECT_UI(CloseClient(gus) == 0, "the program ends with exit code 0");
}
