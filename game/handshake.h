// Game mode and the invitation handshake between two clients.
#pragma once

// Chat mode becomes game mode with an empty board, any game state becomes
// chat mode; the window is laid out again. Joining and leaving the game
// channel switch it.
void ToggleGameMode();

// The nick list's selection: in chat mode it starts or ends a private
// conversation with the person selected; in game mode it invites them, or
// leaves the game with the partner.
void OnNickListSelect();

// A game message ("!" and a letter) from szSender; nLetter is the index of
// the letter in the whole received line.
void HandleGameMessage(const char* szSender, const char* szLine, short nLetter);

// The partner has left the channel or the server: the private conversation
// or the game with them ends.
void OnPartnerDeparture();
