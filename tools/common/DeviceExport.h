// The device table as JSON or CSV, for scripts.
#pragma once

#include <string>
#include <vector>

#include "DeviceInfo.h"

/// A JSON array with one object per device, in table order, with the keys ipv4, port, ipv6,
/// dns_name, maker, model, model_detail, serial_number, host_name, firmware_version, url,
/// local_interface and local_address (where its reply came in; empty when not known) and
/// reachable (false when this computer has no route to the device, so that its page cannot
/// open). A device's texts are UTF-8 as it sent them, or converted from Windows-1252. Ends with a
/// line feed.
std::string DevicesAsJson(const CDeviceInfo& info);

/// One device as one JSON object with those keys, on one line (no line end).
std::string DeviceAsJson(const DeviceRecord& record, const DeviceArrival& arrival);

/// One key of a device and its value as the JSON and CSV outputs show it (UTF-8 text, or a
/// number or true/false when bText is false).
struct DeviceField {
    const char* pszKey;
    std::string value;
    bool bText;
};
/// The keys of a device and their values, in the order of the outputs.
std::vector<DeviceField> DeviceFields(const DeviceRecord& record, const DeviceArrival& arrival);

/// A header row with the same keys and one row per device (RFC 4180, CRLF line ends).
std::string DevicesAsCsv(const CDeviceInfo& info);
