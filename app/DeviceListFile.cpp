#include "DeviceListFile.h"

#include "Texts.h"
#include "files/UserFiles.h"
#include "text/Windows1252.h"

bool WriteDeviceList(const std::string& path, const ExportFormat& chosen, const CDeviceInfo& table,
                     std::string* pError) {
    const ExportFormat* pFormat = ExportFormatOfPath(path);
    return files::ReplaceFileContent(
        path, (pFormat != nullptr ? *pFormat : chosen).writeTable(table), pError);
}

bool SaveDeviceList(CWnd* pOwner, CReportSink& report, const CDeviceInfo& table,
                    Language language) {
    // A kind of file for each format, the first offered first.
    std::size_t nFormats = 0;
    const ExportFormat* pFormats = ExportFormats(&nFormats);
    std::string filter;
    for (std::size_t i = 0; i < nFormats; ++i) {
        filter += std::string(texts::Get(pFormats[i].saveLabel, language)) + "|*." +
                  pFormats[i].pszExtension + "|";
    }
    filter += "|";
    CFileDialog dialog((std::string("lorixlog-devices.") + pFormats[0].pszExtension).c_str(),
                       filter.c_str(), pOwner);
    dialog.m_strTitle = texts::Get(texts::SaveListCaption, language);
    if (dialog.DoModal() != IDOK) {
        return false;
    }
    const ExportFormat* pChosen = ExportFormatOfPath("." + dialog.GetFileExt());
    return SaveDeviceListAs(pOwner, report, table, language, dialog.GetPathName(),
                            pChosen != nullptr ? *pChosen : pFormats[0]);
}

bool SaveDeviceListAs(CWnd* pOwner, CReportSink& report, const CDeviceInfo& table,
                      Language language, const std::string& path, const ExportFormat& chosen) {
    std::string error;
    // Paths are UTF-8 on Windows and, as a rule, elsewhere; messages and the report are 8-bit.
    const std::string shown = text::Windows1252FromUtf8(path);
    if (!WriteDeviceList(path, chosen, table, &error)) {
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
