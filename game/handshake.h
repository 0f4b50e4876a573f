// Game mode and the invitation handshake between two clients.
#pragma once

// The main window's IDC_GAMEMODE: chat mode becomes game mode with an empty
// board, any game state becomes chat mode; the window is laid out again.
void ToggleGameMode();
