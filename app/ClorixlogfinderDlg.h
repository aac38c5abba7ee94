// The main dialog: the logo, the buttons and the report of the device search.
#pragma once

#include "ReportWindow.h"

class ClorixlogfinderDlg : public CReportWindow {
public:
    ClorixlogfinderDlg();

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

    DECLARE_MESSAGE_MAP()
};
