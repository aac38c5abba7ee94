#include "ReportWindow.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "ReportEditControl.h"
#include "resource.h"

CReportWindow* g_pReportWindow = nullptr;
CReportTextListener* g_pDefaultReportListener = nullptr;

namespace {

constexpr std::size_t kPrintfBufferSize = 1024;
constexpr UINT kLargestTrimLimit = 0x40000;
constexpr std::size_t kLimitWithoutControl = 32000;
constexpr std::size_t kCutWithoutControl = 4000;

struct LinePrefix {
    const char* psz;
    std::size_t nLength;
};

constexpr LinePrefix kErrorPrefixes[] = {
    {"ERROR: ", 7},           {"*** ERROR: ", 11},          {"InternalError: ", 15},
    {"Internal Error: ", 16}, {"*** INTERNAL ERROR: ", 20},
};

constexpr LinePrefix kWarningPrefixes[] = {
    {"WARNING: ", 9},
    {"*** WARNING: ", 13},
};

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(const char* pszText, const LinePrefix& prefix) {
    for (std::size_t i = 0; i < prefix.nLength; ++i) {
        if (pszText[i] == '\0' || AsciiLower(pszText[i]) != AsciiLower(prefix.psz[i])) {
            return false;
        }
    }
    return true;
}

template <std::size_t N>
bool StartsWithAny(const char* pszText, const LinePrefix (&prefixes)[N]) {
    for (const LinePrefix& prefix : prefixes) {
        if (StartsWithIgnoringCase(pszText, prefix)) {
            return true;
        }
    }
    return false;
}

/// Formats into at most 1023 characters and appends the result.
void AppendFormatted(CReportWindow& report, const char* pszFormat, va_list args) {
    char szBuffer[kPrintfBufferSize] = {};
    std::vsnprintf(szBuffer, sizeof(szBuffer), pszFormat, args);
    szBuffer[kPrintfBufferSize - 1] = '\0';
    report.AppendText(szBuffer);
}

bool EndsWithLineEndAt(const std::string& text, std::size_t nFromEnd) {
    // Whether "\r\n" stands nFromEnd characters before the end (2: the last two characters).
    if (text.size() < nFromEnd) {
        return false;
    }
    const std::size_t i = text.size() - nFromEnd;
    return text[i] == '\r' && text[i + 1] == '\n';
}

}  // namespace

bool IsGermanLanguageTag(const char* pszTag) {
    return pszTag != nullptr && std::strncmp(pszTag, "de-", 3) == 0;
}

bool ReportIsGerman() {
    return g_pReportWindow != nullptr && g_pReportWindow->IsGerman();
}

CReportWindow::CReportWindow()
    : CDialogEx(IDD_MAIN, nullptr), m_pEditControl(new CReportEditControl) {
    m_pListener = g_pDefaultReportListener;
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

bool CReportWindow::IsGerman() const {
    return IsGermanLanguageTag(m_pszLanguage);
}

void CReportWindow::AppendText(const char* pszPiece) {
    bool bErrorOrWarning = false;
    if (StartsWithAny(pszPiece, kErrorPrefixes)) {
        ++m_nErrors;
        bErrorOrWarning = true;
    } else if (StartsWithAny(pszPiece, kWarningPrefixes)) {
        ++m_nWarnings;
        bErrorOrWarning = true;
    }
    if (bErrorOrWarning) {
        EnsureBlankLine();
    }

    if (pszPiece[0] == '\r' && pszPiece[1] != '\n') {
        // A lone carriage return rewrites the unfinished last line.
        const std::size_t nLastLineFeed = m_strText.rfind('\n');
        if (nLastLineFeed != std::string::npos && nLastLineFeed + 1 < m_strText.size()) {
            m_strText.erase(nLastLineFeed + 1);
            if (m_pListener != nullptr) {
                m_pListener->OnUnfinishedLineDropped();
            }
        }
        ++pszPiece;
    }

    const std::size_t nLength = std::strlen(pszPiece);
    TrimText(nLength);
    m_strText.append(pszPiece, nLength);
    if (m_pListener != nullptr && nLength > 0) {
        m_pListener->OnTextAppended(pszPiece, nLength);
    }

    if (bErrorOrWarning) {
        EnsureBlankLine();
    }
    if (m_bAutoRefresh && std::strstr(pszPiece, "\r\n") != nullptr) {
        UpdateDisplay();
    }
}

void CReportWindow::Printf(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    AppendFormatted(*this, pszFormat, args);
    va_end(args);
}

void CReportWindow::EnsureBlankLine() {
    if (!EndsWithLineEndAt(m_strText, 2)) {
        AppendText("\r\n");
    }
    if (!EndsWithLineEndAt(m_strText, 4)) {
        AppendText("\r\n");
    }
}

void CReportWindow::Reset() {
    m_strText.clear();
    m_bAutoRefresh = true;
    m_nErrors = 0;
    m_nWarnings = 0;
    if (m_pListener != nullptr) {
        m_pListener->OnReportReset();
    }
    if (m_nEditId != 0) {
        if (CWnd* pControl = GetDlgItem(m_nEditId)) {
            pControl->SendMessage(EM_LIMITTEXT, 0, 0);
            const auto nLimit = static_cast<UINT>(pControl->SendMessage(EM_GETLIMITTEXT, 0, 0));
            pControl->SendMessage(EM_LIMITTEXT, nLimit & 0x0FFFFFFFu, 0);
        }
    }
    Printf(IsGerman() ? "Dies ist %s%s vom %s, %s\r\n" : "This is %s%s built on %s, %s\r\n",
           m_pszProgramName, "", m_pszBuildDate, m_pszBuildTime);
}

void CReportWindow::TrimText(std::size_t nIncoming) {
    std::size_t nLimit = kLimitWithoutControl;
    std::size_t nCut = kCutWithoutControl;
    if (m_nEditId != 0) {
        if (CWnd* pControl = GetDlgItem(m_nEditId)) {
            UINT nControlLimit = static_cast<UINT>(pControl->SendMessage(EM_GETLIMITTEXT, 0, 0));
            if (nControlLimit > kLargestTrimLimit) {
                nControlLimit = kLargestTrimLimit;
            }
            nLimit = nControlLimit;
            nCut = nLimit / 8;
        }
    }
    const std::size_t nLength = m_strText.size();
    if (nLength + nIncoming <= nLimit) {
        return;
    }
    // Prefer to cut behind an empty line within half a cut size past the cut size.
    std::size_t i = nCut;
    for (; i < nLength && i < nCut + nCut / 2; ++i) {
        if (i >= 2 && m_strText[i] == '\n' && m_strText[i - 2] == '\n') {
            break;
        }
    }
    std::size_t j = i < nLength ? m_strText.find('\n', i) : std::string::npos;
    if (j == std::string::npos) {
        j = nLength;
    }
    m_strText.erase(0, j);
}

void CReportWindow::UpdateDisplay() {
    if (m_nEditId == 0) {
        return;
    }
    CWnd* pControl = GetDlgItem(m_nEditId);
    if (pControl == nullptr) {
        return;
    }
    CReportEditControl* pEdit = m_pEditControl.load();
    if (pEdit != nullptr && pEdit->m_bThumbTracking) {
        return;
    }
    pControl->SetWindowText(m_strText.c_str());
    pControl->SendMessage(EM_SETSEL, static_cast<WPARAM>(-1), -1);
    pControl->SendMessage(EM_LINESCROLL, 0, 0x7FFFFFFF);
}

void CReportWindow::HandleKey(WPARAM nChar) {
    if (nChar == 1) {
        if (m_nEditId != 0) {
            if (CWnd* pControl = GetDlgItem(m_nEditId)) {
                pControl->SendMessage(EM_SETSEL, 0, -1);
            }
        }
    } else if (nChar == 43) {
        EnsureBlankLine();
        const auto n = static_cast<LPARAM>(m_strText.size());
        if (m_nEditId != 0) {
            if (CWnd* pControl = GetDlgItem(m_nEditId)) {
                pControl->SendMessage(EM_SETSEL, static_cast<WPARAM>(n), n);
            }
        }
    }
}

void CReportWindow::OnDestroy() {
    m_nEditId = 0;
    Default();
    ReleaseEditControl();
}

void CReportWindow::ReleaseEditControl() {
    m_nEditId = 0;
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
    AppendFormatted(*g_pReportWindow, pszFormat, args);
    va_end(args);
}

void ReportErrorLocation(const char* pszFunction, const char* pszFile, int nLine) {
    const char* pszShownFunction = std::strchr(pszFunction, ':');
    if (pszShownFunction == nullptr) {
        pszShownFunction = pszFunction;
    }
    const char* pszShownFile = pszFile;
    if (const char* p = std::strrchr(pszShownFile, '\\')) {
        pszShownFile = p + 1;
    }
    if (const char* p = std::strrchr(pszShownFile, '/')) {
        pszShownFile = p + 1;
    }
    g_pReportWindow->Printf(" in %s() in \"%s\" line %d\r\n", pszShownFunction, pszShownFile,
                            nLine);
}
