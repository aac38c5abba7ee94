#include "ExportFormats.h"

#include <cctype>
#include <iterator>

#include "DeviceExport.h"

namespace {

/// One row a format.
const ExportFormat kFormats[] = {
    {"csv", "csv", texts::SaveFilterCsv, texts::FindHelpCsv, DevicesAsCsv, nullptr},
    {"json", "json", texts::SaveFilterJson, texts::FindHelpJson, DevicesAsJson, ChangeAsJson},
};

/// The extension of the path's file name in small letters, without its dot ("" when none).
std::string ExtensionOf(const std::string& path) {
    const std::size_t nName = path.find_last_of("/\\");
    const std::size_t nDot = path.find_last_of('.');
    if (nDot == std::string::npos || (nName != std::string::npos && nDot < nName)) {
        return std::string();
    }
    std::string extension = path.substr(nDot + 1);
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

}  // namespace

const ExportFormat* ExportFormats(std::size_t* pnCount) {
    *pnCount = std::size(kFormats);
    return kFormats;
}

const ExportFormat* FindExportFormat(const std::string& name) {
    for (const ExportFormat& format : kFormats) {
        if (name == format.pszName) {
            return &format;
        }
    }
    return nullptr;
}

const ExportFormat* ExportFormatOfPath(const std::string& path) {
    const std::string extension = ExtensionOf(path);
    for (const ExportFormat& format : kFormats) {
        if (extension == format.pszExtension) {
            return &format;
        }
    }
    return nullptr;
}
