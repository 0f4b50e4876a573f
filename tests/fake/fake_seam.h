// The native stand-in for the windows: records what the core asks of them,
// keeps a sorted nick list, and answers dialogs from a script.
#pragma once

#include <string>
#include <vector>

struct FakeSeam {
    std::string sOutput;                // every AppendOutput, concatenated
    std::vector<std::string> calls;     // the other operations, in order
    std::string sTitle = "KELVA";
    std::vector<std::string> nicks;     // kept sorted, as the list box does
    int nGameWindowShown = 0;
    int nGameResets = 0;
};

extern FakeSeam fake;

// A fresh client state with its initial values, and a fresh fake.
void ResetClientAndFake();
