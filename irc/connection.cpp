#include "irc/connection.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "irc/client_state.h"
#include "irc/connect_attempt.h"
#include "irc/keepalive.h"
#include "irc/receive.h"
#include "irc/send.h"
#include "irc/text.h"
#include "irc/transport.h"
#include "irc/seam.h"
#include "kelva_version.h"
#include "resources/resource.h"

namespace {

const char szIdentification[] = "KELVA " KELVA_VERSION " 32\r\n";

void ShowStartupError(const char* szText) { ShowMessageDialog(nullptr, szText, "Error", IDS_ERROR); }

bool IsDefaultServer(const char* szServer)
{
    size_t nLen = std::strlen(szDefaultServer);
    return std::strlen(szServer) == nLen && nLen > 0 &&
           CompareNoCase(szServer, szDefaultServer, static_cast<unsigned>(nLen)) == 0;
}

void Register()
{
    CopyField(client.szChosenNickname, client.szNickname);
    client.bRegistered = 0;
    client.nSendMode = SEND_RAW;  // each piece goes out unchanged, one send each
    if (IsDefaultServer(client.szIRCServer)) SendText(szIdentification);
    if (client.szPassword[0] != '\0') {
        SendText("PASS ");
        SendText(client.szPassword);
        SendText("\r\n");
    }
    SendText("NICK ");
    SendText(client.szNickname);
    SendText("\r\n");
    const char* pUser[] = {"USER ", client.szNickname, " ", client.szHostName, " ", client.szHostName, " :",
                           client.szRealname, "\r\n"};
    for (const char* szPiece : pUser) SendText(szPiece);
    client.nSendMode = SEND_COMPOSE;
    client.nRecvMode = RECV_PARSE;
}

}  // namespace

short NetStartup()
{
    client.pTCP_Input_Buffer = static_cast<char*>(std::malloc(NET_BUFFER_SIZE));
    if (client.pTCP_Input_Buffer == nullptr) {
        ShowStartupError("Unable to malloc pTCP_Input_Buffer");
        return -1;
    }
    client.pLine_Buffer = static_cast<char*>(std::malloc(NET_BUFFER_SIZE));
    if (client.pLine_Buffer == nullptr) {
        ShowStartupError("Unable to malloc pLine_Buffer");
        std::free(client.pTCP_Input_Buffer);
        client.pTCP_Input_Buffer = nullptr;
        return -1;
    }
    client.pLine_Buffer[0] = '\0';

    WSADATA wsaData;
    int nResult = WSAStartup(0x0101, &wsaData);
    if (nResult != 0) {
        char szText[48];
        std::snprintf(szText, sizeof szText, "Error: WSAStartup = %d", nResult);
        ShowStartupError(szText);
        return static_cast<short>(nResult);
    }
    if (gethostname(client.szHostName, TEXT_FIELD_SIZE) != 0) {
        char szText[96];
        std::snprintf(szText, sizeof szText, "Error: gethostname() = %d\r\nUsing \"KELVA\"\r\n", WSAGetLastError());
        ShowStartupError(szText);
        CopyField(client.szHostName, "KELVA");
    }
    client.szHostName[TEXT_FIELD_SIZE - 1] = '\0';
    return 0;
}

short ConnectToServer()
{
    if (client.bConnected || ConnectAttemptInProgress()) return 0;
    char szAttempt[64 + TEXT_FIELD_SIZE];
    TextBuilder(szAttempt, sizeof szAttempt).Add("Attempting to connect to ").Add(client.szIRCServer).Add("\r\n");
    AppendOutput(szAttempt);
    return StartConnectAttempt();
}

void OnTcpConnected(SOCKET sock)
{
    client.sockServer = sock;
    // A line often leaves in pieces, one send each (the registration's).
    // Without this a piece waits until the server has acknowledged the one
    // before it: a delay of 40 to 200 ms on each.
    int nNoDelay = 1;
    setsockopt(client.sockServer, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&nNoDelay), sizeof nNoDelay);
    StartLineAssembly();
    client.szPartner[0] = '\0';
    // From here the connection counts as open, also while a TLS handshake
    // runs: Disconnect ends it, and the receive pass steps it.
    short nSession = StartSession();
    if (nSession == SESSION_FAILED) {
        TransportClose();
        closesocket(client.sockServer);
        client.sockServer = INVALID_SOCKET;
        SetConnectionControls(CONTROLS_DISCONNECTED);
        return;
    }
    StartSilenceWatch();
    client.bConnected = 1;
    SetConnectionControls(CONTROLS_CONNECTED);
    if (nSession == SESSION_READY) Register();
}

short ContinueHandshake()
{
    short nSession = ContinueSession();
    if (nSession == SESSION_READY) Register();
    return nSession == SESSION_FAILED ? -1 : 0;
}

short Disconnect()
{
    CancelConnectAttempt();
    if (!client.bConnected) return 0;
    SendText("/QUIT\r\n");
    TransportClose();
    if (closesocket(client.sockServer) == SOCKET_ERROR) {
        int nError = WSAGetLastError();
        if (nError != WSAEWOULDBLOCK) return ShowSocketError("closesocket", nError);
    }
    client.sockServer = INVALID_SOCKET;
    client.bConnected = 0;
    // A fallback or a rename lasts for the connection; kelva.ini and the next
    // registration have the nickname the user chose.
    if (client.szChosenNickname[0] != '\0') CopyField(client.szNickname, client.szChosenNickname);
    SetConnectionControls(CONTROLS_DISCONNECTED);
    return 0;
}

short ShowSocketError(const char* szCall, int nError)
{
    char szText[64];
    std::snprintf(szText, sizeof szText, "Error: %s() = %d\r\n", szCall, nError);
    AppendOutput(szText);
    return static_cast<short>(nError);
}

void NetShutdown()
{
    std::free(client.pLine_Buffer);
    client.pLine_Buffer = nullptr;
    std::free(client.pTCP_Input_Buffer);
    client.pTCP_Input_Buffer = nullptr;
    Disconnect();
    WSACleanup();
}
