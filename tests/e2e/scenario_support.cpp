#include "scenario_support.h"

#include "resources/resource.h"

namespace {

std::string sServerOrderDir;
int nSecondServerPort = 0;

}  // namespace

std::string SettingsFor(const std::string& sNick, const std::string& sServer, int nPort, bool bShowList,
                        const std::string& sRealname)
{
    return "[KELVA]\r\nNickname=" + sNick + "\r\nRealname=" + (sRealname.empty() ? "Test " + sNick : sRealname) +
           "\r\nPassword=\r\nIRCServer=" + sServer + "\r\nIRCPort=" + std::to_string(nPort) +
           "\r\nShowList=" + (bShowList ? "TRUE" : "FALSE") + "\r\n";
}

std::string TLSSettingsFor(const std::string& sNick, int nPort)
{
    std::string sSettings = SettingsFor(sNick, "localhost", nPort);
    sSettings.replace(sSettings.find("Password="), 9, "Password=" + TLSServerPassword());
    return sSettings + "TLS=1\r\n";
}

std::string PingSecondsLine(int nSeconds) { return "PingSeconds=" + std::to_string(nSeconds) + "\r\n"; }

void ExpectSettingsKept(const Client& c, const std::string& sSettings)
{
    std::string sIni;
    EXPECT_UI(ReadTextFile(c.sDir + "\\kelva.ini", sIni) && sIni == sSettings,
              c.sName + "'s kelva.ini is whole and unchanged:\n[" + sIni + "]");
}

bool StartWith(Client& c, const std::string& sScenario, const std::string& sSettings,
               const std::string& sConnectionFile)
{
    std::string sDir = FreshWorkDir(sScenario, c.sName);
    WriteTextFile(sDir + "\\kelva.ini", sSettings);
    if (!sConnectionFile.empty()) WriteTextFile(sDir + "\\conn.txt", sConnectionFile);
    return StartClient(c, sDir, sConnectionFile.empty() ? "" : "conn.txt");
}

bool CloseWelcome(Client& c)
{
    HWND hWelcome = WaitForDialog(c, "Welcome");
    if (!hWelcome) return false;
    EXPECT_UI(WindowText(c.hOutput).empty(), c.sName + ": nothing happens before the Welcome dialog is closed, but "
                                                       "the pane shows:\n" + WindowText(c.hOutput));
    PressButton(hWelcome, IDOK);
    return EXPECT_UI(WaitForClosed(hWelcome), c.sName + ": \"Have Fun\" closes the Welcome dialog");
}

bool StartInChannel(Client& c, const std::string& sScenario, int nPort, const std::string& sChannel,
                    const std::string& sServer)
{
    std::string sFile = "SERVER " + sServer + "\r\nPORT " + std::to_string(nPort) + "\r\nCHANNEL " + sChannel + "\r\n";
    if (!StartWith(c, sScenario, SettingsFor(c.sName, "irc.invalid", 1), sFile) || !CloseWelcome(c)) return false;
    std::string sHash = sChannel[0] == '#' ? "" : "#";
    return WaitForOutput(c, "Attempting to connect to " + sServer + "\r\n") &&
           WaitForTitle(c, "KELVA: " + sHash + sChannel);
}

bool WaitForTitle(const Client& c, const std::string& sTitle, DWORD nTimeoutMs)
{
    bool bSeen = WaitUntil([&] { return WindowText(c.hMain) == sTitle; }, nTimeoutMs);
    return EXPECT_UI(bSeen, c.sName + ": the title becomes \"" + sTitle + "\", it is \"" + WindowText(c.hMain) +
                                "\"; the pane holds:\n" + WindowText(c.hOutput));
}

bool WaitForNick(const Client& c, const std::string& sNick, DWORD nTimeoutMs)
{
    bool bSeen = WaitUntil(
        [&] {
            for (const std::string& s : ListBoxItems(c.hNickList))
                if (s == sNick) return true;
            return false;
        },
        nTimeoutMs);
    std::string sList;
    for (const std::string& s : ListBoxItems(c.hNickList)) sList += " " + s;
    return EXPECT_UI(bSeen, c.sName + "'s nick list holds " + sNick + "; it holds:" + sList);
}

std::string DialogPrompt(HWND hDlg) { return WindowText(GetDlgItem(hDlg, IDC_MSGTEXT)); }

RECT ChildPlace(HWND hChild)
{
    RECT rc;
    GetWindowRect(hChild, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(hChild), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void ExpectNotice(Client& c, const std::string& sTitle, const std::string& sPrompt)
{
    HWND hNotice = WaitForDialog(c, sTitle);
    if (!hNotice) return;
    EXPECT_UI(DialogPrompt(hNotice) == sPrompt, c.sName + ": the notice reads \"" + DialogPrompt(hNotice) +
                                                    "\", not \"" + sPrompt + "\"");
    EXPECT_UI(GetDlgItem(hNotice, IDNO) == nullptr, "the notice has only an OK button");
    PressButton(hNotice, IDOK);
    EXPECT_UI(WaitForClosed(hNotice), "OK closes the notice");
}

void PressCommandButton(const Client& c, int nId) { PostMessageA(ChildById(c.hMain, nId), BM_CLICK, 0, 0); }

bool StartConnected(Client& c, const std::string& sScenario, const std::string& sServer, int nPort,
                    const std::string& sMoreSettings)
{
    return StartConnectedWith(c, sScenario, SettingsFor(c.sName, sServer, nPort) + sMoreSettings);
}

bool StartConnectedWith(Client& c, const std::string& sScenario, const std::string& sSettings)
{
    if (!StartWith(c, sScenario, sSettings) || !CloseWelcome(c)) return false;
    PressCommandButton(c, IDM_CONNECT);
    return WaitForOutput(c, "End of MOTD command\r\n");
}

bool StartOnRelay(Client& c, const std::string& sScenario, const std::string& sServer, Relay& relay, int nPort,
                  const std::string& sMoreSettings)
{
    return EXPECT_UI(relay.Start(nPort), "the relay starts") &&
           StartConnected(c, sScenario, sServer, relay.Port(), sMoreSettings);
}

void SetServerOrderDir(const std::string& sDir) { sServerOrderDir = sDir; }

void SetSecondServerPort(int nPort) { nSecondServerPort = nPort; }
int SecondServerPort() { return nSecondServerPort; }

std::string ServerOrderDir() { return sServerOrderDir; }

std::string TLSServerPassword() { return "kelva-secret"; }

// The order is a file of its own name; the script answers with "NAME.done".
bool OrderServer(const std::string& sOrder)
{
    if (!EXPECT_UI(!sServerOrderDir.empty(), "the driver was given a directory for server orders")) return false;
    std::string sDone = sServerOrderDir + "\\" + sOrder + ".done";
    DeleteFileA(sDone.c_str());
    WriteTextFile(sServerOrderDir + "\\" + sOrder, sOrder);
    return EXPECT_UI(WaitUntil([&] { return GetFileAttributesA(sDone.c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000),
                     "the test server carries out the order \"" + sOrder + "\"");
}
