// What the simulator's socket handlers share: a device as it runs, and the clock.
#pragma once

#include <netinet/in.h>

#include <chrono>
#include <cstdint>

#include "SimulatedDevice.h"

namespace sim {

/// A simulated device at its address: its network mask (for the directed broadcast it answers)
/// and its web server's listening socket (-1: none).
struct Device {
    SimulatedDevice config;
    in_addr address{};
    in_addr netmask{};
    int nHttpSocket = -1;
};

inline std::uint64_t NowMs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace sim
