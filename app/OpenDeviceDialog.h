// The dialog that lists the found devices and opens the chosen one's web page in the browser.
#pragma once

#include <string>

#include "DeviceInfo.h"
#include "KeptSize.h"
#include "Language.h"
#include "ReportSink.h"
#include "ui/Afx.h"

class COpenDeviceDialog : public CDialogEx {
public:
    /// The dialog lists the devices of the table, writes its line to the report, and speaks the
    /// language: what it works with is handed to it, nothing is taken from the program's globals
    /// (but the program's name for its title, from the registered report window).
    COpenDeviceDialog(CReportSink& report, const CDeviceInfo& table, Language language);

    /// Where the size the user gave the list is kept (not kept while its file is empty).
    CKeptSize m_keptSize;

    /// The list line of a device: host name, "  (" IPv4 ")", "  (" IPv6 ")", and "  # " serial
    /// number when that differs from the host name (ignoring the case of ASCII letters); control
    /// bytes of the device's texts escaped. Sets *pbHasIPv6 when the device has an IPv6 text.
    static std::string ListLine(const DeviceRecord& device, bool* pbHasIPv6);
    /// Where the dialog goes: centred horizontally on its owner, its bottom on the owner's bottom.
    static POINT Placement(const RECT& owner, const RECT& dialog);

    BOOL OnInitDialog() override;
    void OnByName();
    void OnByIPv4();
    void OnByIPv6();
    void OnDeviceListDblClk();
    void OnDeviceListSelChange();
    /// Enter: opens the selected device as a double click does.
    void OnOK() override;
    /// The list's menu (a right click, the menu key): Open, Copy address, Copy line, Save list
    /// as... .
    void OnContextMenu(CWnd* pWnd, POINT point);
    /// Keeps the size the user gave the list.
    void OnDestroy();

protected:
    /// The device of the list's selection, or null when the selection selects none.
    const DeviceRecord* SelectedDevice();
    /// Writes the report line, hands the URL to the shell and ends the dialog with IDOK. When
    /// the browser cannot be started, an error line says so and the dialog stays open.
    void OpenAddress(const std::string& url);

    DECLARE_MESSAGE_MAP()

private:
    CReportSink& m_report;
    const CDeviceInfo& m_table;
    const Language m_language;
    /// The client area's size once the dialog was opened: a different one at the end is kept.
    RECT m_openedClient{0, 0, 0, 0};
};
