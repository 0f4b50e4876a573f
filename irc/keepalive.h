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

// A new connection counts as heard from.
void StartSilenceWatch();
// Anything received from the server.
void NoteServerHeard();
// Once per pass of the main loop while connected: sends "PING :KELVA" when
// it is due. Non-zero when the server has stayed silent for twice the
// interval, with the error shown; the caller then disconnects.
short CheckServerSilence();
