// The device list as the main window opens it, for the tests of the dialog: the program's report
// window (or no report without one), the program's table and the language of the tag that the
// test set.
#pragma once

#include "ClorixlogfinderApp.h"
#include "DeviceInfo.h"
#include "OpenDeviceDialog.h"
#include "ProgramTable.h"
#include "ReportWindow.h"

class CDeviceList : public COpenDeviceDialog {
public:
    CDeviceList() : COpenDeviceDialog(Report(), g_DeviceInfo, LanguageOfTag(g_szLanguage)) {}

private:
    static CReportSink& Report() {
        static CNullReport none;
        return g_pReportWindow != nullptr ? static_cast<CReportSink&>(g_pReportWindow->Report())
                                          : none;
    }
};
