#include "irc/login.h"

#include <cstring>

#include "irc/client_state.h"
#include "irc/connection_state.h"
#include "irc/text.h"
#include "irc/transmit.h"

namespace {

enum LoginStep { LOGIN_NONE, LOGIN_LISTING, LOGIN_REQUESTED, LOGIN_AUTHENTICATING };

struct LoginState {
    LoginStep nStep = LOGIN_NONE;
    bool bSasl = false;         // the server offers sasl
    bool bPlain = false;        // with PLAIN among its mechanisms, or with no list
    bool bMultiPrefix = false;  // the server offers multi-prefix
};

LoginState login;

// The server cuts an AUTHENTICATE's text into lines of this many characters.
const size_t AUTHENTICATE_PIECE = 400;

const short RPL_WELCOME = 1;
const short ERR_UNKNOWNCOMMAND = 421;
const short RPL_LOGGEDIN = 900;
const short ERR_NICKLOCKED = 902;
const short RPL_SASLSUCCESS = 903;
const short ERR_SASLFAIL = 904;
const short ERR_SASLTOOLONG = 905;
const short ERR_SASLABORTED = 906;
const short RPL_SASLMECHS = 908;

void Fail(const char* szReason)
{
    login.nStep = LOGIN_NONE;
    if (connection.nEndAsked != END_NONE) return;
    connection.nEndAsked = END_LOGIN_REFUSED;
    TextBuilder(connection.szEndDetail, sizeof connection.szEndDetail).Add("SASL login failed: ").Add(szReason);
}

void Finish()
{
    login.nStep = LOGIN_NONE;
    SendRaw("CAP END\r\n");
}

// Whether the word of nLen characters at pWord is the capability szName,
// with or without a value ("sasl" or "sasl=PLAIN,EXTERNAL").
bool IsCapability(const char* pWord, size_t nLen, const char* szName, const char*& pValue)
{
    size_t nName = std::strlen(szName);
    if (nLen < nName || std::strncmp(pWord, szName, nName) != 0) return false;
    if (nLen == nName) {
        pValue = nullptr;
        return true;
    }
    pValue = pWord + nName + 1;
    return pWord[nName] == '=';
}

// Whether PLAIN is among the comma-separated mechanisms up to pEnd.
bool OffersPlain(const char* pList, const char* pEnd)
{
    while (pList < pEnd) {
        const char* pComma = pList;
        while (pComma < pEnd && *pComma != ',') ++pComma;
        if (pComma - pList == 5 && std::strncmp(pList, "PLAIN", 5) == 0) return true;
        pList = pComma + 1;
    }
    return false;
}

void NoteOffered(const char* pList)
{
    for (const char* p = pList; !IsLineEnd(*p);) {
        size_t nLen = 0;
        while (p[nLen] != ' ' && !IsLineEnd(p[nLen])) ++nLen;
        const char* pValue;
        if (IsCapability(p, nLen, "sasl", pValue)) {
            login.bSasl = true;
            login.bPlain = pValue == nullptr || OffersPlain(pValue, p + nLen);
        } else if (IsCapability(p, nLen, "multi-prefix", pValue)) {
            login.bMultiPrefix = true;
        }
        p += nLen;
        while (*p == ' ') ++p;
    }
}

void AfterListing()
{
    if (!login.bSasl) return Fail("the server does not offer SASL");
    if (!login.bPlain) return Fail("the server does not offer the PLAIN mechanism");
    login.nStep = LOGIN_REQUESTED;
    SendRaw(login.bMultiPrefix ? "CAP REQ :sasl multi-prefix\r\n" : "CAP REQ :sasl\r\n");
}

// The Base64 of nLen bytes into szOut, which holds 4 * ((nLen + 2) / 3) + 1.
void EncodeBase64(const unsigned char* pData, size_t nLen, char* szOut)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    size_t nOut = 0;
    for (size_t i = 0; i < nLen; i += 3) {
        unsigned nGroup = pData[i] << 16;
        if (i + 1 < nLen) nGroup |= pData[i + 1] << 8;
        if (i + 2 < nLen) nGroup |= pData[i + 2];
        szOut[nOut++] = kDigits[(nGroup >> 18) & 63];
        szOut[nOut++] = kDigits[(nGroup >> 12) & 63];
        szOut[nOut++] = i + 1 < nLen ? kDigits[(nGroup >> 6) & 63] : '=';
        szOut[nOut++] = i + 2 < nLen ? kDigits[nGroup & 63] : '=';
    }
    szOut[nOut] = '\0';
}

// account NUL account NUL password, in Base64, in lines of 400 characters;
// a text that fills its last line whole is followed by "AUTHENTICATE +".
void SendCredentials()
{
    unsigned char pPlain[3 * TEXT_FIELD_SIZE];
    size_t nAccount = std::strlen(client.szSaslAccount), nPassword = std::strlen(client.szSaslPassword);
    std::memcpy(pPlain, client.szSaslAccount, nAccount + 1);
    std::memcpy(pPlain + nAccount + 1, client.szSaslAccount, nAccount + 1);
    std::memcpy(pPlain + 2 * nAccount + 2, client.szSaslPassword, nPassword);
    char szEncoded[4 * TEXT_FIELD_SIZE + 1];
    EncodeBase64(pPlain, 2 * nAccount + 2 + nPassword, szEncoded);
    std::memset(pPlain, 0, sizeof pPlain);
    size_t nEncoded = std::strlen(szEncoded);
    for (size_t nAt = 0; nAt <= nEncoded; nAt += AUTHENTICATE_PIECE) {
        size_t nPiece = nEncoded - nAt < AUTHENTICATE_PIECE ? nEncoded - nAt : AUTHENTICATE_PIECE;
        char szLine[32 + AUTHENTICATE_PIECE];
        TextBuilder line(szLine, sizeof szLine);
        line.Add("AUTHENTICATE ");
        if (nPiece == 0)
            line.Add("+");
        else
            line.Add(szEncoded + nAt, nPiece);
        SendRaw(line.Add("\r\n").Text());
        if (nPiece < AUTHENTICATE_PIECE) break;
    }
    std::memset(szEncoded, 0, sizeof szEncoded);
}

// The trailing text of a numeric: what the server says of it.
const char* Trailing(const ServerLine& line, TextField& szText)
{
    short nPos = line.nPos, nEnd;
    while (!IsLineEnd(line.szLine[nPos]) && !(line.szLine[nPos] == ':' && line.szLine[nPos - 1] == ' ')) ++nPos;
    if (line.szLine[nPos] == ':') ++nPos;
    nEnd = nPos;
    SkipToReturn(line.szLine, nEnd);
    CopyField(szText, line.szLine + nPos, static_cast<size_t>(nEnd - nPos));
    return szText;
}

// ":srv 900 nick nick!user@host account :You are now logged in as account"
void ShowLoggedIn(const ServerLine& line)
{
    short nPos = line.nPos;
    for (int i = 0; i < 2; ++i) {
        SkipWord(line.szLine, nPos);
        SkipBlanks(line.szLine, nPos);
    }
    TextField szAccount;
    TakeWord(line.szLine, nPos, szAccount);
    ShowPieces({"<KELVA> Logged in as ", szAccount, "\r\n"});
}

}  // namespace

void BeginLogin()
{
    login = LoginState();
    if (client.szSaslAccount[0] == '\0') return;
    login.nStep = LOGIN_LISTING;
    SendRaw("CAP LS 302\r\n");
}

void OnCap(ServerLine& line)
{
    const char* s = line.szLine;
    short nPos = line.nPos;
    for (int i = 0; i < 2; ++i) {  // past "CAP" and the target
        SkipWord(s, nPos);
        SkipBlanks(s, nPos);
    }
    TextField szSub;
    TakeWord(s, nPos, szSub);
    SkipBlanks(s, nPos);
    // "CAP * LS * :..." is continued on the next line.
    bool bMore = s[nPos] == '*' && s[nPos + 1] == ' ';
    if (bMore) {
        nPos += 2;
        SkipBlanks(s, nPos);
    }
    if (s[nPos] == ':') ++nPos;
    if (login.nStep == LOGIN_LISTING && std::strcmp(szSub, "LS") == 0) {
        NoteOffered(s + nPos);
        if (!bMore) AfterListing();
    } else if (login.nStep == LOGIN_REQUESTED && std::strcmp(szSub, "ACK") == 0) {
        login.nStep = LOGIN_AUTHENTICATING;
        SendRaw("AUTHENTICATE PLAIN\r\n");
    } else if (login.nStep == LOGIN_REQUESTED && std::strcmp(szSub, "NAK") == 0) {
        Fail("the server refused the capability sasl");
    } else {
        ShowWhole(line);
    }
}

// "AUTHENTICATE +" or "AUTHENTICATE :+": the server waits for the credentials.
void OnAuthenticate(ServerLine& line)
{
    const char* s = line.szLine;
    short nPos = line.nPos, nEnd;
    SkipWord(s, nPos);
    SkipBlanks(s, nPos);
    FindParameter(s, nPos, nEnd);
    if (login.nStep == LOGIN_AUTHENTICATING && nEnd == nPos + 1 && s[nPos] == '+') SendCredentials();
}

bool TakeLoginNumeric(ServerLine& line)
{
    if (line.nNumeric == RPL_LOGGEDIN) {
        ShowLoggedIn(line);
        return true;
    }
    if (login.nStep == LOGIN_NONE) return false;
    TextField szText;
    switch (line.nNumeric) {
    case RPL_WELCOME: login.nStep = LOGIN_NONE; return false;  // a server that ignored CAP
    case ERR_UNKNOWNCOMMAND:
        if (login.nStep != LOGIN_LISTING) return false;
        login.nStep = LOGIN_NONE;  // a server without CAP registers as it always did
        return true;
    case RPL_SASLSUCCESS: Finish(); return true;
    case ERR_NICKLOCKED:
    case ERR_SASLFAIL:
    case ERR_SASLTOOLONG:
    case ERR_SASLABORTED:
    case RPL_SASLMECHS: Fail(Trailing(line, szText)); return true;
    default: return false;
    }
}
