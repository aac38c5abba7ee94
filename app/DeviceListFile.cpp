#include "DeviceListFile.h"

#include <cctype>

#include "DeviceExport.h"
#include "Texts.h"
#include "files/UserFiles.h"
#include "text/Windows1252.h"

namespace {

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

bool WriteDeviceList(const std::string& path, bool bJson, const CDeviceInfo& table,
                     std::string* pError) {
    const std::string extension = ExtensionOf(path);
    const bool bAsJson = extension == "json" || (extension != "csv" && bJson);
    return files::ReplaceFileContent(path, bAsJson ? DevicesAsJson(table) : DevicesAsCsv(table),
                                     pError);
}

bool SaveDeviceList(CWnd* pOwner, CReportSink& report, const CDeviceInfo& table,
                    Language language) {
    const std::string filter = std::string(texts::Get(texts::SaveFilterCsv, language)) + "|*.csv|" +
                               texts::Get(texts::SaveFilterJson, language) + "|*.json||";
    CFileDialog dialog("lorixlog-devices.csv", filter.c_str(), pOwner);
    dialog.m_strTitle = texts::Get(texts::SaveListCaption, language);
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    return SaveDeviceListAs(pOwner, report, table, language, dialog.GetPathName(),
                            dialog.GetFileExt() == "json");
}

bool SaveDeviceListAs(CWnd* pOwner, CReportSink& report, const CDeviceInfo& table,
                      Language language, const std::string& path, bool bJson) {
    std::string error;
    // Paths are UTF-8 on Windows and, as a rule, elsewhere; messages and the report are 8-bit.
    const std::string shown = text::Windows1252FromUtf8(path);
    if (!WriteDeviceList(path, bJson, table, &error)) {
        const std::string message = texts::Format(texts::SaveListFailed, language, shown.c_str(),
                                                  text::Windows1252FromUtf8(error).c_str());
        if (pOwner != nullptr) {
            pOwner->MessageBox(message.c_str());
        } else {
            AfxMessageBox(message.c_str());
        }
        return false;
    }
    report.EnsureBlankLine();
    report.Printf(texts::Get(texts::ListSaved, language), shown.c_str());
    return true;
}
