#include "shell/layout.h"

namespace {

const int CHAT_STRIP = 100;  // the nick list on the right in chat mode
const int GAME_STRIP = 200;  // nick list, pane and input line beside the board
const int BUTTON_BAR = 30;   // the three buttons at the top left
const int INPUT_HEIGHT = 36;
const int GAME_NICKLIST_HEIGHT = 83;

}  // namespace

MainLayout ComputeLayout(int nWidth, int nHeight, int bGameMode)
{
    MainLayout layout;
    if (!bGameMode) {
        layout.rcNickList = {nWidth - CHAT_STRIP, 0, CHAT_STRIP, nHeight};
        layout.rcOutput = {0, BUTTON_BAR, nWidth - CHAT_STRIP, nHeight - 65};
        layout.rcInput = {0, nHeight - INPUT_HEIGHT, nWidth - CHAT_STRIP + 1, INPUT_HEIGHT};
        layout.rcGame = {0, 0, 0, 0};
    } else {
        int x = nWidth - GAME_STRIP;
        layout.rcNickList = {x, 0, GAME_STRIP, GAME_NICKLIST_HEIGHT};
        layout.rcOutput = {x, GAME_NICKLIST_HEIGHT - 1, GAME_STRIP, nHeight - 117};
        layout.rcInput = {x, nHeight - INPUT_HEIGHT, GAME_STRIP, INPUT_HEIGHT};
        layout.rcGame = {0, BUTTON_BAR, nWidth - GAME_STRIP + 1, nHeight - BUTTON_BAR};
    }
    return layout;
}

Placement CenterOnScreen(int cx, int cy, int cxFullScreen, int cyFullScreen, int cyMenu)
{
    return {(cxFullScreen - cx) / 2, (cyFullScreen + cyMenu - cy) / 2, cx, cy};
}

Placement MainWindowPlacement(int cxFullScreen, int cyFullScreen, int cyMenu)
{
    int cx = cxFullScreen < 640 ? cxFullScreen : 640;
    int cy = cyFullScreen + cyMenu < 480 ? cyFullScreen + cyMenu : 480;
    return CenterOnScreen(cx, cy, cxFullScreen, cyFullScreen, cyMenu);
}
