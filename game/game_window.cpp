#include "game/game_window.h"

const char szGameWindowClass[] = "KELVA Game Window";

// The board itself is drawn and played here once the game is built; until
// then the window accepts its two messages and leaves its background plain.
LRESULT CALLBACK GoMokuWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case GWM_RESET:
    case GWM_COMMAND:
        return 0;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
