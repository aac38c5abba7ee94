// The device list saved as a file: the user names it in the platform's save dialog, and it holds
// what lorixlog-find --csv or --json writes for the same devices.
#pragma once

#include <string>

#include "DeviceInfo.h"
#include "ExportFormats.h"
#include "Language.h"
#include "ReportSink.h"
#include "ui/Afx.h"

/// Asks the user where to save the devices of the table (over pOwner), then saves them there
/// (SaveDeviceListAs). True when saved.
bool SaveDeviceList(CWnd* pOwner, CReportSink& report, const CDeviceInfo& table, Language language);

/// Saves the devices of the table in the file (WriteDeviceList). An error is shown in a message
/// box over pOwner, and nothing else changes; a saved list gets a line in the report. True when
/// saved.
bool SaveDeviceListAs(CWnd* pOwner, CReportSink& report, const CDeviceInfo& table,
                      Language language, const std::string& path, const ExportFormat& chosen);

/// Writes the devices of the table to the file, whole or not at all, in the format that the
/// name's extension names (any case: ".json", ".CSV"), or in the chosen one when it names none.
/// False with the reason in *pError.
bool WriteDeviceList(const std::string& path, const ExportFormat& chosen, const CDeviceInfo& table,
                     std::string* pError);
