#include "irc/keepalive.h"

SilenceStep DecideOnSilence(const SilenceWatch& watch, unsigned nNow, unsigned nIntervalMs)
{
    if (nIntervalMs == 0) return SILENCE_WAIT;
    if (!watch.bPingPending) return nNow - watch.nLastHeard >= nIntervalMs ? SILENCE_PING : SILENCE_WAIT;
    // Counted from the PING, not from the last word: a modal dialog may have
    // kept the client from receiving for a long time.
    return nNow - watch.nPingSent >= nIntervalMs ? SILENCE_GIVE_UP : SILENCE_WAIT;
}

void NoteServerHeard(SilenceWatch& watch, unsigned nNow)
{
    watch.nLastHeard = nNow;
    watch.bPingPending = 0;
}

SilenceStep WatchSilence(SilenceWatch& watch, unsigned nNow, unsigned nIntervalMs)
{
    SilenceStep nStep = DecideOnSilence(watch, nNow, nIntervalMs);
    if (nStep == SILENCE_PING) {
        watch.bPingPending = 1;
        watch.nPingSent = nNow;
    }
    return nStep;
}
