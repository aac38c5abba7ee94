// lorixlog-sim: simulated lorixlog devices for tests and demonstrations.
#include <cstdio>
#include <string>
#include <vector>

#include "Simulator.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    sim::Options options;
    bool bHelp = false;
    std::string error;
    if (!sim::ParseOptions(args, &options, &bHelp, &error)) {
        std::fprintf(stderr, "lorixlog-sim: %s\nTry 'lorixlog-sim --help'.\n", error.c_str());
        return 2;
    }
    if (bHelp) {
        std::fputs(sim::kUsage, stdout);
        return 0;
    }
    return sim::Run(options);
}
