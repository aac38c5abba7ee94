// The device table as JSON or CSV, for scripts and for the desktop program's saved lists.
#pragma once

#include <string>

#include "DeviceFields.h"
#include "DeviceInfo.h"

/// A JSON array with one object per device, in table order, with the keys of DeviceFields. Ends
/// with a line feed.
std::string DevicesAsJson(const CDeviceInfo& info);

/// One device as one JSON object with those keys, on one line (no line end).
std::string DeviceAsJson(const DeviceRecord& record, const DeviceArrival& arrival);

/// A header row with the same keys and one row per device (RFC 4180, CRLF line ends).
std::string DevicesAsCsv(const CDeviceInfo& info);
