// The web address of a device's built-in page.
#pragma once

#include <string>

#include "DeviceTable.h"

/// The URL of the best address a device has: its IPv4 text, else its IPv6 text (in brackets),
/// else its DNS name, else its host name, put unchanged into "http://%s/"; a name only when it is
/// a valid DNS host name. Empty when the record has none of them.
std::string BestDeviceUrl(const DeviceRecord& record);

/// That address itself, as the user copies it: "10.7.0.20", "fe80::3", "lab-logger.lan". Empty
/// when the record has none.
std::string BestDeviceAddress(const DeviceRecord& record);
