// The report lines of device discovery: small helpers shared by the table and the search.
#pragma once

#include "ReportText.h"

namespace discovery {

/// The German or the English text, as the registered report's language says.
inline const char* Text(const char* pszEnglish, const char* pszGerman) {
    return ReportIsGerman() ? pszGerman : pszEnglish;
}

/// EnsureBlankLine on the registered report, if there is one.
inline void EnsureBlankLine() {
    if (g_pReportText != nullptr) {
        g_pReportText->EnsureBlankLine();
    }
}

/// UpdateDisplay on the registered report, if there is one.
inline void UpdateDisplay() {
    if (g_pReportText != nullptr) {
        g_pReportText->UpdateDisplay();
    }
}

}  // namespace discovery
