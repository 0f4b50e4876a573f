#include "win32/input_keys.h"

#include <cstring>
#include <string>

#include "shell/input_line.h"
#include "win32/wide_text.h"

namespace {

InputHistory history;
NickCompletion completion;

std::wstring InputTextWide(HWND hInput)
{
    std::wstring sText(static_cast<size_t>(GetWindowTextLengthW(hInput)) + 1, L'\0');
    sText.resize(static_cast<size_t>(GetWindowTextW(hInput, &sText[0], static_cast<int>(sText.size()))));
    return sText;
}

// The first nUnits UTF-16 units of a text as UTF-8 bytes.
std::string AsUtf8(const std::wstring& sText, size_t nUnits)
{
    std::string sOut(3 * nUnits + 1, '\0');
    Narrow(sText.c_str(), nUnits, &sOut[0], sOut.size());
    sOut.resize(std::strlen(sOut.c_str()));
    return sOut;
}

void ShowInInput(HWND hInput, const char* szText, size_t nCaretBytes)
{
    SetWindowTextW(hInput, Widen(szText).c_str());
    std::string sBefore(szText, nCaretBytes);
    WPARAM nCaret = static_cast<WPARAM>(Widen(sBefore.c_str()).size());
    SendMessageW(hInput, EM_SETSEL, nCaret, static_cast<LPARAM>(nCaret));
}

void Recall(HWND hInput, bool bOlder)
{
    const char* szLine;
    if (bOlder) {
        std::wstring sShown = InputTextWide(hInput);
        szLine = RecallOlderLine(history, AsUtf8(sShown, sShown.size()).c_str());
    } else {
        szLine = RecallNewerLine(history);
    }
    if (szLine != nullptr) ShowInInput(hInput, szLine, std::strlen(szLine));
}

void Complete(HWND hInput)
{
    std::wstring sWide = InputTextWide(hInput);
    DWORD nSelEnd = 0;
    SendMessageW(hInput, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&nSelEnd));
    size_t nUnits = nSelEnd < sWide.size() ? nSelEnd : sWide.size();
    std::string sText = AsUtf8(sWide, sWide.size());
    size_t nCaret = AsUtf8(sWide, nUnits).size();
    InputText szCompleted;
    if (CompleteNickname(completion, sText.c_str(), nCaret, szCompleted)) ShowInInput(hInput, szCompleted, nCaret);
}

}  // namespace

bool OnInputKey(HWND hInput, UINT uMsg, WPARAM wParam)
{
    if (uMsg == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN)) {
        Recall(hInput, wParam == VK_UP);
        return true;
    }
    if (uMsg == WM_CHAR && wParam == '\t') {
        Complete(hInput);
        return true;
    }
    return false;
}

void RememberTypedLine(const char* szTyped) { RememberSentLine(history, szTyped); }
