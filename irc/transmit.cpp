#include "irc/transmit.h"

#include <cstdio>
#include <cstring>

#include "irc/client_state.h"
#include "irc/seam.h"
#include "irc/text.h"
#include "irc/transport.h"

void SendRaw(const char* szLine)
{
    int nLen = static_cast<int>(std::strlen(szLine));
    if (TransportSend(szLine, nLen) == SOCKET_ERROR) {
        char szError[64];
        std::snprintf(szError, sizeof szError, "Error: send() = %d\r\n", WSAGetLastError());
        AppendOutput(szError);
    }
}

const char* ConversationTarget() { return client.szPartner[0] != '\0' ? client.szPartner : client.szChannel; }

void SendMessageTo(const char* szTarget, const char* szText)
{
    char szLine[MAX_LINE_LENGTH + 1];
    TextBuilder(szLine, sizeof szLine).Add("PRIVMSG ").Add(szTarget).Add(" :").Add(szText);
    SendRaw(szLine);
}

void SendToConversation(const char* szText) { SendMessageTo(ConversationTarget(), szText); }
