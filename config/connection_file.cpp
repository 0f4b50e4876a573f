// The connection file: SERVER, PORT and CHANNEL, each found anywhere in the
// file's first 255 bytes, case-sensitively, and followed by blanks and one
// word. There is no "=" here: one written after a key begins the value.
// TLS, followed by 1 or 0, turns the secure connection on or off.
#include "config/connection_file.h"

#include <cstdio>
#include <cstring>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/text.h"
#include "irc/seam.h"
#include "resources/resource.h"

namespace {

const size_t CONNECTION_READ_LIMIT = TEXT_FIELD_SIZE - 1;

struct ConnectionKey {
    const char* szKey;
    TextField ClientState::*pField;
};

const ConnectionKey kKeys[] = {
    {"SERVER", &ClientState::szIRCServer},
    {"PORT", &ClientState::szIRCPort},
    {"CHANNEL", &ClientState::szChannel},
};

// A word here holds only the bytes 33 to 127.
bool InWord(char c)
{
    unsigned char b = static_cast<unsigned char>(c);
    return b > ' ' && b < 128;
}

// The word after the key's first occurrence; false when the key is missing.
bool FindWord(const char* szText, const char* szKey, TextField& szWord)
{
    const char* pKey = std::strstr(szText, szKey);
    if (pKey == nullptr) return false;
    const char* pValue = pKey + std::strlen(szKey);
    short nPos = 0;
    SkipBlanks(pValue, nPos);
    pValue += nPos;
    size_t nLen = 0;
    while (InWord(pValue[nLen])) ++nLen;
    CopyField(szWord, pValue, nLen);
    return true;
}

// Any other word leaves the setting as it is.
void TakeTLS(const char* szText)
{
    TextField szWord;
    if (!FindWord(szText, "TLS", szWord)) return;
    if (std::strcmp(szWord, "1") == 0) client.bTLS = 1;
    if (std::strcmp(szWord, "0") == 0) client.bTLS = 0;
}

}  // namespace

void ParseConnectionText(const char* szText)
{
    for (const ConnectionKey& key : kKeys) {
        TextField szWord;
        if (FindWord(szText, key.szKey, szWord)) CopyField(client.*key.pField, szWord);
    }
    TakeTLS(szText);
}

void ReadConnectionFile(const char* szFileName)
{
    std::FILE* pFile = std::fopen(szFileName, "rb");
    if (pFile == nullptr) {
        ShowMessageDialog(client.hMainWnd, szFileName, "Opps...", IDS_FILE_ERROR);
        return;
    }
    char szText[CONNECTION_READ_LIMIT + 1];
    size_t nRead = std::fread(szText, 1, CONNECTION_READ_LIMIT, pFile);
    // A file that cannot be read counts as empty: the settings are used as
    // they stand.
    szText[std::ferror(pFile) ? 0 : nRead] = '\0';
    std::fclose(pFile);

    ParseConnectionText(szText);
    ConnectToServer();
}
