// kelva_driver.exe SCENARIO [PORT]: runs one end-to-end scenario against
// kelva.exe beside it; exit code 0 when every expectation held.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "probe.h"
#include "scenarios.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: kelva_driver SCENARIO [PORT]\n");
        return 2;
    }
    int nPort = argc > 2 ? std::atoi(argv[2]) : 0;
    for (int i = 0; i < nScenarios; ++i) {
        if (std::strcmp(kScenarios[i].szName, argv[1]) != 0) continue;
        kScenarios[i].pfnRun(nPort);
        std::printf("%s: %s\n", argv[1], ScenarioFailed() ? "FAILED" : "passed");
        return ScenarioFailed() ? 1 : 0;
    }
    std::printf("no scenario named %s\n", argv[1]);
    return 2;
}
