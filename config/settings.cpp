// "kelva.ini": read once at start, rewritten whole on Setup's OK.
//
// The reader does not parse lines. It finds each key anywhere in the text,
// case-sensitively, then reads: blanks, at most one "=", blanks, a value.
// So keys may come in any order, with or without "=", with other text around.
#include "config/settings.h"

#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "irc/client_state.h"
#include "irc/encoding.h"
#include "irc/text.h"
#include "irc/seam.h"

namespace {

const char szSettingsFile[] = "kelva.ini";

// The longest file WriteSettings makes is 80 bytes of keys and line ends
// plus five fields of 255 characters. The reader takes at least that much,
// so a long realname or server cannot push the later keys out of reach.
const size_t SETTINGS_READ_LIMIT = 2048;
static_assert(SETTINGS_READ_LIMIT >= 80 + 5 * (TEXT_FIELD_SIZE - 1), "the reader must see a whole written file");

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
};

const char szShowListKey[] = "ShowList";

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
// is not in the text.
const char* FindValue(const char* szText, const char* szKey)
{
    const char* pKey = std::strstr(szText, szKey);
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

namespace {

// The new file is written beside the old one and takes its place only when
// complete, so that a program killed while writing leaves one of the two
// whole, never a truncated "kelva.ini".
const char szSettingsTemp[] = "kelva.ini.tmp";

// Puts what was written on the disk before the file replaces the old one.
bool SyncFile(std::FILE* pFile)
{
#ifdef _WIN32
    return _commit(_fileno(pFile)) == 0;
#else
    return fsync(fileno(pFile)) == 0;
#endif
}

bool WritePieces(std::FILE* pFile)
{
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
        "\r\n",
    };
    bool bWritten = true;
    for (const char* pPiece : pPieces) {
        size_t nLen = std::strlen(pPiece);
        if (std::fwrite(pPiece, 1, nLen, pFile) != nLen) bWritten = false;
    }
    return std::fflush(pFile) == 0 && bWritten && SyncFile(pFile);
}

bool ReplaceSettingsFile()
{
#ifdef _WIN32
    return MoveFileExA(szSettingsTemp, szSettingsFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
    return std::rename(szSettingsTemp, szSettingsFile) == 0;
#endif
}

}  // namespace

void WriteSettings()
{
    std::FILE* pFile = std::fopen(szSettingsTemp, "wb");
    bool bDone = false;
    if (pFile != nullptr) {
        bool bWritten = WritePieces(pFile);
        bWritten = std::fclose(pFile) == 0 && bWritten;
        bDone = bWritten && ReplaceSettingsFile();
        if (!bDone) std::remove(szSettingsTemp);
    }
    // The settings stay in memory for this run either way.
    if (!bDone) ShowMessageDialog(client.hMainWnd, szSettingsFile, "Opps...", 7);
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
    client.bShowList = values.bShowList ? 1 : 0;
}
