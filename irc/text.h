// The scanners every parser of the program is built from. Each walks a
// NUL-terminated text from a signed 16-bit position that the caller holds,
// moves it forward in place, and never moves it past the terminating NUL.
#pragma once

#include <cstddef>

// Every text field holds at most 255 characters and its NUL.
const int TEXT_FIELD_SIZE = 256;
typedef char TextField[TEXT_FIELD_SIZE];

void SkipBlanks(const char* szText, short& nPos);     // over spaces only
void SkipWord(const char* szText, short& nPos);       // to a blank, CR, LF or NUL
void SkipToNewline(const char* szText, short& nPos);  // to an LF or NUL
void SkipToReturn(const char* szText, short& nPos);   // to a CR, LF or NUL

// CR, LF or the NUL: where a line's text ends.
inline bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// Decimal digits from the position, modulo 65536, as a signed 16-bit value;
// 0 without moving when no digit stands there.
short ReadNumber(const char* szText, short& nPos);

// SkipWord, SkipBlanks, then one step over c if it stands there.
void SkipField(const char* szText, short& nPos, char c);

// 0 when the first n characters of a and b agree, ASCII letter case ignored,
// or when both texts end at the same place before that; a prefix test.
// n of 0 compares nothing and counts as a difference.
short CompareNoCase(const char* a, const char* b, unsigned n);

// Copies at most nLen bytes of pSrc, stopping at its NUL, into a text field,
// and at most the 255 the field holds, without splitting a UTF-8 character
// there; always NUL-terminates.
void CopyField(TextField& szDest, const char* pSrc, size_t nLen = static_cast<size_t>(-1));

// The word at nPos, up to a blank, CR, LF or NUL, cut to the 255 characters
// a field holds; the position moves past the whole word.
void TakeWord(const char* szText, short& nPos, TextField& szWord);

// The parameter of a server line at nPos: behind a ":" the trailing
// parameter, to the line end; otherwise a middle one, to the next blank.
// nPos is left on its first character (past the ":"), nEnd after its last;
// they are equal when there is none.
void FindParameter(const char* szText, short& nPos, short& nEnd);

// Builds a text in a buffer of fixed size: pieces are added one after the
// other, and whatever would pass the end of the buffer is dropped, from the
// first UTF-8 character that does not fit whole.
class TextBuilder {
public:
    TextBuilder(char* pBuffer, size_t nSize);
    TextBuilder& Add(const char* szPiece);
    TextBuilder& Add(const char* pPiece, size_t nLen);
    void Truncate(size_t nLen);
    size_t Length() const { return m_nLen; }
    const char* Text() const { return m_pBuffer; }

private:
    char* m_pBuffer;
    size_t m_nSize;
    size_t m_nLen;
};
