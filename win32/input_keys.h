// The input line's Up, Down and Tab (Win32): the history of the lines sent
// and the completion of nicknames, over the portable logic of
// shell/input_line.h.
#pragma once

#include <windows.h>

// Whether the input line's message is one of these keys, which has then
// been carried out and must not reach the edit control.
bool OnInputKey(HWND hInput, UINT uMsg, WPARAM wParam);

// What the input line held when Enter sent it, for Up to bring back.
void RememberTypedLine(const char* szTyped);
