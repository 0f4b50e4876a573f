// The game board window (Win32): its procedure hands the game's messages to
// the client's game and draws the board with GDI. Every pen and brush lives
// for one drawing: created, selected, used, selected out and deleted.
#include "win32/game_window.h"

#include "game/client_game.h"
#include "irc/client_state.h"
#include "irc/seam.h"

const WCHAR szGameWindowClass[] = L"KELVA Game Window";

namespace {

const COLORREF RGB_BLACK = RGB(0, 0, 0);
const COLORREF RGB_WHITE = RGB(255, 255, 255);
const COLORREF RGB_YELLOW = RGB(255, 255, 0);
const COLORREF RGB_RED = RGB(255, 0, 0);

// The disc of radius r around intersection (x, y), in the brush and pen
// selected into hdc.
void Disc(HDC hdc, short x, short y, int r)
{
    int s = viewSizes.nSpacing;
    Ellipse(hdc, x * s - r, y * s - r, x * s + r, y * s + r);
}

// A disc with a solid brush of its own, the outline in the pen selected.
void FilledDisc(HDC hdc, short x, short y, int r, COLORREF color)
{
    HBRUSH hBrush = CreateSolidBrush(color);
    HGDIOBJ hOldBrush = SelectObject(hdc, hBrush);
    Disc(hdc, x, y, r);
    SelectObject(hdc, hOldBrush);
    DeleteObject(hBrush);
}

void Stone(HDC hdc, short x, short y, short nColor)
{
    if (nColor == STONE_BLACK)
        FilledDisc(hdc, x, y, viewSizes.nStoneRadius, RGB_BLACK);
    else
        Disc(hdc, x, y, viewSizes.nStoneRadius);  // the default brush: white, black outline
}

void Marker(HDC hdc, short x, short y) { FilledDisc(hdc, x, y, viewSizes.nMarkerRadius, RGB_YELLOW); }

void WinLine(HDC hdc, BoardPoint ptStart, BoardPoint ptEnd)
{
    int s = viewSizes.nSpacing;
    HPEN hPen = CreatePen(PS_SOLID, 3, RGB_RED);
    HGDIOBJ hOldPen = SelectObject(hdc, hPen);
    MoveToEx(hdc, ptStart.x * s, ptStart.y * s, nullptr);
    LineTo(hdc, ptEnd.x * s, ptEnd.y * s);
    SelectObject(hdc, hOldPen);
    DeleteObject(hPen);
}

void Grid(HDC hdc)
{
    int s = viewSizes.nSpacing;
    for (int i = 1; i <= BOARD_LINES; ++i) {
        MoveToEx(hdc, s, i * s, nullptr);
        LineTo(hdc, BOARD_LINES * s + 1, i * s);
        MoveToEx(hdc, i * s, s, nullptr);
        LineTo(hdc, i * s, BOARD_LINES * s + 1);
    }
}

void StonesOf(HDC hdc, short nColor)
{
    for (short x = 1; x <= BOARD_LINES; ++x)
        for (short y = 1; y <= BOARD_LINES; ++y)
            if (BoardCell(gameClient.board, x, y) == nColor) Disc(hdc, x, y, viewSizes.nStoneRadius);
}

// Grid, white stones, black stones, marker, winning line: what the moves
// have drawn one by one, from the board as it stands.
LRESULT OnPaint(HWND hWnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    const Board& board = gameClient.board;
    Grid(hdc);
    StonesOf(hdc, STONE_WHITE);
    HBRUSH hBlack = CreateSolidBrush(RGB_BLACK);
    HGDIOBJ hOldBrush = SelectObject(hdc, hBlack);
    StonesOf(hdc, STONE_BLACK);
    SelectObject(hdc, hOldBrush);
    DeleteObject(hBlack);
    if (board.ptLastMove.x != 0 && board.ptLastMove.y != 0) Marker(hdc, board.ptLastMove.x, board.ptLastMove.y);
    if (gameClient.record.nGameResult == MOVE_FIVE) WinLine(hdc, board.ptWinStart, board.ptWinEnd);
    EndPaint(hWnd, &ps);
    return 0;
}

LRESULT OnSize(LPARAM lParam)
{
    OnBoardSize(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

LRESULT OnLeftButtonDown(LPARAM lParam)
{
    OnBoardClick(LOWORD(lParam), HIWORD(lParam));
    return 0;
}

}  // namespace

LRESULT CALLBACK GoMokuWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_SIZE: return OnSize(lParam);
    case WM_PAINT: return OnPaint(hWnd);
    case WM_LBUTTONDOWN: return OnLeftButtonDown(lParam);
    }
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// The drawing requests of a move, at once on the visible board.

void DrawStone(short x, short y, short nColor)
{
    HDC hdc = GetDC(client.hGameWnd);
    Stone(hdc, x, y, nColor);
    ReleaseDC(client.hGameWnd, hdc);
}

void DrawMarker(short x, short y)
{
    HDC hdc = GetDC(client.hGameWnd);
    Marker(hdc, x, y);
    ReleaseDC(client.hGameWnd, hdc);
}

// The stone beneath the marker is always the opponent's. On a white one a
// white pen paints out the marker's outline too.
void EraseMarker(short x, short y)
{
    HDC hdc = GetDC(client.hGameWnd);
    if (gameClient.record.nMyColor == STONE_WHITE) {
        FilledDisc(hdc, x, y, viewSizes.nMarkerRadius, RGB_BLACK);
    } else {
        HPEN hPen = CreatePen(PS_SOLID, 1, RGB_WHITE);
        HGDIOBJ hOldPen = SelectObject(hdc, hPen);
        Disc(hdc, x, y, viewSizes.nMarkerRadius);
        SelectObject(hdc, hOldPen);
        DeleteObject(hPen);
    }
    ReleaseDC(client.hGameWnd, hdc);
}

void DrawWinLine(short xStart, short yStart, short xEnd, short yEnd)
{
    HDC hdc = GetDC(client.hGameWnd);
    WinLine(hdc, {xStart, yStart}, {xEnd, yEnd});
    ReleaseDC(client.hGameWnd, hdc);
}

void InvalidateBoard()
{
    RECT rc;
    SetRect(&rc, 0, 0, viewSizes.nBoardWidth, viewSizes.nBoardHeight);
    InvalidateRect(client.hGameWnd, &rc, TRUE);
}
