// The watch as metrics for a monitoring system: the Prometheus text exposition format 0.0.4.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DeviceWatch.h"

/// How one search of the watch went.
struct WatchRound {
    bool bFailed = false;       ///< the search failed (its changes tell nothing)
    double dSeconds = 0;        ///< how long it took
    std::int64_t nEndedAt = 0;  ///< when it ended, seconds since 1970 (UTC)
    long nRepliesDropped = -1;  ///< replies the system dropped in it; -1: the system does not say
};

/// The metrics of a watch: one series per device (1 while it answers, 0 once it has vanished,
/// until it comes back or the program ends) and the searches' counts.
class CWatchMetrics {
public:
    /// Takes a search of the watch and the changes the watch made of it.
    void AddRound(const WatchRound& round, const std::vector<DeviceChange>& changes);
    /// Every metric with its HELP and TYPE lines, each line ending with "\n".
    std::string Exposition() const;

private:
    struct Device {
        std::string key;     ///< who the device is (DeviceWatchKey)
        std::string labels;  ///< {serial="...",...}
        bool bUp = true;
    };
    std::vector<Device> m_devices;  ///< in the order they first appeared
    std::uint64_t m_nSearches = 0;
    std::uint64_t m_nFailures = 0;
    double m_dLastSeconds = 0;
    std::int64_t m_nLastEndedAt = 0;
    std::uint64_t m_nRepliesDropped = 0;
    bool m_bDropsCounted = false;
};

/// Text as a label value of the format: UTF-8 with backslash, double quote and line feed escaped.
std::string PrometheusLabelValue(const std::string& utf8);
