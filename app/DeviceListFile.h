// The device list saved as a file: the user names it in the platform's save dialog, and it holds
// what lorixlog-find --csv or --json writes for the same devices.
#pragma once

#include <string>

#include "DeviceInfo.h"
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
                      Language language, const std::string& path, bool bJson);

/// Writes the devices of the table to the file, whole or not at all: JSON when the path ends
/// in ".json" (any case) or, without a known extension, when bJson; CSV otherwise. False with
/// the reason in *pError.
bool WriteDeviceList(const std::string& path, bool bJson, const CDeviceInfo& table,
                     std::string* pError);
