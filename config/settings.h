// The user settings and their file "kelva.ini" in the working directory.
#pragma once

// Fills szNickname, szRealname, szPassword, szIRCServer, szIRCPort,
// bShowList, bTLS, nPingSeconds, szSaslAccount, szSaslPassword and
// bReconnect from "kelva.ini" in the working directory, each key that is
// missing (or the whole file, when it cannot be opened or read) with its
// default. Shows nothing. The file is UTF-8; a value that is not is taken
// as Windows-1252, as earlier versions wrote it, and stored as UTF-8.
void ReadSettings();

// The reading of ReadSettings, from the file's text.
void ParseSettings(const char* szText);

// Rewrites "kelva.ini" from the client state; a file that cannot be created
// gets the "Opps..." notice and the settings stay in memory only.
void WriteSettings();

// The texts and the check box of the Setup dialog as the user left them.
struct SetupValues {
    const char* szNickname;
    const char* szRealname;
    const char* szPassword;
    const char* szIRCServer;
    const char* szIRCPort;
    int bShowList;
    int bTLS;
    const char* szSaslAccount = "";
    const char* szSaslPassword = "";
};

// Setup's OK: stores the values in the client state by the dialog's rules.
// Each text (UTF-8) is taken to at most 254 bytes, as an edit gives them; the
// nickname's blanks become "_" and it is then cut to 9 bytes, never inside a
// character; the other texts are kept exactly as typed, blanks and all.
void StoreSetupValues(const SetupValues& values);

// The port that goes with ticking or unticking "Secure connection (TLS)":
// the usual plain port 6667 becomes the usual TLS port 6697 and back; any
// other port is the user's own and stays.
const char* PortForTLS(const char* szPort, int bTLS);
