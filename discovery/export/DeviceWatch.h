// Watching the devices over repeated searches: which appeared, changed or vanished since the
// search before.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DeviceInfo.h"

/// One change between two searches.
struct DeviceChange {
    enum Kind { Appeared, Changed, Vanished };
    Kind kind;
    DeviceRecord record;  ///< the device now (vanished: as it was last seen)
    DeviceArrival arrival;
    /// Changed: the device as it was before; otherwise the same as record.
    DeviceRecord previous;
    DeviceArrival previousArrival;
};

/// Who a device is to the watch: its maker, model and serial number (its address when it sends
/// no serial number).
std::string DeviceWatchKey(const DeviceRecord& record);

/// What the watch remembers of the devices. A device is known by its maker, model and serial
/// number (by its address when it sends no serial number), so that a device that moves to another
/// address has changed, not vanished and appeared. A device that two searches in a row missed has
/// vanished.
class CDeviceWatch {
public:
    /// The searches in a row a device may miss before it has vanished.
    static constexpr int kMissesToVanish = 2;

    /// Takes the table of a search that ran to its end (a failed or cancelled search tells
    /// nothing about the devices: do not pass it). Returns the changes: the devices that appeared
    /// or changed in table order, then the ones that vanished.
    std::vector<DeviceChange> Update(const CDeviceInfo& info);
    /// How many devices the watch knows (those missed once included).
    std::size_t Known() const { return m_known.size(); }

private:
    struct Entry {
        std::string key;
        std::string json;  ///< every field, to tell a change
        DeviceRecord record;
        DeviceArrival arrival;
        int nMissed = 0;
    };
    std::vector<Entry> m_known;
};

/// The time in ISO 8601, UTC, to the second: "2026-12-09T14:03:12Z".
std::string IsoUtcTime(std::int64_t nSecondsSinceEpoch);

/// A change as one JSON object on one line, ending with "\n": {"event": "appeared", "time": ...,
/// "device": {...}} with the device as --json writes it (a change also gives "previous").
std::string ChangeAsJson(const DeviceChange& change, const std::string& time);

/// A change as one line for people, ending with "\n": the time, the event, the device, and for a
/// change what changed ("ipv4 10.77.0.20 -> 10.77.0.21"). UTF-8; control characters from the
/// device are shown escaped.
std::string ChangeAsText(const DeviceChange& change, const std::string& time);
