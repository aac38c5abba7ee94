#include "ReportText.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kLargestTrimLimit = 0x40000;
constexpr std::size_t kLimitWithoutDisplay = 32000;

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

bool EndsWithLineEndAt(const std::string& text, std::size_t nFromEnd) {
    // Whether "\r\n" stands nFromEnd characters before the end (2: the last two characters).
    if (text.size() < nFromEnd) {
        return false;
    }
    const std::size_t i = text.size() - nFromEnd;
    return text[i] == '\r' && text[i + 1] == '\n';
}

}  // namespace

CReportText::CReportText() {
    SetDisplayLimit(0);
}

Language CReportText::GetLanguage() const {
    return LanguageOfTag(m_pszLanguage);
}

void CReportText::SetDisplayLimit(std::size_t nLimit) {
    if (nLimit == 0) {
        m_nTrimLimit = kLimitWithoutDisplay;
    } else {
        m_nTrimLimit = nLimit < kLargestTrimLimit ? nLimit : kLargestTrimLimit;
    }
    m_nTrimCut = m_nTrimLimit / 8;
}

void CReportText::AppendText(const char* pszPiece) {
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
            ++m_nTextRewrites;
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

void CReportText::EnsureLineEnd() {
    if (!EndsWithLineEndAt(m_strText, 2)) {
        AppendText("\r\n");
    }
}

void CReportText::EnsureBlankLine() {
    if (!EndsWithLineEndAt(m_strText, 2)) {
        AppendText("\r\n");
    }
    if (!EndsWithLineEndAt(m_strText, 4)) {
        AppendText("\r\n");
    }
}

void CReportText::Reset() {
    m_strText.clear();
    ++m_nTextRewrites;
    m_bAutoRefresh = true;
    m_nErrors = 0;
    m_nWarnings = 0;
    if (m_pListener != nullptr) {
        m_pListener->OnReportReset();
    }
    if (m_pDisplay != nullptr) {
        SetDisplayLimit(m_pDisplay->ResetDisplayLimit());
    }
    Printf(Say(texts::ReportBanner), m_pszProgramName, "", m_pszBuildDate, m_pszBuildTime);
}

void CReportText::TrimText(std::size_t nIncoming) {
    const std::size_t nLength = m_strText.size();
    if (nLength + nIncoming <= m_nTrimLimit) {
        return;
    }
    // Prefer to cut behind an empty line within half a cut size past the cut size.
    const std::size_t nCut = m_nTrimCut;
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
    ++m_nTextRewrites;
}

void CReportText::UpdateDisplay() {
    if (m_pDisplay != nullptr) {
        m_pDisplay->ShowReportText();
    }
    if (m_pListener != nullptr) {
        m_pListener->OnReportFlush();
    }
}

void CReportText::PrintErrorLocation(const char* pszFunction, const char* pszFile, int nLine) {
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
    Printf(" in %s() in \"%s\" line %d\r\n", pszShownFunction, pszShownFile, nLine);
}
