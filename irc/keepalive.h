// Noticing a server that has fallen silent without closing the connection:
// after nPingSeconds without a byte from it the client asks with a PING, and
// when that too stays unanswered for as long, it gives the connection up.
#pragma once

enum SilenceStep { SILENCE_WAIT, SILENCE_PING, SILENCE_GIVE_UP };

// Times in milliseconds of the tick count, which wraps.
struct SilenceWatch {
    unsigned nLastHeard = 0;
    unsigned nPingSent = 0;
    int bPingPending = 0;  // our PING has left and nothing has arrived since
};

// What the silence up to nNow calls for; an interval of 0 never calls for
// anything.
SilenceStep DecideOnSilence(const SilenceWatch& watch, unsigned nNow, unsigned nIntervalMs);

// A new connection, and anything received from the server, count as heard
// from at nNow.
void NoteServerHeard(SilenceWatch& watch, unsigned nNow);

// What the silence calls for at nNow, noted in the watch: a PING called for
// is taken as sent, so that the next one waits for its answer.
SilenceStep WatchSilence(SilenceWatch& watch, unsigned nNow, unsigned nIntervalMs);
