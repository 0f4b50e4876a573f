#include "irc/connection.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "irc/client_state.h"
#include "irc/dispatch.h"
#include "irc/login.h"
#include "irc/send.h"
#include "irc/transmit.h"
#include "irc/text.h"
#include "irc/seam.h"
#include "kelva_version.h"
#include "resources/resource.h"

namespace {

// The wait in seconds before the next try: 5 after a connection that
// registered, or for the first try; otherwise twice the last, at most 300.
const int FIRST_RETRY_SECONDS = 5;
const int LAST_RETRY_SECONDS = 300;

int NextRetrySeconds(int nLastSeconds, bool bRegistered)
{
    if (bRegistered || nLastSeconds == 0) return FIRST_RETRY_SECONDS;
    return nLastSeconds < LAST_RETRY_SECONDS / 2 ? 2 * nLastSeconds : LAST_RETRY_SECONDS;
}

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
    client.bMotdEnded = 0;
    // The channel of a connection that dropped is joined again once the
    // server is ready, as a connection file's is.
    if (connection.szRejoin[0] != '\0' && client.szChannel[0] == '\0') CopyField(client.szChannel, connection.szRejoin);
    connection.szRejoin[0] = '\0';
    if (std::strcmp(client.features.szServer, client.szIRCServer) != 0) client.features = ServerFeatures();
    BeginLogin();
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
}

// The moment the server's TCP connection stands: sock becomes the
// connection, and the session begins on it.
void OnTcpConnected(SOCKET sock)
{
    client.sockServer = sock;
    // A line often leaves in pieces, one send each (the registration's).
    // Without this a piece waits until the server has acknowledged the one
    // before it: a delay of 40 to 200 ms on each.
    int nNoDelay = 1;
    setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&nNoDelay), sizeof nNoDelay);
    StartLineAssembly();
    client.szPartner[0] = '\0';
    connection.bQuitSent = 0;
    unsigned nNow = TickCount();
    short nSession = StartSession(sock, client.szIRCServer, client.bTLS != 0, nNow);
    if (nSession == SESSION_FAILED) {
        EndConnection(END_HANDSHAKE_FAILED, 0, SessionFailure());
        return;
    }
    // From here the connection counts as open, also while a TLS handshake
    // runs: Disconnect ends it, and the pump steps it.
    NoteServerHeard(connection.watch, nNow);
    client.bConnected = 1;
    SetConnectionControls(CONTROLS_CONNECTED);
    if (nSession == SESSION_READY) Register();
}

void FollowAttempt(const AttemptOutcome& outcome)
{
    if (outcome.nResult == ATTEMPT_CONNECTED) {
        OnTcpConnected(outcome.sock);
    } else if (AttemptFailed(outcome.nResult)) {
        bool bLookUp = outcome.nResult == ATTEMPT_NOT_FOUND;
        EndConnection(bLookUp ? END_LOOKUP_FAILED : END_CONNECT_FAILED, outcome.nError, outcome.szCall);
    }
}

void ShowEndLine(EndReason nReason, int nError, const char* szDetail)
{
    char szLine[2 * TEXT_FIELD_SIZE];
    switch (nReason) {
    case END_QUIT:
    case END_CLOSED: std::snprintf(szLine, sizeof szLine, "Error: nBytesRecv = 0\r\n"); break;
    case END_RESET: std::snprintf(szLine, sizeof szLine, "Error: recv() = %d\r\n", nError); break;
    case END_SILENCE:
        std::snprintf(szLine, sizeof szLine, "Error: the server has not answered for %d seconds\r\n", nError);
        break;
    case END_HANDSHAKE_FAILED:
    case END_TLS_FAILED:
    case END_LOGIN_REFUSED: std::snprintf(szLine, sizeof szLine, "Error: %s\r\n", szDetail); break;
    case END_CERT_REFUSED: std::snprintf(szLine, sizeof szLine, "Error: certificate not accepted\r\n"); break;
    case END_LOOKUP_FAILED:
    case END_CONNECT_FAILED: std::snprintf(szLine, sizeof szLine, "Error: %s() = %d\r\n", szDetail, nError); break;
    case END_NONE:
    case END_USER:
    case END_WINDOW_CLOSED: return;
    }
    AppendOutput(szLine);
}

// Whether the server may still read a QUIT: after the user's end, a silence
// and a refused login it may; not after it closed or reset the connection,
// nor over a TLS session that failed.
bool ServerStillListens(EndReason nReason)
{
    return nReason == END_USER || nReason == END_SILENCE || nReason == END_WINDOW_CLOSED ||
           nReason == END_LOGIN_REFUSED;
}

// Leaves the channel, saying QUIT while the server may still read it, and
// closes the socket. 0, or the closesocket error.
short CloseConnection(EndReason nReason)
{
    if (client.bConnected) {
        if (ServerStillListens(nReason))
            SendText("/QUIT\r\n");
        else if (client.szChannel[0] != '\0')
            LeaveChannel();
    }
    TransportClose();
    if (client.sockServer != INVALID_SOCKET && closesocket(client.sockServer) == SOCKET_ERROR) {
        int nError = WSAGetLastError();
        if (nError != WSAEWOULDBLOCK) {
            char szText[64];
            std::snprintf(szText, sizeof szText, "Error: closesocket() = %d\r\n", nError);
            AppendOutput(szText);
            return static_cast<short>(nError);
        }
    }
    client.sockServer = INVALID_SOCKET;
    client.bConnected = 0;
    client.bRegistered = 0;
    // A fallback or a rename lasts for the connection; kelva.ini and the next
    // registration have the nickname the user chose.
    if (client.szChosenNickname[0] != '\0') CopyField(client.szNickname, client.szChosenNickname);
    return 0;
}

EndReason End(EndReason nReason, int nError = 0, const char* szDetail = "")
{
    EndConnection(nReason, nError, szDetail);
    return nReason;
}

EndReason EndOnSession(short nSession)
{
    if (nSession == SESSION_FAILED) return End(END_HANDSHAKE_FAILED, 0, SessionFailure());
    if (nSession == SESSION_REFUSED) return End(END_CERT_REFUSED);
    return END_NONE;
}

EndReason StepHandshake(unsigned nNow)
{
    short nSession = ContinueSession(nNow);
    connection.lines.bFilled = TransportPending();
    if (nSession == SESSION_READY) Register();
    return EndOnSession(nSession);
}

EndReason WatchServerSilence(unsigned nNow)
{
    switch (WatchSilence(connection.watch, nNow, static_cast<unsigned>(client.nPingSeconds) * 1000u)) {
    case SILENCE_PING: SendRaw("PING :KELVA\r\n"); break;
    case SILENCE_GIVE_UP: return End(END_SILENCE, 2 * client.nPingSeconds);
    case SILENCE_WAIT: break;
    }
    return END_NONE;
}

// The wait before connecting again: shown, with "Cancel" on the button,
// which ends it.
void WaitToConnectAgain(bool bRegistered)
{
    connection.nRetrySeconds = NextRetrySeconds(connection.nRetrySeconds, bRegistered);
    connection.nRetryStart = TickCount();
    connection.bRetryWaiting = true;
    char szLine[64];
    std::snprintf(szLine, sizeof szLine, "<KELVA> Connecting again in %d seconds\r\n", connection.nRetrySeconds);
    AppendOutput(szLine);
    SetConnectionControls(CONTROLS_CONNECTING);
}

// An attempt as the Connect button makes one, or a try to connect again.
short StartAttempt(bool bRetry)
{
    connection.bRetryAttempt = bRetry;
    char szAttempt[64 + TEXT_FIELD_SIZE];
    TextBuilder(szAttempt, sizeof szAttempt).Add("Attempting to connect to ").Add(client.szIRCServer).Add("\r\n");
    AppendOutput(szAttempt);
    SetConnectionControls(CONTROLS_CONNECTING);
    AttemptOutcome outcome = BeginAttempt(client.szIRCServer, client.szIRCPort);
    FollowAttempt(outcome);
    return static_cast<short>(AttemptFailed(outcome.nResult) ? outcome.nError : 0);
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

void NetShutdown()
{
    std::free(client.pLine_Buffer);
    client.pLine_Buffer = nullptr;
    std::free(client.pTCP_Input_Buffer);
    client.pTCP_Input_Buffer = nullptr;
    EndConnection(END_WINDOW_CLOSED);
    WSACleanup();
}

short ConnectToServer()
{
    if (client.bConnected || ConnectAttemptInProgress()) return 0;
    connection.nRetrySeconds = 0;
    return StartAttempt(false);
}

bool ConnectAttemptInProgress() { return AttemptUnderWay() || connection.bRetryWaiting; }

bool ConnectionNeedsPasses() { return client.bConnected || connection.bRetryWaiting; }

short Disconnect() { return EndConnection(END_USER); }

EndReason PumpConnection()
{
    if (!client.bConnected) {
        connection.lines.bFilled = false;
        if (connection.bRetryWaiting && TickCount() - connection.nRetryStart >= 1000u * connection.nRetrySeconds) {
            connection.bRetryWaiting = false;
            StartAttempt(true);
        }
        return END_NONE;
    }
    unsigned nNow = TickCount();
    if (SessionHandshaking()) return StepHandshake(nNow);
    int nError = 0;
    switch (PollReceive(HandleServerLine, nError)) {
    case RECEIVE_DATA:
        NoteServerHeard(connection.watch, nNow);
        if (connection.nEndAsked != END_NONE) return End(connection.nEndAsked, 0, connection.szEndDetail);
        break;
    case RECEIVE_NOTHING: break;
    case RECEIVE_CLOSED: return End(connection.bQuitSent ? END_QUIT : END_CLOSED);
    case RECEIVE_FAILED: return End(END_RESET, nError);
    case RECEIVE_BROKEN: return End(END_TLS_FAILED, 0, SessionFailure());
    }
    return WatchServerSilence(nNow);
}

bool MoreServerDataLikely() { return client.bConnected && ReceiveFilledBuffer(); }

void OnServerNameResolved(unsigned nAttempt, addrinfo* pFound, int nError)
{
    FollowAttempt(TakeLookUp(nAttempt, pFound, nError));
}

void OnConnectDone(SOCKET sock, int nError) { FollowAttempt(TakeConnectEnd(sock, nError)); }

short EndConnection(EndReason nReason, int nError, const char* szDetail)
{
    ShowEndLine(nReason, nError, szDetail);
    AbandonAttempt();
    connection.bRetryWaiting = false;
    bool bRegistered = client.bRegistered != 0;
    TextField szChannel;
    CopyField(szChannel, client.szChannel);
    if (client.bConnected || client.sockServer != INVALID_SOCKET) {
        short nClosed = CloseConnection(nReason);
        if (nClosed != 0) return nClosed;
    }
    connection.nLastEnd = nReason;
    connection.nEndAsked = END_NONE;
    if (client.bReconnect && ConnectsAgainAfter(nReason, connection.bRetryAttempt)) {
        if (szChannel[0] != '\0') CopyField(connection.szRejoin, szChannel);
        WaitToConnectAgain(bRegistered);
        return 0;
    }
    connection.szRejoin[0] = '\0';
    SetConnectionControls(CONTROLS_DISCONNECTED);
    return 0;
}

bool ConnectsAgainAfter(EndReason nReason, bool bRetryAttempt)
{
    switch (nReason) {
    case END_CLOSED:
    case END_RESET:
    case END_SILENCE:
    case END_TLS_FAILED: return true;
    case END_LOOKUP_FAILED:
    case END_CONNECT_FAILED:
    case END_HANDSHAKE_FAILED: return bRetryAttempt;
    default: return false;
    }
}
