#include "irc/connection.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "irc/client_state.h"
#include "irc/receive.h"
#include "irc/send.h"
#include "irc/text.h"
#include "irc/transport.h"
#include "irc/seam.h"

namespace {

const char szIdentification[] = "KELVA 1.32 32\r\n";

void ShowStartupError(const char* szText) { ShowMessageDialog(nullptr, szText, "Error", 6); }

// "Error: connect() = 10061" and the like, in the output pane.
short ShowSocketError(const char* szCall)
{
    int nError = WSAGetLastError();
    char szText[64];
    std::snprintf(szText, sizeof szText, "Error: %s() = %d\r\n", szCall, nError);
    AppendOutput(szText);
    return static_cast<short>(nError);
}

// A failed attempt gives its socket back at once.
void GiveBackSocket()
{
    closesocket(client.sockServer);
    client.sockServer = INVALID_SOCKET;
}

short FailAttempt(const char* szCall)
{
    short nError = ShowSocketError(szCall);
    GiveBackSocket();
    return nError;
}

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

// The step from a made TCP connection to the first line: a plain session is
// registered at once; with TLS the handshake begins here, and registration
// waits for its end (ContinueHandshake). From here the connection counts as
// open, also while the handshake runs: Disconnect ends it, and the receive
// pass steps it.
short BeginSession()
{
    StartLineAssembly();
    client.szPartner[0] = '\0';
    short nSession = StartSession();
    if (nSession == SESSION_FAILED) {
        TransportClose();
        GiveBackSocket();
        return -1;
    }
    client.bConnected = 1;
    SetConnectionControls(1);
    if (nSession == SESSION_READY) Register();
    return 0;
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
    if (client.bConnected) return 0;
    char szAttempt[64 + TEXT_FIELD_SIZE];
    TextBuilder(szAttempt, sizeof szAttempt).Add("Attempting to connect to ").Add(client.szIRCServer).Add("\r\n");
    AppendOutput(szAttempt);

    client.sockServer = socket(AF_INET, SOCK_STREAM, 0);
    if (client.sockServer == INVALID_SOCKET) return ShowSocketError("socket");

    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    if (bind(client.sockServer, reinterpret_cast<sockaddr*>(&local), sizeof local) == SOCKET_ERROR)
        return FailAttempt("bind");

    sockaddr_in server = {};
    server.sin_family = AF_INET;
    if (!ResolveServer(client.szIRCServer, server.sin_addr)) return FailAttempt("gethostbyname");
    server.sin_port = htons(static_cast<unsigned short>(std::atoi(client.szIRCPort)));
    if (connect(client.sockServer, reinterpret_cast<sockaddr*>(&server), sizeof server) == SOCKET_ERROR)
        return FailAttempt("connect");

    unsigned long nNonBlocking = 1;
    ioctlsocket(client.sockServer, FIONBIO, &nNonBlocking);
    // A line often leaves in pieces, one send each (the registration's).
    // Without this a piece waits until the server has acknowledged the one
    // before it: a delay of 40 to 200 ms on each.
    int nNoDelay = 1;
    setsockopt(client.sockServer, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&nNoDelay), sizeof nNoDelay);
    return BeginSession();
}

short ContinueHandshake()
{
    short nSession = ContinueSession();
    if (nSession == SESSION_READY) Register();
    return nSession == SESSION_FAILED ? -1 : 0;
}

short Disconnect()
{
    if (!client.bConnected) return 0;
    SendText("/QUIT\r\n");
    TransportClose();
    if (closesocket(client.sockServer) == SOCKET_ERROR) {
        int nError = WSAGetLastError();
        if (nError != WSAEWOULDBLOCK) return ShowSocketError("closesocket");
    }
    client.sockServer = INVALID_SOCKET;
    client.bConnected = 0;
    // A fallback or a rename lasts for the connection; kelva.ini and the next
    // registration have the nickname the user chose.
    if (client.szChosenNickname[0] != '\0') CopyField(client.szNickname, client.szChosenNickname);
    SetConnectionControls(0);
    return 0;
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
