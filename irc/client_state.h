// The one program-wide record of client state, and the constants its fields
// are measured in. Every part of the program reads and writes these fields
// directly; there is no second copy of any of them.
#pragma once

#include <cstddef>

#include "irc/line_limits.h"
#include "irc/net.h"
#include "irc/platform.h"
#include "irc/text.h"

// A server silent for this long is asked whether it is still there, and
// given up after as long again; the PingSeconds key of kelva.ini.
const int DEFAULT_PING_SECONDS = 120;
const int MAX_PING_SECONDS = 86400;

// nSendMode: how SendText treats its text.
const short SEND_COMPOSE = 1;  // user text: "/" commands and chat lines
const short SEND_RAW = 2;      // protocol text, sent unchanged

// nGameState
const short GAME_OFF = 0;       // chat mode, game window hidden
const short GAME_IDLE = 1;      // game mode, no opponent
const short GAME_INVITING = 2;  // invitation sent to szPartner
const short GAME_PLAYING = 3;   // a game against szPartner is on

// What a server says of itself in its 005 lines, kept with the server's name
// for the next connection to it: a taken nickname is refused during
// registration, before this server's 005 of the connection comes.
struct ServerFeatures {
    TextField szServer = {};  // the szIRCServer they were learned from; empty: none learned
    short nNickLength = 0;    // NICKLEN; 0 when not given
    // PREFIX: the channel member modes and their marks, highest first.
    char szMemberModes[16] = "qaohv";
    char szMemberMarks[16] = "~&@%+";
};

// CTCP requests are answered at most this many in a row, and then one a
// second, so that a flood of them cannot get the user disconnected for
// flooding.
const short CTCP_ANSWER_BURST = 3;
const unsigned CTCP_ANSWER_INTERVAL_MS = 1000;

struct ClientState {
    // Settings, filled by ReadSettings and the Setup dialog.
    TextField szNickname = {};
    TextField szRealname = {};
    TextField szPassword = {};
    TextField szIRCServer = {};
    TextField szIRCPort = {};
    int bShowList = 1;
    int bTLS = 0;  // connect with TLS: "Secure connection (TLS)"
    int nPingSeconds = DEFAULT_PING_SECONDS;  // silence before a PING of ours; 0: never
    // The account to log in to with SASL while registering; none when empty.
    TextField szSaslAccount = {};
    TextField szSaslPassword = {};
    int bReconnect = 1;  // connect again by itself after a drop

    // Connection and conversation.
    int bConnected = 0;
    SOCKET sockServer = INVALID_SOCKET;
    short nSendMode = SEND_RAW;
    // The nickname of the settings while a connection goes by another: the
    // server refused it at registration, or the user renamed himself.
    // szNickname gets it back when the connection ends.
    TextField szChosenNickname = {};
    int bRegistered = 0;  // the server has welcomed us on this connection
    int bMotdEnded = 0;   // the end of the MOTD (or its absence) has come on this connection
    ServerFeatures features;
    TextField szHostName = {};
    TextField szChannel = {};
    TextField szPartner = {};
    short nGameState = GAME_OFF;
    char* pTCP_Input_Buffer = nullptr;
    char* pLine_Buffer = nullptr;
    short nCtcpAnswersLeft = CTCP_ANSWER_BURST;
    unsigned nCtcpAnswerTick = 0;  // the tick count from which the next answer is earned

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
