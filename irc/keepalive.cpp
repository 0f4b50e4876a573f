#include "irc/keepalive.h"

#include <cstdio>

#include "irc/client_state.h"
#include "irc/send.h"
#include "irc/seam.h"

namespace {

SilenceWatch watch;

void SendPing()
{
    short nKept = client.nSendMode;
    client.nSendMode = SEND_RAW;
    SendText("PING :KELVA\r\n");
    client.nSendMode = nKept;
}

}  // namespace

SilenceStep DecideOnSilence(const SilenceWatch& state, unsigned nNow, unsigned nIntervalMs)
{
    if (nIntervalMs == 0) return SILENCE_WAIT;
    if (!state.bPingPending) return nNow - state.nLastHeard >= nIntervalMs ? SILENCE_PING : SILENCE_WAIT;
    // Counted from the PING, not from the last word: a modal dialog may have
    // kept the client from receiving for a long time.
    return nNow - state.nPingSent >= nIntervalMs ? SILENCE_GIVE_UP : SILENCE_WAIT;
}

void StartSilenceWatch()
{
    watch = SilenceWatch();
    watch.nLastHeard = TickCount();
}

void NoteServerHeard()
{
    watch.nLastHeard = TickCount();
    watch.bPingPending = 0;
}

short CheckServerSilence()
{
    unsigned nNow = TickCount();
    switch (DecideOnSilence(watch, nNow, static_cast<unsigned>(client.nPingSeconds) * 1000u)) {
    case SILENCE_PING:
        SendPing();
        watch.bPingPending = 1;
        watch.nPingSent = nNow;
        return 0;
    case SILENCE_GIVE_UP: {
        char szText[80];
        std::snprintf(szText, sizeof szText, "Error: the server has not answered for %d seconds\r\n",
                      2 * client.nPingSeconds);
        AppendOutput(szText);
        return -1;
    }
    case SILENCE_WAIT: break;
    }
    return 0;
}
