#include "irc/encoding.h"

namespace {

// Windows-1252's characters for the bytes 0x80 to 0x9F; the rest of the
// code page is Latin-1, each byte the character of its own number.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const char32_t REPLACEMENT_CHARACTER = 0xFFFD;

unsigned char Byte(const char* p, size_t i) { return static_cast<unsigned char>(p[i]); }

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

char16_t Cp1252Char(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b; }

// The length of the valid UTF-8 sequence at i, 0 when there is none. The
// second byte's range rules out overlong forms, surrogates and what lies
// past U+10FFFF.
size_t SequenceAt(const char* p, size_t nLen, size_t i)
{
    unsigned char b = Byte(p, i);
    if (b < 0x80) return 1;
    size_t nBytes;
    unsigned char nLow = 0x80, nHigh = 0xBF;
    if (b >= 0xC2 && b <= 0xDF)
        nBytes = 2;
    else if (b >= 0xE0 && b <= 0xEF)
        nBytes = 3;
    else if (b >= 0xF0 && b <= 0xF4)
        nBytes = 4;
    else
        return 0;
    if (b == 0xE0) nLow = 0xA0;
    if (b == 0xED) nHigh = 0x9F;
    if (b == 0xF0) nLow = 0x90;
    if (b == 0xF4) nHigh = 0x8F;
    if (nLen - i < nBytes) return 0;
    if (Byte(p, i + 1) < nLow || Byte(p, i + 1) > nHigh) return 0;
    for (size_t k = 2; k < nBytes; ++k)
        if (!IsContinuation(Byte(p, i + k))) return 0;
    return nBytes;
}

// The character of a valid sequence of nBytes at p.
char32_t CodePoint(const char* p, size_t nBytes)
{
    static const unsigned char kLeadBits[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = Byte(p, 0) & kLeadBits[nBytes];
    for (size_t k = 1; k < nBytes; ++k) c = (c << 6) | (Byte(p, k) & 0x3F);
    return c;
}

size_t PutUtf16(char32_t c, WideChar* pOut)
{
    if (c < 0x10000) {
        pOut[0] = static_cast<WideChar>(c);
        return 1;
    }
    c -= 0x10000;
    pOut[0] = static_cast<WideChar>(0xD800 + (c >> 10));
    pOut[1] = static_cast<WideChar>(0xDC00 + (c & 0x3FF));
    return 2;
}

// Appends the character's UTF-8 bytes when they fit with the final NUL.
bool PutUtf8(char32_t c, char* pOut, size_t& nAt, size_t nRoom)
{
    size_t nBytes = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    if (nAt + nBytes >= nRoom) return false;
    if (nBytes == 1) {
        pOut[nAt++] = static_cast<char>(c);
        return true;
    }
    static const unsigned char kLeads[5] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (size_t k = nBytes; k-- > 0;) {
        unsigned char nBits = static_cast<unsigned char>(k == 0 ? kLeads[nBytes] | c : 0x80 | (c & 0x3F));
        pOut[nAt + k] = static_cast<char>(nBits);
        c >>= 6;
    }
    nAt += nBytes;
    return true;
}

bool IsHighSurrogate(WideChar u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(WideChar u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

bool IsUtf8(const char* pText, size_t nLen)
{
    for (size_t i = 0; i < nLen;) {
        if (Byte(pText, i) < 0x80) {
            ++i;
            continue;
        }
        size_t nBytes = SequenceAt(pText, nLen, i);
        if (nBytes == 0) return false;
        i += nBytes;
    }
    return true;
}

size_t DecodeText(const char* pText, size_t nLen, WideChar* pOut)
{
    size_t nOut = 0;
    if (!IsUtf8(pText, nLen)) {
        for (size_t i = 0; i < nLen; ++i) pOut[nOut++] = Cp1252Char(Byte(pText, i));
        return nOut;
    }
    for (size_t i = 0; i < nLen;) {
        size_t nBytes = SequenceAt(pText, nLen, i);
        nOut += PutUtf16(CodePoint(pText + i, nBytes), pOut + nOut);
        i += nBytes;
    }
    return nOut;
}

size_t EncodeUtf8(const WideChar* pText, size_t nLen, char* pOut, size_t nRoom)
{
    size_t nAt = 0;
    for (size_t i = 0; i < nLen; ++i) {
        char32_t c = pText[i];
        if (IsHighSurrogate(pText[i]) && i + 1 < nLen && IsLowSurrogate(pText[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (pText[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(pText[i]) || IsLowSurrogate(pText[i])) {
            c = REPLACEMENT_CHARACTER;
        }
        if (!PutUtf8(c, pOut, nAt, nRoom)) break;
    }
    pOut[nAt] = '\0';
    return nAt;
}

size_t ToUtf8(const char* pText, size_t nLen, char* pOut, size_t nRoom)
{
    size_t nAt = 0;
    if (IsUtf8(pText, nLen)) {
        nAt = Utf8CutLength(pText, nLen, nRoom - 1);
        for (size_t i = 0; i < nAt; ++i) pOut[i] = pText[i];
    } else {
        for (size_t i = 0; i < nLen; ++i)
            if (!PutUtf8(Cp1252Char(Byte(pText, i)), pOut, nAt, nRoom)) break;
    }
    pOut[nAt] = '\0';
    return nAt;
}

size_t Utf8CutLength(const char* pText, size_t nLen, size_t nMax)
{
    if (nLen <= nMax) return nLen;
    if (!IsContinuation(Byte(pText, nMax))) return nMax;
    // The lead byte is at most three bytes back.
    for (size_t nBack = 1; nBack <= 3 && nBack <= nMax; ++nBack) {
        size_t nStart = nMax - nBack;
        if (IsContinuation(Byte(pText, nStart))) continue;
        return SequenceAt(pText, nLen, nStart) > nBack ? nStart : nMax;
    }
    return nMax;
}
