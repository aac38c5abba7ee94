// The data formats the device table is exported in, as one table: the command line's options,
// the help, the desktop program's Save list as... and the watch read it. A new format is a file
// with its writer and a row here.
#pragma once

#include <cstddef>
#include <string>

#include "DeviceInfo.h"
#include "DeviceWatch.h"
#include "Texts.h"

struct ExportFormat {
    /// Its name: the option that asks for it ("json": --json).
    const char* pszName;
    /// The extension of a saved file, without its dot ("json").
    const char* pszExtension;
    /// The label of its kind of file in the save dialog.
    texts::Id saveLabel;
    /// Its lines in the help of lorixlog-find.
    texts::Id helpLines;
    /// The whole table (what lorixlog-find writes to standard output, and a saved list holds);
    /// the same bytes on every system.
    std::string (*writeTable)(const CDeviceInfo& table);
    /// One change of the watch as a line with its line end; null for a format that has no line
    /// of its own for a change (the watch cannot write it).
    std::string (*writeChange)(const DeviceChange& change, const std::string& time);
};

/// The formats, in the order the save dialog offers them (the first is its default).
const ExportFormat* ExportFormats(std::size_t* pnCount);

/// The format of the name ("json"), or null.
const ExportFormat* FindExportFormat(const std::string& name);

/// The format of a file name's extension (any case: "List.JSON"), or null.
const ExportFormat* ExportFormatOfPath(const std::string& path);
