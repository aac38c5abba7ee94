#include "ReportEditControl.h"

#include "resource.h"
#include "ui/Resources.h"

BEGIN_MESSAGE_MAP(CReportEditControl, CEdit)
ON_SCROLL_MESSAGE(WM_HSCROLL, OnScroll)
ON_SCROLL_MESSAGE(WM_VSCROLL, OnScroll)
ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

namespace {

const char* Text(UINT nID, const char* pszFallback) {
    const char* pszText = ui::FindString(nID);
    return pszText != nullptr ? pszText : pszFallback;
}

}  // namespace

void CReportEditControl::AddMenuItem(UINT nID, const char* pszText,
                                     std::function<bool()> isEnabled) {
    m_menuItems.push_back(MenuItem{nID, pszText, std::move(isEnabled)});
}

void CReportEditControl::OnContextMenu(CWnd*, POINT point) {
    if (point.x == -1 && point.y == -1) {
        RECT rect{};
        GetWindowRect(&rect);
        point = POINT{rect.left + 8, rect.top + 8};
    }
    // Read through pointers: the two halves of the result cannot hold positions beyond 65,535.
    DWORD nStart = 0;
    DWORD nEnd = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
    const bool bSelected = nStart != nEnd;
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(MF_STRING | (bSelected ? 0 : MF_GRAYED), ID_EDIT_COPY,
                    Text(IDS_MENU_COPY, "&Copy"));
    menu.AppendMenu(MF_STRING, ID_EDIT_SELECT_ALL, Text(IDS_MENU_SELECT_ALL, "Select &All"));
    if (!m_menuItems.empty()) {
        menu.AppendMenu(MF_SEPARATOR);
    }
    for (const MenuItem& item : m_menuItems) {
        const bool bEnabled = !item.isEnabled || item.isEnabled();
        menu.AppendMenu(MF_STRING | (bEnabled ? 0 : MF_GRAYED), item.nID, item.text.c_str());
    }
    const auto nChosen = static_cast<UINT>(
        menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                            static_cast<int>(point.x), static_cast<int>(point.y), this));
    if (nChosen == ID_EDIT_COPY) {
        SendMessage(WM_COPY);
    } else if (nChosen == ID_EDIT_SELECT_ALL) {
        SetSel(0, -1);
    } else if (nChosen != 0) {
        // After the menu has gone: the command may open a dialog.
        if (CWnd* pParent = GetParent()) {
            pParent->PostMessage(WM_COMMAND, MAKEWPARAM(nChosen, 0), 0);
        }
    }
}

void CReportEditControl::OnScroll(UINT nSBCode, UINT, CScrollBar*) {
    const bool bWasTracking = m_bThumbTracking;
    if (nSBCode == SB_THUMBTRACK) {
        m_bThumbTracking = true;
    } else if (nSBCode == SB_ENDSCROLL) {
        m_bThumbTracking = false;
    }
    Default();
    if (bWasTracking && !m_bThumbTracking) {
        OnThumbTrackEnd();
    }
}

void CReportEditControl::OnThumbTrackEnd() {
    CWnd* pParent = GetParent();
    // What arrived during the drag is shown, and the view goes back to the end of the text.
    if (pParent != nullptr && IsWindow(pParent->m_hWnd) && m_updateDisplay) {
        m_updateDisplay();
    }
    if (m_nNotifyId != 0 && m_nNotifyCode != 0 && pParent != nullptr && IsWindow(pParent->m_hWnd)) {
        NMHDR hdr{};
        hdr.hwndFrom = m_hWnd;
        hdr.idFrom = static_cast<std::uintptr_t>(m_nNotifyId);
        hdr.code = static_cast<UINT>(m_nNotifyCode);
        pParent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(m_nNotifyId),
                             reinterpret_cast<LPARAM>(&hdr));
    }
}
