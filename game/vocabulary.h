// The words of the game between two players, as they travel: a PRIVMSG
// whose text is "!" and a letter, perhaps followed by numbers. The client's
// handshake and play logic, its outgoing text and the computer opponent all
// speak it from here.
#pragma once

// The mark that makes a message a game message in game mode.
const char GAME_MARK = '!';

// The letters after the mark.
const char LETTER_INVITE = 'I';
const char LETTER_ACCEPT = 'A';
const char LETTER_DECLINE = 'D';
const char LETTER_LEAVE = 'L';
const char LETTER_BUSY_PLAYING = 'P';   // the busy replies: playing somebody else,
const char LETTER_BUSY_INVITING = 'W';  // or waiting for the answer of somebody else invited
const char LETTER_COIN = 'C';           // the coin toss: "!C n"
const char LETTER_MOVE = 'M';           // a stone: "!M x y"
const char LETTER_CLEAR = 'R';          // the finished board cleared: the next game begins

inline bool IsBusyReply(char cLetter) { return cLetter == LETTER_BUSY_PLAYING || cLetter == LETTER_BUSY_INVITING; }

// A message that is its letter alone, as sent, "\r\n" included.
struct LetterMessage {
    char szText[5];
};
constexpr LetterMessage MessageOf(char cLetter) { return {{GAME_MARK, cLetter, '\r', '\n', '\0'}}; }

// The messages with numbers: a coin of COIN_RANGE values, 0 to 32767, which
// the peer reads back as a signed 16-bit number; and a move to (x, y).
const unsigned COIN_RANGE = 32768;
const char szCoinFormat[] = "!C %u\r\n";
const char szMoveFormat[] = "!M %d %d\r\n";

// The channel where players meet on the default server, and its key.
const char szGameChannel[] = "#Go-Moku";
const char szGameChannelKey[] = "KELVA";
