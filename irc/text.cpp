#include "irc/text.h"

#include <cstring>

#include "irc/encoding.h"

namespace {

bool IsWordEnd(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\0'; }

// Bytes are compared as signed 8-bit values; only A to Z are folded.
int Fold(char c)
{
    signed char s = static_cast<signed char>(c);
    return (s >= 'A' && s <= 'Z') ? s + ('a' - 'A') : s;
}

}  // namespace

void SkipBlanks(const char* szText, short& nPos)
{
    while (szText[nPos] == ' ') ++nPos;
}

void SkipWord(const char* szText, short& nPos)
{
    while (!IsWordEnd(szText[nPos])) ++nPos;
}

void SkipToNewline(const char* szText, short& nPos)
{
    while (szText[nPos] != '\n' && szText[nPos] != '\0') ++nPos;
}

void SkipToReturn(const char* szText, short& nPos)
{
    while (szText[nPos] != '\r' && szText[nPos] != '\n' && szText[nPos] != '\0') ++nPos;
}

short ReadNumber(const char* szText, short& nPos)
{
    unsigned nValue = 0;
    while (szText[nPos] >= '0' && szText[nPos] <= '9') {
        nValue = (nValue * 10 + static_cast<unsigned>(szText[nPos] - '0')) & 0xFFFFu;
        ++nPos;
    }
    return static_cast<short>(nValue >= 0x8000u ? static_cast<int>(nValue) - 0x10000 : static_cast<int>(nValue));
}

void SkipField(const char* szText, short& nPos, char c)
{
    SkipWord(szText, nPos);
    SkipBlanks(szText, nPos);
    if (szText[nPos] == c && c != '\0') ++nPos;
}

short CompareNoCase(const char* a, const char* b, unsigned n)
{
    if (n == 0) return 1;
    unsigned i = 0;
    while (i < n && a[i] != '\0' && b[i] != '\0' && Fold(a[i]) == Fold(b[i])) ++i;
    if (i == n) --i;
    return static_cast<short>(Fold(b[i]) - Fold(a[i]));
}

void CopyField(TextField& szDest, const char* pSrc, size_t nLen)
{
    // Far enough past the field's end to see a character that it would split.
    const size_t nLookAhead = TEXT_FIELD_SIZE + 2;
    size_t nCopied = Utf8CutLength(pSrc, strnlen(pSrc, nLen < nLookAhead ? nLen : nLookAhead), TEXT_FIELD_SIZE - 1);
    std::memmove(szDest, pSrc, nCopied);
    szDest[nCopied] = '\0';
}

void TakeWord(const char* szText, short& nPos, TextField& szWord)
{
    short nStart = nPos;
    SkipWord(szText, nPos);
    CopyField(szWord, szText + nStart, static_cast<size_t>(nPos - nStart));
}

void FindParameter(const char* szText, short& nPos, short& nEnd)
{
    bool bTrailing = szText[nPos] == ':';
    if (bTrailing) ++nPos;
    nEnd = nPos;
    if (bTrailing)
        SkipToReturn(szText, nEnd);
    else
        SkipWord(szText, nEnd);
}

TextBuilder::TextBuilder(char* pBuffer, size_t nSize) : m_pBuffer(pBuffer), m_nSize(nSize), m_nLen(0)
{
    m_pBuffer[0] = '\0';
}

TextBuilder& TextBuilder::Add(const char* szPiece) { return Add(szPiece, std::strlen(szPiece)); }

TextBuilder& TextBuilder::Add(const char* pPiece, size_t nLen)
{
    nLen = strnlen(pPiece, nLen);
    size_t nRoom = m_nSize - 1 - m_nLen;
    if (nLen > nRoom) nLen = Utf8CutLength(pPiece, nLen, nRoom);
    std::memcpy(m_pBuffer + m_nLen, pPiece, nLen);
    m_nLen += nLen;
    m_pBuffer[m_nLen] = '\0';
    return *this;
}

void TextBuilder::Truncate(size_t nLen)
{
    if (nLen < m_nLen) {
        m_nLen = nLen;
        m_pBuffer[m_nLen] = '\0';
    }
}
