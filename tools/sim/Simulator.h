// The device simulator: one process that acts as many lorixlog devices, each answering the
// identification query from its own IPv4 address and serving a small web page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SimulatedDevice.h"

namespace sim {

struct Options {
    std::vector<SimulatedDevice> devices;
    std::uint16_t nPort = 9959;
    std::uint16_t nHttpPort = 80;
    std::string readyFile;
    /// A network namespace to run the devices in (a path such as /proc/PID/ns/net); empty: the
    /// simulator's own.
    std::string netns;
    int nMaxSeconds = 0;  ///< end after this long (0: run until signalled)
    /// The replies due at one moment go out in an order that changes from query to query, as
    /// devices on one switch answer (how long each takes varies a little); else in the order of
    /// the devices.
    bool bShuffle = false;
    bool bVerbose = false;
};

/// Parses the command line. Returns false with a message in *pError for a wrong one; sets
/// *pbHelp for --help.
bool ParseOptions(const std::vector<std::string>& args, Options* pOptions, bool* pbHelp,
                  std::string* pError);

/// Resolves \xNN, \r, \n, \t, \e and \\ escapes in an option value.
std::string Unescape(const std::string& value);

/// Runs the simulator until a signal (or nMaxSeconds). Returns the process exit status.
int Run(const Options& options);

extern const char kUsage[];

}  // namespace sim
