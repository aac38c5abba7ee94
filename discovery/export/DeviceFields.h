// The fields of a device as the data formats show them: one key and value each, in one order.
// A new data format takes its values from here, so that every format shows the same.
#pragma once

#include <string>
#include <vector>

#include "DeviceInfo.h"

/// One key of a device and its value as the JSON and CSV outputs show it (UTF-8 text, or a
/// number or true/false when bText is false).
struct DeviceField {
    const char* pszKey;
    std::string value;
    bool bText;
};

/// The keys, in the order of the outputs: ipv4, port, ipv6, dns_name, maker, model, model_detail,
/// serial_number, host_name, firmware_version, url, local_interface and local_address (where its
/// reply came in; empty when not known) and reachable (false when this computer has no route to
/// the device, so that its page cannot open).
std::vector<const char*> DeviceFieldKeys();

/// The keys of a device and their values, in that order. A device's texts are UTF-8 as it sent
/// them, or converted from Windows-1252.
std::vector<DeviceField> DeviceFields(const DeviceRecord& record, const DeviceArrival& arrival);
