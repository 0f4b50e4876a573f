// The one program-wide record of client state, and the constants its fields
// are measured in. Every part of the program reads and writes these fields
// directly; there is no second copy of any of them.
#pragma once

#include <cstddef>

#include "irc/line_limits.h"
#include "irc/net.h"
#include "irc/platform.h"
#include "irc/text.h"

// nSendMode: how SendText treats its text.
const short SEND_COMPOSE = 1;  // user text: "/" commands and chat lines
const short SEND_RAW = 2;      // protocol text, sent unchanged
// nRecvMode: how HandleServerLine treats a received line.
const short RECV_PARSE = 1;
const short RECV_SHOW = 2;

// nGameState
const short GAME_OFF = 0;       // chat mode, game window hidden
const short GAME_IDLE = 1;      // game mode, no opponent
const short GAME_INVITING = 2;  // invitation sent to szPartner
const short GAME_PLAYING = 3;   // a game against szPartner is on

struct ClientState {
    // Settings, filled by ReadSettings and the Setup dialog.
    TextField szNickname = {};
    TextField szRealname = {};
    TextField szPassword = {};
    TextField szIRCServer = {};
    TextField szIRCPort = {};
    int bShowList = 1;

    // Connection and conversation.
    int bConnected = 0;
    SOCKET sockServer = INVALID_SOCKET;
    short nSendMode = SEND_RAW;
    short nRecvMode = RECV_SHOW;
    TextField szHostName = {};
    TextField szChannel = {};
    TextField szPartner = {};
    short nGameState = GAME_OFF;
    char* pTCP_Input_Buffer = nullptr;
    char* pLine_Buffer = nullptr;
    int bOverflowShown = 0;  // the over-long line notice of this connection has been shown

    // Windows and dialogs; each handle is null until its window exists.
    HINSTANCE hInstance = nullptr;
    HWND hMainWnd = nullptr;
    HWND hOutputEdit = nullptr;
    HWND hInputEdit = nullptr;
    WNDPROC pfnOldInputProc = nullptr;
    HWND hNickList = nullptr;
    HWND hGameWnd = nullptr;
    HWND hConnectButton = nullptr;
    HWND hListDlg = nullptr;
    int bShowWelcome = 1;
};

extern ClientState client;

// The built-in default server: the default of the IRCServer setting, the
// server that gets the identification line and hosts the game channel.
extern const char szDefaultServer[];
