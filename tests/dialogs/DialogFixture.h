// The fixture of the dialog tests: the program's resources, a report that is no window of the
// program, a scripted network that reaches nothing, and a seam that sees and ends modal dialogs.
// The same tests run on every backend.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ClorixlogfinderApp.h"
#include "ClorixlogfinderDlg.h"
#include "DialogBackend.h"
#include "OpenDeviceDialog.h"
#include "ReportWindow.h"
#include "Resources.h"
#include "ScriptedSocketLayer.h"
#include "ShellSpy.h"
#include "resource.h"
#include "shell/Shell.h"
#include "ui/Afx.h"
#include "ui/Resources.h"

/// Ends every modal dialog at once, after its initialisation, and notes its template.
struct ModalSpy {
    std::vector<UINT> seen;
    ModalSpy() { ui::SetModalObserver(&ModalSpy::Observe, this); }
    ~ModalSpy() { ui::SetModalObserver(nullptr, nullptr); }
    static void Observe(CDialog* pDialog, void* pContext) {
        static_cast<ModalSpy*>(pContext)->seen.push_back(pDialog->m_nIDTemplate);
        pDialog->EndDialog(IDCANCEL);
    }
};

class QuietReport : public CReportWindow {
public:
    QuietReport() : CReportWindow(IDD_MAIN) {
        Report().m_pszProgramName = "lorixlog-finder version 2.0.45";
    }
};

/// A report window of the main template that shows its report and does nothing else.
class ShowingReport : public CReportWindow {
public:
    ShowingReport() : CReportWindow(IDD_MAIN) { m_nEditId = IDC_REPORT; }

protected:
    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        AttachReportDisplay();
        return TRUE;
    }
};

inline DeviceRecord Device(const char* pszHost, const char* pszIPv4, const char* pszIPv6,
                           const char* pszDns, const char* pszSerial) {
    DeviceRecord d{};
    std::strcpy(d.szHostName, pszHost);
    std::strcpy(d.szIPv4, pszIPv4);
    std::strcpy(d.szIPv6, pszIPv6);
    std::strcpy(d.szDnsName, pszDns);
    std::strcpy(d.szSerialNumber, pszSerial);
    std::strcpy(d.szMaker, "TVK");
    std::strcpy(d.szModel, "lorixLOG");
    d.addrIPv4 = net::MakeAddress(pszIPv4, 9959);
    return d;
}

inline std::string ListLine(CWnd& dlg, int nIndex) {
    char szLine[512] = {};
    CWnd* pList = dlg.GetDlgItem(IDC_DEVICE_LIST);
    if (pList == nullptr || pList->SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex),
                                               reinterpret_cast<LPARAM>(szLine)) == LB_ERR) {
        return "(none)";
    }
    return szLine;
}

inline bool Enabled(CWnd& dlg, int nID) {
    CWnd* p = dlg.GetDlgItem(nID);
    return p != nullptr && p->IsWindowEnabled() != FALSE;
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override {
        static const bool bRegistered = [] {
            RegisterProgramResources();
            return true;
        }();
        ASSERT_TRUE(bRegistered);
        ui::SetUserInterfaceLanguage(ui::LANG_ENGLISH_US);
        std::strcpy(g_szLanguage, "en-US");
        m_noNetwork.m_nSocketError = net::WSAENETDOWN;
        net::InstallSocketLayer(&m_noNetwork);
        // The report window that the dialogs write to, registered as the main window's is.
        m_report.AttachReportDisplay();
        m_report.Report().m_strText = "report\r\n";
    }
    void TearDown() override {
        net::InstallSocketLayer(nullptr);
        g_DeviceInfo.ClearDevices();
    }
    void Table(const std::vector<DeviceRecord>& devices) {
        g_DeviceInfo.ClearDevices();
        for (const DeviceRecord& d : devices) {
            ASSERT_GE(g_DeviceInfo.AddDevice(d), 0);
        }
    }

    net::ScriptedSocketLayer m_noNetwork;
    QuietReport m_report;
};
