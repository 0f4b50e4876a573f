// Every resource and command id, shared by kelva.rc and the code.
#pragma once

// Main window commands (WM_COMMAND word parameter).
#define IDC_NICKLIST 1
#define IDC_SEND 1001
#define IDC_CLOSELIST 1002
#define IDM_EXIT 40001
#define IDM_ABOUT 40009
#define IDM_HELP 40012
#define IDM_SETUP 40016
#define IDM_CONNECT 40017
#define IDM_LIST 40018
// The nick list's selection change: IDC_NICKLIST with LBN_SELCHANGE (1).
#define IDC_NICKLIST_SELCHANGE 65537

// The buttons that end a message dialog.
#define IDOK_BUTTON 1
#define IDCANCEL_BUTTON 2
#define IDYES_BUTTON 6
#define IDNO_BUTTON 7

// Dialog controls.
#define IDC_CHANNELLIST 1005
#define IDC_MSGTEXT 1006
#define IDC_SETUP_NICKNAME 1000
#define IDC_SETUP_REALNAME 1001
#define IDC_SETUP_PASSWORD 1002
#define IDC_SETUP_SERVER 1003
#define IDC_SETUP_PORT 1004
#define IDC_SETUP_SHOWLIST 1007
#define IDC_SETUP_TLS 1008
#define IDC_SETUP_SASL_ACCOUNT 1009
#define IDC_SETUP_SASL_PASSWORD 1010

// String table: the prompts of the message dialogs.
#define IDS_PLAY_GAME 1
#define IDS_DISCONNECT 2
#define IDS_LEAVE_GAME 3
#define IDS_SETUP_CONNECTED 4
#define IDS_NOT_CONNECTED 5
#define IDS_ERROR 6
#define IDS_FILE_ERROR 7
