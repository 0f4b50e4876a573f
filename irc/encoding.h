// Text on the wire is bytes; on screen it is UTF-16. Servers carry UTF-8,
// and old clients still send the Western code page: a text that is valid
// UTF-8 is read as UTF-8, any other text, as a whole, as Windows-1252. The
// core keeps working on the bytes; the windows decode them once, on the way
// in, and what the user types is encoded as UTF-8 on the way out.
#pragma once

#include <cstddef>

// A UTF-16 code unit, as the Windows wide-character functions take it.
typedef char16_t WideChar;

// Valid UTF-8: the shortest form of each character, no surrogate halves,
// nothing past U+10FFFF. Control characters and NUL are valid.
bool IsUtf8(const char* pText, size_t nLen);

// The text's characters, as UTF-8 when it is valid UTF-8, otherwise every
// byte as Windows-1252 (whose five unassigned bytes stand for the control
// characters of the same number). pOut has room for nLen units: no text
// takes more units than it has bytes. No NUL is added; returns the units.
size_t DecodeText(const char* pText, size_t nLen, WideChar* pOut);

// UTF-16 as UTF-8, a lone surrogate half as U+FFFD. Stops before the first
// character that does not fit into nRoom bytes with a NUL, which is always
// added (nRoom at least 1). Returns the bytes, the NUL not counted.
size_t EncodeUtf8(const WideChar* pText, size_t nLen, char* pOut, size_t nRoom);

// The text as UTF-8, converted from Windows-1252 when it is not valid UTF-8;
// as EncodeUtf8, cut before a character that does not fit, NUL-terminated.
size_t ToUtf8(const char* pText, size_t nLen, char* pOut, size_t nRoom);

// Where to cut the text to at most nMax bytes without splitting a UTF-8
// character: nLen when it is no longer, otherwise nMax or the start of the
// valid UTF-8 sequence that nMax would split. Bytes that are not UTF-8 are
// cut where they stand.
size_t Utf8CutLength(const char* pText, size_t nLen, size_t nMax);
