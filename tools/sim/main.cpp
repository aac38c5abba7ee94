// lorixlog-sim: simulated lorixlog devices for tests and demonstrations.
#include <cstdio>
#include <string>
#include <vector>

#include "Simulator.h"
#include "TextOutput.h"
#include "stdio/StandardStreams.h"

int main(int argc, char** argv) {
    OpenClosedStandardStreams();
    std::vector<std::string> args(argv + 1, argv + argc);
    sim::Options options;
    bool bHelp = false;
    std::string error;
    if (!sim::ParseOptions(args, &options, &bHelp, &error)) {
        // The message may quote what the user typed: never let it act on the terminal.
        std::fprintf(stderr, "lorixlog-sim: %s\nTry 'lorixlog-sim --help'.\n",
                     TerminalTextFromUtf8(error).c_str());
        return 2;
    }
    if (bHelp) {
        COutputCheck output;
        output.Check(std::fputs(sim::kUsage, stdout));
        output.Flush(stdout);
        return output.Failed() ? 2 : 0;
    }
    return sim::Run(options);
}
