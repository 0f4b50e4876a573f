#include "config/trust_file.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "config/whole_file.h"
#include "irc/text.h"

namespace {

const char szTrustFile[] = "kelva-certs.txt";

// Far more servers than anyone trusts by hand; a longer file is read as far
// as this, and what lies beyond is forgotten at the next write.
const size_t TRUST_READ_LIMIT = 32768;

struct TrustLine {
    const char* pKey;  // "server:port"
    size_t nKeyLen;
    const char* pFingerprint;
    size_t nLineLen;  // up to and including the LF, or the end of the text
};

bool IsFingerprint(const char* p, size_t nLen)
{
    if (nLen != FINGERPRINT_SIZE - 1) return false;
    for (size_t i = 0; i < nLen; ++i) {
        bool bColon = i % 3 == 2;
        unsigned char c = static_cast<unsigned char>(p[i]);
        if (bColon ? c != ':' : !(std::isdigit(c) || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

// Reads the line at pLine: false when it is not a server, a blank and a
// fingerprint.
bool ReadLine(const char* pLine, TrustLine& line)
{
    size_t nEnd = std::strcspn(pLine, "\n");
    line.nLineLen = nEnd + (pLine[nEnd] == '\n' ? 1 : 0);
    size_t nText = nEnd > 0 && pLine[nEnd - 1] == '\r' ? nEnd - 1 : nEnd;
    const char* pBlank = static_cast<const char*>(std::memchr(pLine, ' ', nText));
    if (pBlank == nullptr || pBlank == pLine) return false;
    line.pKey = pLine;
    line.nKeyLen = static_cast<size_t>(pBlank - pLine);
    line.pFingerprint = pBlank + 1;
    return std::memchr(pLine, ':', line.nKeyLen) != nullptr &&
           IsFingerprint(line.pFingerprint, nText - line.nKeyLen - 1);
}

void MakeKey(TextField& szKey, const char* szServer, const char* szPort)
{
    TextBuilder(szKey, sizeof szKey).Add(szServer).Add(":").Add(szPort);
}

bool SameKey(const TrustLine& line, const char* szKey)
{
    return std::strlen(szKey) == line.nKeyLen && CompareNoCase(line.pKey, szKey, static_cast<unsigned>(line.nKeyLen)) == 0;
}

// Calls visit for every readable line, in order.
template <typename Visit>
void ForEachLine(const char* szText, Visit visit)
{
    for (const char* p = szText; *p != '\0';) {
        TrustLine line;
        if (ReadLine(p, line)) visit(line);
        p += line.nLineLen;
    }
}

// The file's text; empty when it is missing or cannot be read. A NUL byte
// in a damaged file ends its line, not the text.
void ReadTrustFile(char* szText)
{
    szText[0] = '\0';
    std::FILE* pFile = std::fopen(szTrustFile, "rb");
    if (pFile == nullptr) return;
    size_t nRead = std::fread(szText, 1, TRUST_READ_LIMIT, pFile);
    if (std::ferror(pFile)) nRead = 0;
    std::fclose(pFile);
    for (size_t i = 0; i < nRead; ++i)
        if (szText[i] == '\0') szText[i] = '\n';
    szText[nRead] = '\0';
}

}  // namespace

TrustAnswer FindTrust(const char* szText, const char* szServer, const char* szPort, const char* szFingerprint)
{
    TextField szKey;
    MakeKey(szKey, szServer, szPort);
    TrustAnswer nAnswer = TRUST_UNKNOWN;
    ForEachLine(szText, [&](const TrustLine& line) {
        if (!SameKey(line, szKey) || nAnswer == TRUST_SAME) return;
        bool bSame = std::strncmp(line.pFingerprint, szFingerprint, FINGERPRINT_SIZE - 1) == 0;
        nAnswer = bSame ? TRUST_SAME : TRUST_CHANGED;
    });
    return nAnswer;
}

bool PutTrust(const char* szText, const char* szServer, const char* szPort, const char* szFingerprint, char* szOut,
              size_t nSize)
{
    TextField szKey;
    MakeKey(szKey, szServer, szPort);
    TextBuilder out(szOut, nSize);
    size_t nWanted = 0;
    auto add = [&](const char* p, size_t nLen) {
        out.Add(p, nLen);
        nWanted += nLen;
    };
    ForEachLine(szText, [&](const TrustLine& line) {
        if (SameKey(line, szKey)) return;
        add(line.pKey, line.nKeyLen + 1 + FINGERPRINT_SIZE - 1);
        add("\r\n", 2);
    });
    add(szKey, std::strlen(szKey));
    add(" ", 1);
    add(szFingerprint, std::strlen(szFingerprint));
    add("\r\n", 2);
    return nWanted < nSize;
}

TrustAnswer LookUpTrust(const char* szServer, const char* szPort, const char* szFingerprint)
{
    static char szText[TRUST_READ_LIMIT + 1];
    ReadTrustFile(szText);
    return FindTrust(szText, szServer, szPort, szFingerprint);
}

bool RememberTrust(const char* szServer, const char* szPort, const char* szFingerprint)
{
    static char szText[TRUST_READ_LIMIT + 1];
    static char szNew[TRUST_READ_LIMIT + 2 * TEXT_FIELD_SIZE];
    ReadTrustFile(szText);
    if (!PutTrust(szText, szServer, szPort, szFingerprint, szNew, sizeof szNew)) return false;
    const char* pPieces[] = {szNew};
    return WriteWholeFile(szTrustFile, pPieces, 1);
}
