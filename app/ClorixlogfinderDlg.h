// The main dialog: the logo, the buttons and the report of the device search.
#pragma once

#include "DeviceInfo.h"
#include "ReportWindow.h"

class ClorixlogfinderDlg : public CReportWindow, private CSearchHost {
public:
    ClorixlogfinderDlg();

    /// Set when the user asked to close the window while a search ran (Escape, Quit, the close
    /// box): the search ends early and the window closes instead of offering the devices.
    bool m_bCloseRequested = false;

    /// The program icon (shared; never destroyed).
    HICON m_hIcon;

    /// Where a minimised window draws its icon: centred in the client area, rounding as the
    /// integer division of (size - icon + 1) / 2 does.
    static POINT MinimizedIconPosition(const RECT& client, int cxIcon, int cyIcon);

protected:
    BOOL OnInitDialog() override;
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSearch();
    void OnQuit();
    void OnOpenDevice();
    void OnSearchAgain();
    /// The report's context menu: the targets dialog, whose list every later search queries.
    void OnSearchTargets();

    DECLARE_MESSAGE_MAP()

private:
    /// While the search blocks the thread: the report as it grows, the window painted, and the
    /// user's request to close noted (nothing else the user does acts meanwhile).
    bool KeepResponsive() override;
};
