// The certificates the user chose to trust, one fingerprint per server and
// port, kept in "kelva-certs.txt" in the working directory: one line each,
// the server, ":", the port, a blank and the SHA-256 fingerprint. The file
// is read when a certificate needs it and rewritten whole when one is added.
#pragma once

#include "irc/client_state.h"

// A fingerprint as text: 32 pairs of upper-case hex digits joined by ":".
const int FINGERPRINT_SIZE = 96;
typedef char FingerprintText[FINGERPRINT_SIZE];

enum TrustAnswer {
    TRUST_UNKNOWN,  // nothing remembered for this server and port
    TRUST_SAME,     // the remembered fingerprint is this one
    TRUST_CHANGED,  // another fingerprint is remembered
};

// What the file remembers of szServer (its name as the user typed it, the
// letter case aside) and szPort, against this fingerprint.
TrustAnswer LookUpTrust(const char* szServer, const char* szPort, const char* szFingerprint);
// Remembers the fingerprint for the server and port in place of any other;
// false when the file could not be written.
bool RememberTrust(const char* szServer, const char* szPort, const char* szFingerprint);

// The two halves of the above, on the file's text: the answer, and the new
// text with the one line put in. Lines that cannot be read are left out:
// a damaged file costs only what is damaged.
TrustAnswer FindTrust(const char* szText, const char* szServer, const char* szPort, const char* szFingerprint);
// szOut has room for nSize bytes; false when the new text does not fit.
bool PutTrust(const char* szText, const char* szServer, const char* szPort, const char* szFingerprint, char* szOut,
              size_t nSize);
