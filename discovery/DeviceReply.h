// One reply of the discovery protocol, as the search takes it apart.
#pragma once

#include "DeviceTable.h"

/// Checks one reply datagram (zero-terminated text) against the expected prefix ("TVK," and the
/// model prefix) and the field rules, and fills the record's text fields (not its addresses).
/// Line-end bytes (CR, LF) at the end of the reply are not part of its last field. The record is
/// zero-filled first. Returns false for a reply that is to be dropped.
bool ParseDeviceReply(const char* pszReply, const char* pszExpectedPrefix,
                      const char* pszModelPrefix, DeviceRecord* pRecord);
