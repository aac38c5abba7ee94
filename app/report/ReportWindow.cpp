#include "ReportWindow.h"

#include <algorithm>
#include <cstdarg>

#include "ReportEditControl.h"

CReportWindow* g_pReportWindow = nullptr;

CReportWindow::CReportWindow(UINT nIDTemplate)
    : CDialogEx(nIDTemplate, nullptr), m_pEditControl(new CReportEditControl) {
    m_text.m_pDisplay = this;
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
    CReportEditControl* pEdit = m_pEditControl.load();
    if (pEdit != nullptr && m_nEditId != 0) {
        pEdit->m_nNotifyId = m_nEditId;
        pEdit->m_nNotifyCode = kThumbTrackEndNotifyCode;
        pEdit->m_updateDisplay = [this] { UpdateDisplay(); };
        pEdit->SubclassDlgItem(static_cast<UINT>(m_nEditId), this);
    }
    if (CWnd* pControl = ReportControl()) {
        m_text.SetDisplayLimit(static_cast<UINT>(pControl->SendMessage(EM_GETLIMITTEXT, 0, 0)));
    }
    m_text.Reset();
    // From here on this is the program's report window: ReportPrintf and ReportErrorLocation
    // write to it. (The search and the dialogs write to the report they are handed.)
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

bool CReportWindow::IsDisplayBehind() const {
    return !m_bShown || m_nShownRewrites != m_text.TextRewrites() ||
           m_nShownLength != m_text.m_strText.size();
}

void CReportWindow::UpdateDisplay() {
    Refresh(false);
}

void CReportWindow::ShowWholeText() {
    Refresh(true);
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
    const std::string& text = m_text.m_strText;
    const bool bOnlyAppended =
        !bWhole && m_bShown && m_nShownRewrites == m_text.TextRewrites() &&
        m_nShownLength <= text.size() && m_nShownLength >= m_shownTail.size() &&
        text.compare(m_nShownLength - m_shownTail.size(), m_shownTail.size(), m_shownTail) == 0;
    if (bOnlyAppended) {
        if (m_nShownLength < text.size()) {
            const auto nEnd = static_cast<WPARAM>(m_nShownLength);
            pControl->SendMessage(EM_SETSEL, nEnd, static_cast<LPARAM>(nEnd));
            pControl->SendMessage(EM_REPLACESEL, FALSE,
                                  reinterpret_cast<LPARAM>(text.c_str() + m_nShownLength));
        }
    } else {
        pControl->SetWindowText(text.c_str());
    }
    pControl->SendMessage(EM_SETSEL, static_cast<WPARAM>(-1), -1);
    pControl->SendMessage(EM_LINESCROLL, 0, 0x7FFFFFFF);
    m_bShown = true;
    m_nShownLength = text.size();
    m_nShownRewrites = m_text.TextRewrites();
    const std::size_t nTail = std::min(kShownTail, text.size());
    m_shownTail.assign(text, text.size() - nTail, nTail);
    // The search keeps the thread busy: show the text now.
    pControl->UpdateWindow();
}

void CReportWindow::HandleKey(WPARAM nChar) {
    if (nChar == 1) {
        if (CWnd* pControl = ReportControl()) {
            pControl->SendMessage(EM_SETSEL, 0, -1);
        }
    } else if (nChar == 43) {
        m_text.EnsureBlankLine();
        const auto n = static_cast<LPARAM>(m_text.m_strText.size());
        if (CWnd* pControl = ReportControl()) {
            pControl->SendMessage(EM_SETSEL, static_cast<WPARAM>(n), n);
        }
    }
}

void CReportWindow::OnDestroy() {
    m_bShown = false;
    m_nEditId = 0;
    m_text.SetDisplayLimit(0);
    Default();
    ReleaseEditControl();
}

void CReportWindow::ReleaseEditControl() {
    m_nEditId = 0;
    m_text.SetDisplayLimit(0);
    if (CReportEditControl* pEdit = m_pEditControl.exchange(nullptr)) {
        delete pEdit;
    }
}

void ReportPrintf(const char* pszFormat, ...) {
    if (g_pReportWindow == nullptr) {
        return;
    }
    va_list args;
    va_start(args, pszFormat);
    g_pReportWindow->Report().VPrintf(pszFormat, args);
    va_end(args);
}

void ReportErrorLocation(const char* pszFunction, const char* pszFile, int nLine) {
    g_pReportWindow->Report().PrintErrorLocation(pszFunction, pszFile, nLine);
}
