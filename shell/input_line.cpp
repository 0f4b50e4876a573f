#include "shell/input_line.h"

#include <cstring>

#include "irc/seam.h"
#include "irc/server_features.h"

void RememberSentLine(InputHistory& history, const char* szLine)
{
    history.nShown = -1;
    history.szWriting[0] = '\0';
    if (szLine[0] == '\0') return;
    history.nNewest = (history.nNewest + 1) % HISTORY_LINES;
    TextBuilder(history.lines[history.nNewest], INPUT_TEXT_SIZE).Add(szLine);
    if (history.nCount < HISTORY_LINES) ++history.nCount;
}

namespace {

const char* LineBack(const InputHistory& history, int nBack)
{
    return history.lines[(history.nNewest - nBack + HISTORY_LINES) % HISTORY_LINES];
}

}  // namespace

const char* RecallOlderLine(InputHistory& history, const char* szShown)
{
    if (history.nShown + 1 >= history.nCount) return nullptr;
    if (history.nShown == -1) TextBuilder(history.szWriting, INPUT_TEXT_SIZE).Add(szShown);
    return LineBack(history, ++history.nShown);
}

const char* RecallNewerLine(InputHistory& history)
{
    if (history.nShown == -1) return nullptr;
    --history.nShown;
    return history.nShown == -1 ? history.szWriting : LineBack(history, history.nShown);
}

namespace {

// The nick of a nick list entry, past its channel status marks (the
// server's own, as the nick list shows them).
const char* NickOf(const char* szEntry)
{
    while (MarkRank(*szEntry) >= 0) ++szEntry;
    return szEntry;
}

// The entry after nAfter, round the list, whose nick begins with the word;
// -1 when none does.
short NextMatch(const char* szWord, short nAfter, TextField& szNick)
{
    short nCount = NickListCount();
    unsigned nLen = static_cast<unsigned>(std::strlen(szWord));
    for (short i = 1; i <= nCount; ++i) {
        short nIndex = static_cast<short>((nAfter + i) % nCount);
        TextField szEntry;
        if (!NickListGetAt(nIndex, szEntry)) continue;
        const char* pNick = NickOf(szEntry);
        if (CompareNoCase(pNick, szWord, nLen) == 0) {
            CopyField(szNick, pNick);
            return nIndex;
        }
    }
    return -1;
}

}  // namespace

bool CompleteNickname(NickCompletion& completion, const char* szText, size_t& nCaret, InputText& szOut)
{
    bool bAgain = completion.nMatch >= 0 && nCaret == completion.nLeftCaret &&
                  std::strcmp(szText, completion.szLeft) == 0;
    size_t nWordStart = completion.nWordStart;
    TextField szTyped;
    if (bAgain) {
        CopyField(szTyped, completion.szTyped);
    } else {
        for (nWordStart = nCaret; nWordStart > 0 && szText[nWordStart - 1] != ' ';) --nWordStart;
        if (nWordStart == nCaret || nCaret - nWordStart >= TEXT_FIELD_SIZE) return false;
        CopyField(szTyped, szText + nWordStart, nCaret - nWordStart);
    }
    TextField szNick;
    short nMatch = NextMatch(szTyped, bAgain ? completion.nMatch : -1, szNick);
    if (nMatch < 0) return false;
    const char* szAfterNick = nWordStart == 0 ? ": " : "";
    size_t nNewCaret = nWordStart + std::strlen(szNick) + std::strlen(szAfterNick);
    if (nNewCaret + std::strlen(szText + nCaret) >= INPUT_TEXT_SIZE) return false;

    TextBuilder(szOut, INPUT_TEXT_SIZE).Add(szText, nWordStart).Add(szNick).Add(szAfterNick).Add(szText + nCaret);

    TextBuilder(completion.szLeft, INPUT_TEXT_SIZE).Add(szOut);
    completion.nLeftCaret = nCaret = nNewCaret;
    completion.nWordStart = nWordStart;
    CopyField(completion.szTyped, szTyped);
    completion.nMatch = nMatch;
    return true;
}
