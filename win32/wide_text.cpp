#include "win32/wide_text.h"

#include <cstring>
#include <vector>

std::wstring Widen(const char* szText)
{
    size_t nBytes = std::strlen(szText);
    std::wstring sWide(nBytes, L'\0');
    if (nBytes > 0) sWide.resize(DecodeText(szText, nBytes, reinterpret_cast<WideChar*>(&sWide[0])));
    return sWide;
}

void Narrow(const WCHAR* pText, size_t nLen, char* pOut, size_t nRoom)
{
    EncodeUtf8(reinterpret_cast<const WideChar*>(pText), nLen, pOut, nRoom);
}

void GetWindowTextUtf8(HWND hWnd, char* pOut, size_t nRoom)
{
    std::vector<WCHAR> wide(static_cast<size_t>(GetWindowTextLengthW(hWnd)) + 1);
    int nLen = GetWindowTextW(hWnd, wide.data(), static_cast<int>(wide.size()));
    Narrow(wide.data(), static_cast<size_t>(nLen > 0 ? nLen : 0), pOut, nRoom);
}
