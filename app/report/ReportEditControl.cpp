#include "ReportEditControl.h"

BEGIN_MESSAGE_MAP(CReportEditControl, CEdit)
ON_SCROLL_MESSAGE(WM_HSCROLL, OnScroll)
ON_SCROLL_MESSAGE(WM_VSCROLL, OnScroll)
END_MESSAGE_MAP()

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
    if (m_nNotifyId != 0 && m_nNotifyCode != 0 && pParent != nullptr && IsWindow(pParent->m_hWnd)) {
        NMHDR hdr{};
        hdr.hwndFrom = m_hWnd;
        hdr.idFrom = static_cast<std::uintptr_t>(m_nNotifyId);
        hdr.code = static_cast<UINT>(m_nNotifyCode);
        pParent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(m_nNotifyId),
                             reinterpret_cast<LPARAM>(&hdr));
    }
}
