// The native stand-in for the windows: records what the core asks of them,
// keeps a sorted nick list and a channel list, and answers dialogs from a
// script.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "irc/net.h"

struct DialogCall {
    bool bOwned;  // owned by the main window rather than by nothing
    std::string sSubject;
    std::string sTitle;
    int nStringId;
};

// The system's TLS as a script: what the handshake does, the certificate it
// brings, the server's text and how it arrives.
struct FakeTls {
    bool bBegun = false;
    std::string sHost;            // the name the certificate was checked for
    bool bBeginFails = false;
    int nPendingSteps = 0;        // handshake steps that wait for the server
    bool bHandshakeFails = false;
    std::string sReason = "the server does not speak TLS";
    bool bCertificate = true;     // the server sent one
    unsigned char pSha256[32] = {};
    std::string sSubject = "CN=irc.example.net";
    short nProblem = 0;           // a CertProblem
    std::string sIncoming;        // decrypted server text still to come
    size_t nPiece = 1 << 20;      // each receive delivers at most this much
    bool bClosesAtEnd = false;    // the server ends the session after sIncoming
    bool bFailsAtEnd = false;     // an alert after sIncoming
    std::string sSent;            // text sent inside the session
    int nEnds = 0;                // sessions ended
};

struct FakeSeam {
    std::string sOutput;               // every AppendOutput, concatenated
    std::vector<std::string> appends;  // and each one on its own
    std::vector<std::string> calls;  // the window operations, in order
    std::string sTitle = "KELVA";

    std::vector<std::string> nicks;  // kept sorted, as the list box does
    int nSelected = -1;

    int nGameWindowShown = 0;
    std::vector<std::string> drawings;  // the board view's drawing requests, in order
    int nInvalidations = 0;
    int nBeeps = 0;
    unsigned nTicks = 0;                // what TickCount answers
    long long nTime = 1700000000;       // what CurrentTime answers: 2023-11-14 22:13:20 UTC
    int nAttentionAsked = 0;            // times AskForAttention was called
    int bConnectedControls = 0;  // the check mark and the "Disconnect" label
    int bConnectingControls = 0;  // the "Cancel" label of an attempt under way
    int nFocusToInput = 0;       // times the focus was given to the input line
    int nSetupDialogs = 0;       // times the Setup dialog was run

    bool bChannelListOpen = false;
    bool bChannelListFails = false;  // OpenChannelList cannot create it
    std::string sChannelListTitle;
    std::vector<std::string> channelRows;

    FakeTls tls;

    // Connecting in the background: the look-ups asked for and not answered
    // yet, each with its attempt's number, and the sockets whose connect
    // is watched, in order. FinishConnectAttempt answers them.
    std::vector<std::pair<unsigned, std::string>> lookUps;
    std::vector<SOCKET> watchedConnects;
    // Names the look-ups find here, as a hosts file would, before asking the
    // system: numeric addresses, in the order they are found.
    std::map<std::string, std::vector<std::string>> hosts;

    std::vector<DialogCall> dialogs;
    std::deque<short> answers;  // the buttons pressed, in order; 2 when none is left
};

extern FakeSeam fake;

// A fresh client state and game with their initial values, and a fresh fake.
void ResetClientAndFake();
