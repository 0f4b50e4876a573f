// What the scenarios share: clients started with their own settings and
// connection file, the Welcome dialog, joining the test channel.
#pragma once

#include <string>

#include "probe.h"
#include "relay.h"

// kelva.ini for a test client: its nickname and server, and by default no
// channel list after connecting and the real name "Test NICK".
std::string SettingsFor(const std::string& sNick, const std::string& sServer, int nPort, bool bShowList = false,
                        const std::string& sRealname = "");
// The same with TLS on and the test server's password, as a TLS scenario's
// server asks for it.
std::string TLSSettingsFor(const std::string& sNick, int nPort);
// The interval after which a silent server is pinged, for the settings.
std::string PingSecondsLine(int nSeconds);
// kelva.ini is still exactly what the scenario wrote.
void ExpectSettingsKept(const Client& c, const std::string& sSettings);

// Starts a client with its settings and, when given, a connection file
// "conn.txt" named on its command line.
bool StartWith(Client& c, const std::string& sScenario, const std::string& sSettings,
               const std::string& sConnectionFile = "");

// The Welcome dialog is the first thing shown; "Have Fun" closes it.
bool CloseWelcome(Client& c);

// Started with a connection file naming the server, its port and a channel,
// the client connects after the Welcome dialog and joins the channel when
// the server has greeted it.
bool StartInChannel(Client& c, const std::string& sScenario, int nPort, const std::string& sChannel,
                    const std::string& sServer = "127.0.0.1");

bool WaitForTitle(const Client& c, const std::string& sTitle, DWORD nTimeoutMs = 10000);
bool WaitForNick(const Client& c, const std::string& sNick, DWORD nTimeoutMs = 10000);

// Answers a one-button notice after checking its title and prompt.
void ExpectNotice(Client& c, const std::string& sTitle, const std::string& sPrompt);

// Orders for the test server, which the driver cannot signal itself:
// "pause" (SIGSTOP), "kill" (SIGKILL) and "start" (again, on the same
// port). The directory in which the script around the driver takes them is
// set once, from the command line; false when the order was not carried out
// in time.
void SetServerOrderDir(const std::string& sDir);
// Where the script leaves files for the driver: the TLS port ("tls-port"),
// the test authority ("ca.crt") and the certificates' fingerprints.
std::string ServerOrderDir();
// The TLS scenarios' server asks for this password.
std::string TLSServerPassword();
bool OrderServer(const std::string& sOrder);

// The port of a second test server, linked to the first; 0 when there is
// none.
void SetSecondServerPort(int nPort);
int SecondServerPort();

// The dialog's prompt (control 1006) as shown.
std::string DialogPrompt(HWND hDlg);

// A window's place in its parent's client area.
RECT ChildPlace(HWND hChild);

// Presses one of the main window's buttons (Setup, Connect, List).
void PressCommandButton(const Client& c, int nId);

// Starts a client with settings for the server and port (and the further
// settings lines given), closes the Welcome dialog and connects with the
// Connect button; true once the server has greeted it.
bool StartConnected(Client& c, const std::string& sScenario, const std::string& sServer, int nPort,
                    const std::string& sMoreSettings = "");
// The same from the given settings.
bool StartConnectedWith(Client& c, const std::string& sScenario, const std::string& sSettings);
// The same through the relay, which sits before the test server.
bool StartOnRelay(Client& c, const std::string& sScenario, const std::string& sServer, Relay& relay, int nPort,
                  const std::string& sMoreSettings = "");
