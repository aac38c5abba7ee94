// One simulated device: how it is configured, and how it behaves (when it answers, what it
// answers, its web page).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

/// One simulated device and how it answers.
struct SimulatedDevice {
    std::string address;  ///< dotted IPv4 address the device answers from
    std::string maker = "TVK";
    std::string model = "lorixLOG";
    std::string detail = "LX-8";
    std::string serial;  ///< default: derived from the address
    std::string name;    ///< host name or dotted DNS name; default: the serial
    std::string firmware = "3.1.4";
    std::optional<std::string> reply;  ///< the whole reply text instead of the fields
    int nDelayMs = 0;                  ///< wait before answering
    bool bTwice = false;               ///< answer every query twice
    int nPadTo = 0;                    ///< pad the reply with 'x' to this many bytes
    int nFlood = 0;                    ///< answer every query this many more times at once
    bool bVary = false;                ///< flood replies carry serial numbers of their own
    bool bHttp = true;                 ///< serve the web page
    /// When the device answers, in milliseconds since the simulator started: inside one of these
    /// windows (none: always), and in the up part of its cycle (nCycleUpMs 0: no cycle).
    struct Window {
        std::int64_t nFromMs;
        std::int64_t nToMs;  ///< -1: for ever
    };
    std::vector<Window> upWindows;
    std::int64_t nCycleUpMs = 0;
    std::int64_t nCycleDownMs = 0;
};

/// Whether the device answers a query that comes nMs milliseconds after the simulator started.
bool IsUpAt(const SimulatedDevice& device, std::int64_t nMs);

/// The reply a device sends; nCopy numbers the flood copies (0 for the first).
std::string ComposeReply(const SimulatedDevice& device, int nCopy);

/// The device's web page (HTML, Windows-1252 like the device's texts).
std::string ComposePage(const SimulatedDevice& device);

}  // namespace sim
