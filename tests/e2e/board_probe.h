// The game board of a running kelva.exe, seen and clicked as a person
// would: by pixels of the visible window.
#pragma once

#include <string>

#include "probe.h"
#include "scenario_support.h"

// The client's game window ("KELVA Game Window", a child of the main window).
HWND BoardOf(const Client& c);
// The grid spacing the board is drawn at: a tenth of its shorter side.
int BoardSpacing(const Client& c);
// Clicks intersection (x, y), each 1 to 9.
void ClickIntersection(const Client& c, int x, int y);
// The same, returning once the client has handled the click and painted
// what it asked to be painted: for a click that is to change nothing.
void ClickIntersectionAndWait(const Client& c, int x, int y);
// The client position of the board where the probe reads intersection
// (x, y): 'b' for a black stone, beside its centre, off the grid lines (the
// background is white); 'w' for a white one, on the grid line beside its
// centre (the line is black): the line to the right, or, in the last
// column, where no line goes on, the line to the left; 'm' for the marker.
POINT SpotOf(const Client& c, int x, int y, char cWhat);
// Halfway between two intersections.
POINT MidwaySpot(const Client& c, int x1, int y1, int x2, int y2);
// The colour on the screen at a client position of the board, as 0xRRGGBB.
unsigned PixelOf(const Client& c, POINT pt);
// What stands at intersection (x, y): 'b' a black stone, 'w' a white one,
// '.' none. Read beside the centre, where the last-move marker does not reach.
char StoneAt(const Client& c, int x, int y);
// Waits until intersection (x, y) shows the stone ('.' for none).
bool WaitForStone(const Client& c, int x, int y, char cStone, DWORD nTimeoutMs = 10000);
// Whether the board's grid is on the screen: the lines black, the rest white.
bool BoardDrawn(const Client& c);
// Whether the red winning line runs between two neighbouring intersections.
bool WinLineBetween(const Client& c, int x1, int y1, int x2, int y2);
// Whether the yellow last-move marker is on intersection (x, y).
bool MarkerAt(const Client& c, int x, int y);

const unsigned PIXEL_BLACK = 0x000000, PIXEL_WHITE = 0xFFFFFF, PIXEL_RED = 0xFF0000, PIXEL_YELLOW = 0xFFFF00;

// The two main windows side by side on the screen, where the probe reads them.
void PlaceSideBySide(const Client& a, const Client& b);

// Two clients, started connected to the default server (the first through
// the relay when one is given; the second at nPortOfB when given, a server
// linked to the first; both with TLS when bTLS) and placed side by side, join
// the game channel; the first invites the second, who accepts, and the coin
// is tossed. The winner of the toss, who plays black, or nullptr on failure.
// The first client's settings get the further lines given.
const Client* MeetForAGame(Client& a, Client& b, const std::string& sScenario, int nPort, Relay* pRelay = nullptr,
                           int nPortOfB = 0, bool bTLS = false, const std::string& sMoreSettingsA = "");
// Black plays (2, 3) to (6, 3), white (2, 5) to (5, 5) in between, each
// stone checked on the other's board; black's fifth stone wins.
bool PlayRowToFive(const Client& black, const Client& white);
