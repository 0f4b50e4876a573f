#include "irc/server_features.h"

#include <cstring>

#include "irc/client_state.h"
#include "irc/text.h"

namespace {

// "PREFIX=(ohv)@%+": the modes, and after them as many marks.
void TakePrefix(const char* pValue, size_t nLen)
{
    const char* pClose = static_cast<const char*>(std::memchr(pValue, ')', nLen));
    if (nLen < 2 || pValue[0] != '(' || pClose == nullptr) return;
    size_t nModes = static_cast<size_t>(pClose - pValue - 1);
    size_t nMarks = nLen - nModes - 2;
    ServerFeatures& f = client.features;
    if (nModes != nMarks || nModes >= sizeof f.szMemberModes) return;
    std::memcpy(f.szMemberModes, pValue + 1, nModes);
    f.szMemberModes[nModes] = '\0';
    std::memcpy(f.szMemberMarks, pClose + 1, nMarks);
    f.szMemberMarks[nMarks] = '\0';
}

void TakeNickLength(const char* pValue, size_t nLen)
{
    int nLength = 0;
    for (size_t i = 0; i < nLen; ++i) {
        if (pValue[i] < '0' || pValue[i] > '9' || nLength > TEXT_FIELD_SIZE) return;
        nLength = nLength * 10 + (pValue[i] - '0');
    }
    if (nLength > 0 && nLength < TEXT_FIELD_SIZE) client.features.nNickLength = static_cast<short>(nLength);
}

void TakeToken(const char* pToken, size_t nLen)
{
    static const char szPrefix[] = "PREFIX=", szNickLen[] = "NICKLEN=";
    const size_t nPrefix = sizeof szPrefix - 1, nNickLen = sizeof szNickLen - 1;
    if (nLen > nPrefix && std::strncmp(pToken, szPrefix, nPrefix) == 0) TakePrefix(pToken + nPrefix, nLen - nPrefix);
    if (nLen > nNickLen && std::strncmp(pToken, szNickLen, nNickLen) == 0)
        TakeNickLength(pToken + nNickLen, nLen - nNickLen);
}

}  // namespace

void OnFeatures(ServerLine& line)
{
    CopyField(client.features.szServer, client.szIRCServer);
    const char* s = line.szLine;
    short nPos = line.nPos;
    SkipField(s, nPos, ':');  // past the target
    // Shown as every numeric is, from behind its target.
    ShowPieces({s + nPos});
    while (!IsLineEnd(s[nPos]) && s[nPos] != ':') {
        short nStart = nPos;
        SkipWord(s, nPos);
        TakeToken(s + nStart, static_cast<size_t>(nPos - nStart));
        SkipBlanks(s, nPos);
    }
}

int MarkRank(char cMark)
{
    const char* pMark = cMark != '\0' ? std::strchr(client.features.szMemberMarks, cMark) : nullptr;
    return pMark != nullptr ? static_cast<int>(pMark - client.features.szMemberMarks) : -1;
}

void KeepHighestMark(TextField& szName)
{
    size_t nMarks = 0;
    while (MarkRank(szName[nMarks]) >= 0) ++nMarks;
    if (nMarks > 1) std::memmove(szName + 1, szName + nMarks, std::strlen(szName + nMarks) + 1);
}
