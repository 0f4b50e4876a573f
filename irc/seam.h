// The seam: what the protocol and game code ask of the windows, in their own
// words. The portable core owns this header and is its only caller; the Win32
// shell implements each operation in a line or two over the real controls
// (win32/seam_win32.cpp and the window modules beside it), and the native
// tests link a fake that records the calls (tests/fake/fake_seam.cpp). Keep it
// narrow: an operation exists because a caller in the core needs it.
#pragma once

#include "irc/client_state.h"
#include "irc/platform.h"

// Output pane: shows the text as it is; callers put in their own "\r\n".
void AppendOutput(const char* szText);
// Puts the caret at the end of the output pane and scrolls it into view.
void ScrollOutputToEnd();

// Nick list: a list box that keeps its entries sorted.
void NickListRemoveAll();
void NickListAdd(const char* szName);
// The first entry that is exactly the name, ASCII case ignored; -1 if none.
short NickListFindExact(const char* szName);
void NickListDeleteAt(short nIndex);
// The entry at nIndex becomes szName, in its sorted place; a selected entry
// stays selected.
void NickListRename(short nIndex, const char* szName);
void NickListClearSelection();
// The selected entry's text, cut to 255 characters; false when none is selected.
bool NickListGetSelected(TextField& szName);
// Selects the first entry that begins with the name, ASCII case ignored.
void NickListSelectName(const char* szName);
// The entries in list order, for completing a nickname being typed.
short NickListCount();
// The entry at nIndex, cut to 255 characters; false when there is none.
bool NickListGetAt(short nIndex, TextField& szName);

// Main window.
void SetMainTitle(const char* szTitle);
// Lays the main window out again for the current nGameState, at its last size.
void LayoutMainWindow();
// The Connect menu item's check mark and the Connect button's label:
// "Connect" without the mark, "Disconnect" with it, or "Cancel" without it
// while an attempt to connect runs.
const int CONTROLS_DISCONNECTED = 0;
const int CONTROLS_CONNECTED = 1;
const int CONTROLS_CONNECTING = 2;
void SetConnectionControls(int nControls);
void FocusInputLine();
// Something has come that is for the user (a private message, his nickname
// in the channel, a game invitation): while the main window is not the
// foreground window its taskbar button flashes until it is activated.
void AskForAttention();
// Runs the modal Setup dialog.
void RunSetupDialog();

// Game window.
void ShowGameWindow(int bShow);

// The board view, drawing at once on the visible board while a stone goes
// down: a stone of a colour, the last-move marker, the marker painted over
// in the colour of the opponent's stone beneath it, the winning line between
// two intersections.
void DrawStone(short x, short y, short nColor);
void DrawMarker(short x, short y);
void EraseMarker(short x, short y);
void DrawWinLine(short xStart, short yStart, short xEnd, short yEnd);
// The whole board is to be painted again, background first.
void InvalidateBoard();

// The system's simple beep: a click or a move that is not accepted, and the
// opponent's move.
void SystemBeep();
// Milliseconds since the system started: the coin toss's seed, and the
// TLS handshake's time limit.
unsigned TickCount();
// Seconds since 1970-01-01 00:00 UTC: the time of day, for the CTCP TIME
// answer.
long long CurrentTime();

// Connecting without making the window wait. Looks the name up with
// LookUpServerName away from the window thread, and hands the outcome to
// OnServerNameResolved with the attempt's number, on the window thread.
void ResolveServerName(unsigned nAttempt, const char* szName);
// Watches the socket, before its non-blocking connect begins, and hands the
// connect's outcome to OnConnectDone, on the window thread.
void WatchConnect(SOCKET sock);

// Channel list dialog: created modeless, titled "Loading Channel List...";
// null when it cannot be created.
HWND OpenChannelList();
void ChannelListEmpty();
void ChannelListAddRow(const char* szRow);
void ChannelListSetTitle(const char* szTitle);

// A modal question or notice: the prompt is string nStringId with the
// subject in place of its "%s". Returns the button that ended it:
// IDOK_BUTTON, IDYES_BUTTON, IDNO_BUTTON or IDCANCEL_BUTTON (dismissed).
short ShowMessageDialog(HWND hOwner, const char* szSubject, const char* szTitle, int nStringId);
// The modal question titled "Certificate", owned by the main window, with
// Yes and No: whether to trust a certificate. Returns 6 (Yes) or 7 (No, or
// dismissed). The text may be longer than a field.
short ShowCertificateQuestion(const char* szQuestion);
