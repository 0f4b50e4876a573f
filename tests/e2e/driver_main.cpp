// kelva_driver.exe SCENARIO [PORT [ORDER_DIR [SECOND_PORT]]]: runs one
// end-to-end scenario against kelva.exe beside it; exit code 0 when every
// expectation held. ORDER_DIR is where the script around the driver takes
// orders for the test server; SECOND_PORT is that of a second server linked
// to it.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "probe.h"
#include "scenario_support.h"
#include "scenarios.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::printf("usage: kelva_driver SCENARIO [PORT [ORDER_DIR [SECOND_PORT]]]\n");
        return 2;
    }
    int nPort = argc > 2 ? std::atoi(argv[2]) : 0;
    if (argc > 3) SetServerOrderDir(argv[3]);
    if (argc > 4) SetSecondServerPort(std::atoi(argv[4]));
    for (int i = 0; i < nScenarios; ++i) {
        if (std::strcmp(kScenarios[i].szName, argv[1]) != 0) continue;
        kScenarios[i].pfnRun(nPort);
        std::printf("%s: %s\n", argv[1], ScenarioFailed() ? "FAILED" : "passed");
        return ScenarioFailed() ? 1 : 0;
    }
    std::printf("no scenario named %s\n", argv[1]);
    return 2;
}
