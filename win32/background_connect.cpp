#include "win32/background_connect.h"

#include <process.h>

#include "irc/client_state.h"
#include "irc/connection.h"
#include "irc/seam.h"
#include "irc/text.h"

namespace {

// Made on the window thread, filled by the look-up thread, and handed back
// whole with the message: the two threads share nothing else.
struct LookUp {
    unsigned nAttempt;
    HWND hNotify;
    TextField szName;
    addrinfo* pFound;
    int nError;
};

// Started through the C runtime, whose allocator it uses.
unsigned __stdcall LookUpThread(void* pParam)
{
    LookUp* pLookUp = static_cast<LookUp*>(pParam);
    pLookUp->nError = LookUpServerName(pLookUp->szName, &pLookUp->pFound);
    // A window that is gone no longer wants the answer.
    if (!PostMessageA(pLookUp->hNotify, WM_SERVER_RESOLVED, 0, reinterpret_cast<LPARAM>(pLookUp))) {
        if (pLookUp->pFound != nullptr) freeaddrinfo(pLookUp->pFound);
        delete pLookUp;
    }
    return 0;
}

}  // namespace

void ResolveServerName(unsigned nAttempt, const char* szName)
{
    LookUp* pLookUp = new LookUp();
    pLookUp->nAttempt = nAttempt;
    pLookUp->hNotify = client.hMainWnd;
    CopyField(pLookUp->szName, szName);
    uintptr_t hThread = _beginthreadex(nullptr, 0, LookUpThread, pLookUp, 0, nullptr);
    if (hThread != 0) {
        // It ends on its own; the look-up of an abandoned attempt is dropped when it ends.
        CloseHandle(reinterpret_cast<HANDLE>(hThread));
        return;
    }
    int nError = static_cast<int>(GetLastError());
    delete pLookUp;
    OnServerNameResolved(nAttempt, nullptr, nError);
}

void WatchConnect(SOCKET sock) { WSAAsyncSelect(sock, client.hMainWnd, WM_CONNECT_NOTIFY, FD_CONNECT); }

LRESULT OnNameLookedUp(LPARAM lParam)
{
    LookUp* pLookUp = reinterpret_cast<LookUp*>(lParam);
    OnServerNameResolved(pLookUp->nAttempt, pLookUp->pFound, pLookUp->nError);
    delete pLookUp;
    return 0;
}

LRESULT OnConnectNotify(WPARAM wParam, LPARAM lParam)
{
    if (WSAGETSELECTEVENT(lParam) == FD_CONNECT) OnConnectDone(static_cast<SOCKET>(wParam), WSAGETSELECTERROR(lParam));
    return 0;
}
