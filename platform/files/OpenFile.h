// Opening a file by its path as this platform spells paths (the system's bytes; UTF-8 on
// Windows), for the readers that all platforms share.
#pragma once

#include <cstdio>
#include <string>

namespace files {

/// Opens the file for reading in binary mode; null with errno set when it cannot. With
/// bRegularOnly, anything but a regular file (a FIFO, a device, a folder) is refused at once,
/// without waiting for a writer of a FIFO: null with errno EINVAL.
std::FILE* OpenFileForReading(const std::string& path, bool bRegularOnly);

}  // namespace files
