// The device table as JSON or CSV, for scripts.
#pragma once

#include <string>

#include "DeviceInfo.h"

/// A JSON array with one object per device, in table order, with the keys ipv4, port, ipv6,
/// dns_name, maker, model, model_detail, serial_number, host_name, firmware_version, url,
/// local_interface and local_address (where its reply came in; empty when not known) and
/// reachable (false when this computer has no route to the device, so that its page cannot
/// open). A device's texts are UTF-8 as it sent them, or converted from Windows-1252. Ends with a
/// line feed.
std::string DevicesAsJson(const CDeviceInfo& info);

/// A header row with the same keys and one row per device (RFC 4180, CRLF line ends).
std::string DevicesAsCsv(const CDeviceInfo& info);
