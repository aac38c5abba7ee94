// How the text a device sent is shown and used: always as data, never as structure.
#pragma once

#include <string>

/// A text field of a device as the report and the device list show it, in the program's 8-bit
/// text (Windows-1252). A field that is well-formed UTF-8 beyond ASCII (as Linux-based devices
/// send) is that text: each character as its Windows-1252 byte, or as \uXXXX where Windows-1252
/// has none. Other fields are Windows-1252 already. Control characters (C0, DEL, and C1 in UTF-8)
/// are written as \xNN escapes of their bytes, so that nothing a device sends can start a line,
/// forge a line of the program's own or act on a terminal.
std::string ShownDeviceText(const char* pszField);

/// A text field of a device in UTF-8, for data exports: a well-formed UTF-8 field as it is,
/// any other as Windows-1252. Control characters are kept; the exports escape them.
std::string Utf8DeviceText(const char* pszField);

/// Whether the text is a host name that may stand in a URL: dot-separated labels of 1 to 63
/// ASCII letters, digits, hyphens and underscores, none beginning or ending with a hyphen, 253
/// characters at most in all (a final dot allowed). Anything else (a blank, a control byte, a
/// letter beyond ASCII, '/', '@', ':') could point the browser at another host or path.
bool IsDnsHostName(const char* pszName);
