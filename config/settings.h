// The six user settings and their file "kelva.ini" in the working directory.
#pragma once

// Fills szNickname, szRealname, szPassword, szIRCServer, szIRCPort and
// bShowList from "kelva.ini", each key that is missing (or the whole file)
// with its default. Shows nothing.
void ReadSettings();

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
};

// Setup's OK: stores the values in the client state by the dialog's rules
// (blanks in the nickname become "_", then it is cut to 9 characters).
void StoreSetupValues(const SetupValues& values);
