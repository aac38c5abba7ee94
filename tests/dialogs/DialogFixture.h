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
#include "DeviceList.h"
#include "DialogBackend.h"
#include "OpenDeviceDialog.h"
#include "ProgramTable.h"
#include "ReportWindow.h"
#include "Resources.h"
#include "ScriptedSocketLayer.h"
#include "ShellSpy.h"
#include "resource.h"
#include "shell/Shell.h"
#include "ui/Afx.h"
#include "ui/Backend.h"
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

/// Takes the message boxes of the program instead of showing them (they would wait for a click),
/// counts the requests to be restarted, and can refuse windows: the backend in front of the real
/// one, which does everything else.
class MessageBoxSpy final : public ui::Backend {
public:
    std::vector<std::string> texts;
    MessageBoxSpy() : m_pReal(ui::GetBackend()) { ui::SetBackend(this); }
    ~MessageBoxSpy() override { ui::SetBackend(m_pReal); }
    MessageBoxSpy(const MessageBoxSpy&) = delete;
    MessageBoxSpy& operator=(const MessageBoxSpy&) = delete;

    void MessageBox(ui::NativeWindow*, const char* pszText) override {
        texts.emplace_back(pszText);
    }
    ui::NativeWindow* CreateDialogWindow(UINT nID, CWnd* pDialog,
                                         ui::NativeWindow* pOwner) override {
        return bRefuseWindows ? nullptr : m_pReal->CreateDialogWindow(nID, pDialog, pOwner);
    }
    /// The window system makes no window (a desktop that is gone, no resources left).
    bool bRefuseWindows = false;
    INT_PTR RunModal(ui::NativeWindow* p) override { return m_pReal->RunModal(p); }
    void EndModal(ui::NativeWindow* p, INT_PTR n) override { m_pReal->EndModal(p, n); }
    void ShowModeless(ui::NativeWindow* p) override { m_pReal->ShowModeless(p); }
    void DestroyWindow(ui::NativeWindow* p) override { m_pReal->DestroyWindow(p); }
    bool IsWindow(ui::NativeWindow* p) const override { return m_pReal->IsWindow(p); }
    HCURSOR SetCursor(HCURSOR h) override { return m_pReal->SetCursor(h); }
    HCURSOR WaitCursor() override { return m_pReal->WaitCursor(); }
    HICON LoadIcon(int nID) override { return m_pReal->LoadIcon(nID); }
    int GetSystemMetrics(int n) override { return m_pReal->GetSystemMetrics(n); }
    UINT TrackPopupMenu(ui::NativeWindow* p, const std::vector<ui::MenuItem>& items, int x,
                        int y) override {
        return m_pReal->TrackPopupMenu(p, items, x, y);
    }
    void PumpWhileBusy(ui::NativeWindow* p, std::vector<int>* pCommands) override {
        m_pReal->PumpWhileBusy(p, pCommands);
    }
    bool ChooseSaveFile(ui::NativeWindow* p, const ui::SaveFileRequest& request,
                        ui::SaveFileChoice* pChoice) override {
        return m_pReal->ChooseSaveFile(p, request, pChoice);
    }
    bool SetClipboardText(const char* pszText) override {
        return m_pReal->SetClipboardText(pszText);
    }
    RECT WorkArea(ui::NativeWindow* p) override { return m_pReal->WorkArea(p); }
    void RegisterRestart() override { ++nRestartRegistrations; }

    /// The program asked to be restarted after an update (counted, not passed on).
    int nRestartRegistrations = 0;

private:
    ui::Backend* m_pReal;
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
