// The edit control that shows the report: holds refreshes back while a scroll-bar thumb is
// dragged and brings the display up to date when the drag ends.
#pragma once

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

    /// Adds an item to the report's context menu, after Copy, Select All and a separator:
    /// choosing it posts WM_COMMAND with the id to the control's window.
    void AddMenuItem(UINT nID, const char* pszText);
    /// Handler of WM_CONTEXTMENU: the report's own menu in place of the control's, at the point,
    /// or at the control's top left corner when the user asked from the keyboard.
    void OnContextMenu(CWnd* pWnd, POINT point);

    /// Handler of WM_HSCROLL and WM_VSCROLL: tracks the thumb, scrolls, and runs OnThumbTrackEnd
    /// when a drag has ended.
    void OnScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    /// Tells the parent window (the report window, which then shows what arrived during the
    /// drag) by WM_NOTIFY with m_nNotifyId and m_nNotifyCode.
    void OnThumbTrackEnd();

protected:
    DECLARE_MESSAGE_MAP()

private:
    std::vector<std::pair<UINT, std::string>> m_menuItems;
};
