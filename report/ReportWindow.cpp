#include "ReportWindow.h"

#include <algorithm>

#include "ReportEditControl.h"

CReportWindowRegistration g_pReportWindow;

CReportWindowRegistration& CReportWindowRegistration::operator=(CReportWindow* pWindow) {
    m_pWindow = pWindow;
    g_pReportText = pWindow;
    return *this;
}

CReportWindow::CReportWindow(UINT nIDTemplate)
    : CDialogEx(nIDTemplate, nullptr), m_pEditControl(new CReportEditControl) {
    m_pDisplay = this;
}

CReportWindow::~CReportWindow() {
    ReleaseEditControl();
    if (g_pReportWindow == this) {
        g_pReportWindow = nullptr;
    }
}

BEGIN_MESSAGE_MAP(CReportWindow, CDialogEx)
ON_WM_DESTROY()
END_MESSAGE_MAP()

CWnd* CReportWindow::ReportControl() const {
    return m_nEditId != 0 ? GetDlgItem(m_nEditId) : nullptr;
}

void CReportWindow::AttachReportDisplay() {
    if (CReportEditControl* pEdit = m_pEditControl.load()) {
        pEdit->m_nNotifyId = m_nEditId;
        pEdit->m_nNotifyCode = kThumbTrackEndNotifyCode;
        pEdit->SubclassDlgItem(static_cast<UINT>(m_nEditId), this);
    }
    if (CWnd* pControl = ReportControl()) {
        SetDisplayLimit(static_cast<UINT>(pControl->SendMessage(EM_GETLIMITTEXT, 0, 0)));
    }
    Reset();
    g_pReportWindow = this;
}

std::size_t CReportWindow::ResetDisplayLimit() {
    CWnd* pControl = ReportControl();
    if (pControl == nullptr) {
        return 0;
    }
    // The largest limit the control has (a multiline edit reports all bits set), made positive.
    pControl->SendMessage(EM_LIMITTEXT, 0, 0);
    const auto nLimit = static_cast<UINT>(pControl->SendMessage(EM_GETLIMITTEXT, 0, 0));
    pControl->SendMessage(EM_LIMITTEXT, nLimit & 0x0FFFFFFFu, 0);
    return static_cast<UINT>(pControl->SendMessage(EM_GETLIMITTEXT, 0, 0));
}

namespace {
// The bytes at the end of the shown text that a refresh checks before it only appends.
constexpr std::size_t kShownTail = 32;
}  // namespace

void CReportWindow::UpdateDisplay() {
    Refresh(false);
}

void CReportWindow::ShowWholeText() {
    Refresh(true);
}

bool CReportWindow::IsDisplayBehind() const {
    return !m_bShown || m_nShownRewrites != TextRewrites() || m_nShownLength != m_strText.size();
}

void CReportWindow::Refresh(bool bWhole) {
    CWnd* pControl = ReportControl();
    if (pControl == nullptr) {
        return;
    }
    CReportEditControl* pEdit = m_pEditControl.load();
    if (pEdit != nullptr && pEdit->m_bThumbTracking) {
        return;
    }
    const bool bOnlyAppended =
        !bWhole && m_bShown && m_nShownRewrites == TextRewrites() &&
        m_nShownLength <= m_strText.size() && m_nShownLength >= m_shownTail.size() &&
        m_strText.compare(m_nShownLength - m_shownTail.size(), m_shownTail.size(), m_shownTail) == 0;
    if (bOnlyAppended) {
        if (m_nShownLength < m_strText.size()) {
            const auto nEnd = static_cast<WPARAM>(m_nShownLength);
            pControl->SendMessage(EM_SETSEL, nEnd, static_cast<LPARAM>(nEnd));
            pControl->SendMessage(EM_REPLACESEL, FALSE,
                                  reinterpret_cast<LPARAM>(m_strText.c_str() + m_nShownLength));
        }
    } else {
        pControl->SetWindowText(m_strText.c_str());
    }
    pControl->SendMessage(EM_SETSEL, static_cast<WPARAM>(-1), -1);
    pControl->SendMessage(EM_LINESCROLL, 0, 0x7FFFFFFF);
    m_bShown = true;
    m_nShownLength = m_strText.size();
    m_nShownRewrites = TextRewrites();
    const std::size_t nTail = std::min(kShownTail, m_strText.size());
    m_shownTail.assign(m_strText, m_strText.size() - nTail, nTail);
    // The search keeps the thread busy: show the text now.
    pControl->UpdateWindow();
}

void CReportWindow::HandleKey(WPARAM nChar) {
    if (nChar == 1) {
        if (CWnd* pControl = ReportControl()) {
            pControl->SendMessage(EM_SETSEL, 0, -1);
        }
    } else if (nChar == 43) {
        EnsureBlankLine();
        const auto n = static_cast<LPARAM>(m_strText.size());
        if (CWnd* pControl = ReportControl()) {
            pControl->SendMessage(EM_SETSEL, static_cast<WPARAM>(n), n);
        }
    }
}

void CReportWindow::OnDestroy() {
    m_bShown = false;
    m_nEditId = 0;
    SetDisplayLimit(0);
    Default();
    ReleaseEditControl();
}

void CReportWindow::ReleaseEditControl() {
    m_nEditId = 0;
    SetDisplayLimit(0);
    if (CReportEditControl* pEdit = m_pEditControl.exchange(nullptr)) {
        delete pEdit;
    }
}
