// The input line's keys beside Enter: Up and Down walk through the lines
// sent, Tab completes a nickname from the nick list.
#pragma once

#include <cstddef>

#include "irc/text.h"

// The input line takes 510 characters: with "\r\n", one protocol line. As
// UTF-8 each takes at most three bytes.
const int INPUT_LIMIT = 510;
const size_t INPUT_TEXT_SIZE = 3 * INPUT_LIMIT + 1;
typedef char InputText[INPUT_TEXT_SIZE];

const int HISTORY_LINES = 100;

// The last lines sent, in a ring, and how far back the walk has gone.
struct InputHistory {
    InputText lines[HISTORY_LINES];
    int nCount = 0;
    int nNewest = -1;
    int nShown = -1;  // lines back from the newest; -1 while the line being written is shown
    InputText szWriting = "";
};

// A line sent from the input line, a command as well as a chat line; an
// empty one is not kept. The walk starts again at the line being written.
void RememberSentLine(InputHistory& history, const char* szLine);
// Up: the line sent before the one shown; szShown is what the input line
// holds, kept as the line being written when the walk begins there. nullptr
// when no older line is kept.
const char* RecallOlderLine(InputHistory& history, const char* szShown);
// Down: the line sent after the one shown, and after the newest the line
// being written; nullptr while that is shown.
const char* RecallNewerLine(InputHistory& history);

// What the last Tab left, so that the next one goes on from it.
struct NickCompletion {
    InputText szLeft = "";
    size_t nLeftCaret = 0;
    size_t nWordStart = 0;
    TextField szTyped = {};  // the word as the user typed it
    short nMatch = -1;       // the nick list entry it was completed with
};

// Tab: the word before the caret (nCaret, a byte offset into szText)
// becomes the first entry of the nick list, in list order, that begins with
// it, ASCII case ignored and the entry's status marks ("@", "+") left out;
// at the start of the line ": " follows it. When the text and the caret are
// what the last completion left, the next entry that matches the word typed
// then takes its place, round to the first after the last. The new text goes
// to szOut and the caret after the name; false, with the caret and the
// completion unchanged, when no entry matches or the result would not fit.
bool CompleteNickname(NickCompletion& completion, const char* szText, size_t& nCaret, InputText& szOut);
