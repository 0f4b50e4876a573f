#include "shell/commands.h"

#include <cstring>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/encoding.h"
#include "irc/send.h"
#include "irc/text.h"
#include "resources/resource.h"
#include "irc/seam.h"

void OnConnectCommand()
{
    if (ConnectAttemptInProgress())
        Disconnect();
    else if (!client.bConnected)
        ConnectToServer();
    else if (ShowMessageDialog(client.hMainWnd, client.szIRCServer, "But wait...", IDS_DISCONNECT) == IDYES_BUTTON)
        Disconnect();
    FocusInputLine();
}

void OnSetupCommand()
{
    if (client.bConnected || ConnectAttemptInProgress())
        ShowMessageDialog(client.hMainWnd, "", "But wait...", IDS_SETUP_CONNECTED);
    else
        RunSetupDialog();
}

void OnListCommand()
{
    if (client.bConnected)
        SendText("/LIST\r\n");
    else
        ShowMessageDialog(client.hMainWnd, "", "But wait...", IDS_NOT_CONNECTED);
}

void JoinListedChannel(const char* szRow)
{
    short nEnd = 0;
    SkipWord(szRow, nEnd);
    char szJoin[8 + TEXT_FIELD_SIZE];
    TextBuilder(szJoin, sizeof szJoin).Add("/JOIN ").Add(szRow, static_cast<size_t>(nEnd)).Add("\r\n");
    SendText(szJoin);
}

void SendInputText(const char* szText)
{
    const char* pLine = szText;
    for (;;) {
        size_t nLen = std::strcspn(pLine, "\r\n");
        char szLine[MAX_LINE_LENGTH + 1];
        size_t nTaken = Utf8CutLength(pLine, nLen, MAX_LINE_LENGTH - 2u);
        TextBuilder(szLine, sizeof szLine).Add(pLine, nTaken).Add("\r\n");
        SendText(szLine);
        const char* pBreak = pLine + nLen;
        if (*pBreak == '\0') return;
        pLine = pBreak + (pBreak[0] == '\r' && pBreak[1] == '\n' ? 2 : 1);
        // A final line break ends the last line; it does not begin an empty one.
        if (*pLine == '\0') return;
    }
}

const char* CommandLineArgument(const char* szCommandLine)
{
    const char* p = szCommandLine;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (static_cast<unsigned char>(*p) > ' ') ++p;
    }
    while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
    return p;
}
