// The Windows side of connecting in the background: the look-up on a
// thread of its own and the connect watched by Winsock, each announcing its
// end to the main window with a message of its own.
#pragma once

#include "irc/platform.h"

// lParam: the look-up's outcome, handed over by OnNameLookedUp.
const UINT WM_SERVER_RESOLVED = WM_APP + 2;
// wParam: the socket; lParam: FD_CONNECT and its error.
const UINT WM_CONNECT_NOTIFY = WM_APP + 3;

LRESULT OnNameLookedUp(LPARAM lParam);
LRESULT OnConnectNotify(WPARAM wParam, LPARAM lParam);
