// The edit control that shows the report: holds refreshes back while a scroll-bar thumb is
// dragged and brings the display up to date when the drag ends.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/Afx.h"

class CReportEditControl : public CEdit {
public:
    /// True while the user drags a thumb of either scroll bar.
    bool m_bThumbTracking = false;
    /// Id and code of the WM_NOTIFY sent to the parent when a drag ends; 0 sends none.
    int m_nNotifyId = 0;
    int m_nNotifyCode = 0;
    /// Brings the display of the report window that attached the control up to date; set by
    /// that window (CReportWindow::UpdateDisplay), empty: nothing to bring up to date.
    std::function<void()> m_updateDisplay;

    /// Adds an item to the report's context menu, after Copy, Select All and a separator:
    /// choosing it posts WM_COMMAND with the id to the control's window. isEnabled, when given,
    /// says each time the menu opens whether the item can be chosen.
    void AddMenuItem(UINT nID, const char* pszText, std::function<bool()> isEnabled = {});
    /// Handler of WM_CONTEXTMENU: the report's own menu in place of the control's, at the point,
    /// or at the control's top left corner when the user asked from the keyboard.
    void OnContextMenu(CWnd* pWnd, POINT point);

    /// Handler of WM_HSCROLL and WM_VSCROLL: tracks the thumb, scrolls, and runs OnThumbTrackEnd
    /// when a drag has ended.
    void OnScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    /// Brings the parent report window's display up to date (m_updateDisplay: what arrived
    /// during the drag, and the view back at the end), then tells the parent by WM_NOTIFY with
    /// m_nNotifyId and m_nNotifyCode.
    void OnThumbTrackEnd();

protected:
    DECLARE_MESSAGE_MAP()

private:
    struct MenuItem {
        UINT nID;
        std::string text;
        std::function<bool()> isEnabled;
    };
    std::vector<MenuItem> m_menuItems;
};
