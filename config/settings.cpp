// "kelva.ini": read once at start, rewritten whole on Setup's OK.
//
// The reader does not parse lines. It finds each key anywhere in the text,
// case-sensitively, then reads: blanks, at most one "=", blanks, a value.
// So keys may come in any order, with or without "=", with other text around.
#include "config/settings.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "config/whole_file.h"
#include "irc/client_state.h"
#include "irc/encoding.h"
#include "irc/text.h"
#include "irc/seam.h"
#include "resources/resource.h"

namespace {

const char szSettingsFile[] = "kelva.ini";

// The longest file WriteSettings makes is 170 bytes of keys and line ends
// plus seven fields of 255 characters. The reader takes at least that much,
// so a long realname or server cannot push the later keys out of reach.
const size_t SETTINGS_READ_LIMIT = 2048;
static_assert(SETTINGS_READ_LIMIT >= 170 + 7 * (TEXT_FIELD_SIZE - 1), "the reader must see a whole written file");

// The Setup dialog keeps a nickname to this many bytes.
const size_t SETUP_NICKNAME_LENGTH = 9;
// Each Setup edit yields at most this many characters.
const size_t SETUP_EDIT_LENGTH = TEXT_FIELD_SIZE - 2;

enum ValueRule {
    VALUE_WORD,  // up to a byte of 32 or less
    VALUE_LINE,  // up to a CR, LF or NUL
};

struct TextSetting {
    const char* szKey;
    TextField ClientState::*pField;
    const char* szDefault;
    ValueRule nRule;
};

const TextSetting kTextSettings[] = {
    {"Nickname", &ClientState::szNickname, "Ravkel", VALUE_WORD},
    {"Realname", &ClientState::szRealname, "Saint Ravkel de France", VALUE_LINE},
    {"Password", &ClientState::szPassword, "", VALUE_WORD},
    {"IRCServer", &ClientState::szIRCServer, szDefaultServer, VALUE_WORD},
    {"IRCPort", &ClientState::szIRCPort, "6667", VALUE_WORD},
    // Written only when set: a file without them, and an earlier version
    // reading one with them, both go on as before.
    {"SaslAccount", &ClientState::szSaslAccount, "", VALUE_WORD},
    {"SaslPassword", &ClientState::szSaslPassword, "", VALUE_LINE},
};

const char szShowListKey[] = "ShowList";
// Absent in files written before TLS came: those connect in plain text.
const char szTLSKey[] = "TLS";
// Not in Setup: the file alone sets it, and it is written only when it
// differs from the default, so a file written with the defaults stays as it
// always was.
const char szPingSecondsKey[] = "PingSeconds";
// Written only as "Reconnect=0", the one value that is not the default.
const char szReconnectKey[] = "Reconnect";

// Bytes of 128 and above belong to a word, so a nickname or password typed
// with them reads back as it was written.
bool EndsWord(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool EndsLine(char c) { return c == '\0' || c == '\r' || c == '\n'; }
// The flag's word keeps tabs: only these end it.
bool EndsFlag(char c) { return c == ' ' || EndsLine(c); }

size_t ValueLength(const char* pValue, bool (*pfnEnds)(char))
{
    size_t nLen = 0;
    while (!pfnEnds(pValue[nLen])) ++nLen;
    return nLen;
}

// Where the value of the key's first occurrence begins, or null when the key
// is not in the text. A key behind a letter is the end of another key
// ("Password" in "SaslPassword").
const char* FindValue(const char* szText, const char* szKey)
{
    const char* pKey = std::strstr(szText, szKey);
    while (pKey != nullptr && pKey > szText && std::isalpha(static_cast<unsigned char>(pKey[-1])))
        pKey = std::strstr(pKey + 1, szKey);
    if (pKey == nullptr) return nullptr;
    const char* pAfter = pKey + std::strlen(szKey);
    short nPos = 0;
    SkipBlanks(pAfter, nPos);
    if (pAfter[nPos] == '=') ++nPos;
    SkipBlanks(pAfter, nPos);
    return pAfter + nPos;
}

// An empty word is TRUE; so is any word that is not a leading part of
// "FALSE" (F, FA, ... FALSE give FALSE; false, FALSEST, 0 and NO do not).
int ReadFlag(const char* pValue)
{
    size_t nLen = ValueLength(pValue, EndsFlag);
    if (nLen == 0) return 1;
    return std::strncmp(pValue, "FALSE", nLen) == 0 ? 0 : 1;
}

// A number of seconds up to a day; anything else is the default.
int ReadPingSeconds(const char* pValue)
{
    size_t nLen = ValueLength(pValue, EndsWord);
    if (nLen == 0 || nLen > 5) return DEFAULT_PING_SECONDS;
    int nSeconds = 0;
    for (size_t i = 0; i < nLen; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(pValue[i]))) return DEFAULT_PING_SECONDS;
        nSeconds = nSeconds * 10 + (pValue[i] - '0');
    }
    return nSeconds <= MAX_PING_SECONDS ? nSeconds : DEFAULT_PING_SECONDS;
}

}  // namespace

void ParseSettings(const char* szText)
{
    for (const TextSetting& setting : kTextSettings) {
        TextField& szField = client.*setting.pField;
        const char* pValue = FindValue(szText, setting.szKey);
        if (pValue == nullptr) {
            CopyField(szField, setting.szDefault);
            continue;
        }
        // A file of an earlier version holds the Western code page.
        ToUtf8(pValue, ValueLength(pValue, setting.nRule == VALUE_WORD ? EndsWord : EndsLine), szField,
               TEXT_FIELD_SIZE);
    }
    const char* pFlag = FindValue(szText, szShowListKey);
    client.bShowList = pFlag == nullptr ? 1 : ReadFlag(pFlag);
    const char* pTLS = FindValue(szText, szTLSKey);
    client.bTLS = pTLS != nullptr && *pTLS == '1' ? 1 : 0;
    const char* pPing = FindValue(szText, szPingSecondsKey);
    client.nPingSeconds = pPing == nullptr ? DEFAULT_PING_SECONDS : ReadPingSeconds(pPing);
    const char* pReconnect = FindValue(szText, szReconnectKey);
    client.bReconnect = pReconnect != nullptr && *pReconnect == '0' ? 0 : 1;
}

void ReadSettings()
{
    char szText[SETTINGS_READ_LIMIT + 1];
    szText[0] = '\0';
    std::FILE* pFile = std::fopen(szSettingsFile, "rb");
    if (pFile != nullptr) {
        size_t nRead = std::fread(szText, 1, SETTINGS_READ_LIMIT, pFile);
        // A file that cannot be read counts as missing: every default.
        szText[std::ferror(pFile) ? 0 : nRead] = '\0';
        std::fclose(pFile);
    }
    ParseSettings(szText);
}

void WriteSettings()
{
    char szPingLine[32] = "";
    if (client.nPingSeconds != DEFAULT_PING_SECONDS)
        std::snprintf(szPingLine, sizeof szPingLine, "%s=%d\r\n", szPingSecondsKey, client.nPingSeconds);
    bool bAccount = client.szSaslAccount[0] != '\0', bAccountPassword = client.szSaslPassword[0] != '\0';
    const char* pPieces[] = {
        "[KELVA]\r\n",
        "Nickname=",
        client.szNickname,
        "\r\nRealname=",
        client.szRealname,
        "\r\nPassword=",
        client.szPassword,
        "\r\nIRCServer=",
        client.szIRCServer,
        "\r\nIRCPort=",
        client.szIRCPort,
        client.bShowList ? "\r\nShowList=TRUE" : "\r\nShowList=FALSE",
        client.bTLS ? "\r\nTLS=1" : "\r\nTLS=0",
        "\r\n",
        szPingLine,
        bAccount ? "SaslAccount=" : "",
        bAccount ? client.szSaslAccount : "",
        bAccount ? "\r\n" : "",
        bAccountPassword ? "SaslPassword=" : "",
        bAccountPassword ? client.szSaslPassword : "",
        bAccountPassword ? "\r\n" : "",
        client.bReconnect ? "" : "Reconnect=0\r\n",
    };
    // The settings stay in memory for this run either way.
    if (!WriteWholeFile(szSettingsFile, pPieces, sizeof pPieces / sizeof pPieces[0]))
        ShowMessageDialog(client.hMainWnd, szSettingsFile, "Opps...", IDS_FILE_ERROR);
}

namespace {

void CopyEditText(TextField& szField, const char* szText)
{
    CopyField(szField, szText, Utf8CutLength(szText, std::strlen(szText), SETUP_EDIT_LENGTH));
}

}  // namespace

void StoreSetupValues(const SetupValues& values)
{
    CopyEditText(client.szNickname, values.szNickname);
    for (char* pChar = client.szNickname; *pChar != '\0'; ++pChar)
        if (*pChar == ' ') *pChar = '_';
    // Servers count a nickname's length in bytes.
    client.szNickname[Utf8CutLength(client.szNickname, std::strlen(client.szNickname), SETUP_NICKNAME_LENGTH)] = '\0';

    CopyEditText(client.szRealname, values.szRealname);
    CopyEditText(client.szPassword, values.szPassword);
    CopyEditText(client.szIRCServer, values.szIRCServer);
    CopyEditText(client.szIRCPort, values.szIRCPort);
    CopyEditText(client.szSaslAccount, values.szSaslAccount);
    CopyEditText(client.szSaslPassword, values.szSaslPassword);
    client.bShowList = values.bShowList ? 1 : 0;
    client.bTLS = values.bTLS ? 1 : 0;
}

const char* PortForTLS(const char* szPort, int bTLS)
{
    if (bTLS && std::strcmp(szPort, "6667") == 0) return "6697";
    if (!bTLS && std::strcmp(szPort, "6697") == 0) return "6667";
    return szPort;
}
