// How the text a device sent is shown and used: always as data, never as structure.
#pragma once

#include <string>

/// A text field of a device as the report and the device list show it: control bytes (below
/// 0x20 and 0x7F) are written as \xNN escapes, so that nothing a device sends can start a line,
/// forge a line of the program's own or act on a terminal. Other bytes stay as they are.
std::string ShownDeviceText(const char* pszField);

/// Whether the text is a DNS host name that may stand in a URL: dot-separated labels of 1 to 63
/// letters, digits and hyphens, none beginning or ending with a hyphen, 253 characters at most
/// in all (a final dot allowed). Anything else could point the browser at another host or path.
bool IsDnsHostName(const char* pszName);
