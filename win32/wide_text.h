// The core's texts in the wide-character windows (Win32). The core keeps
// bytes (what the server sent, UTF-8 for what the user typed); every window
// of the program is a Unicode window and takes UTF-16 (see irc/encoding.h).
#pragma once

#include <windows.h>

#include <string>

#include "irc/encoding.h"

static_assert(sizeof(WCHAR) == sizeof(WideChar), "a UTF-16 code unit is a WCHAR");

inline const WCHAR* AsWide(const WideChar* pText) { return reinterpret_cast<const WCHAR*>(pText); }

// The text decoded: UTF-8 when it is, otherwise Windows-1252.
std::wstring Widen(const char* szText);

// UTF-16 from a window as the core's UTF-8, NUL-terminated, cut before the
// first character that does not fit into nRoom bytes.
void Narrow(const WCHAR* pText, size_t nLen, char* pOut, size_t nRoom);

// A window's text as UTF-8, as Narrow cuts it.
void GetWindowTextUtf8(HWND hWnd, char* pOut, size_t nRoom);
