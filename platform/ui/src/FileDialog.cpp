#include "ui/FileDialog.h"

#include "ui/Backend.h"

namespace fw {

CFileDialog::CFileDialog(const char* pszFileName, const char* pszFilter, CWnd* pParentWnd)
    : m_strFileName(pszFileName != nullptr ? pszFileName : ""), m_pParentWnd(pParentWnd) {
    // "label|*.ext|label|*.ext||": pairs until an empty label.
    std::vector<std::string> parts;
    std::string part;
    for (const char* p = pszFilter != nullptr ? pszFilter : ""; *p != '\0'; ++p) {
        if (*p == '|') {
            parts.push_back(part);
            part.clear();
        } else {
            part += *p;
        }
    }
    for (std::size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        std::string extension = parts[i + 1];
        if (extension.rfind("*.", 0) == 0) {
            extension.erase(0, 2);
        }
        m_filters.emplace_back(parts[i], extension);
    }
}

INT_PTR CFileDialog::DoModal() {
    ui::Backend* pBackend = ui::GetBackend();
    if (pBackend == nullptr || m_filters.empty()) {
        return IDCANCEL;
    }
    ui::SaveFileRequest request;
    request.title = m_strTitle;
    request.filters = m_filters;
    request.nFilter = m_nFilterIndex >= 1 && m_nFilterIndex <= static_cast<int>(m_filters.size())
                          ? m_nFilterIndex - 1
                          : 0;
    request.initialName = m_strFileName;
    CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    ui::SaveFileChoice choice;
    if (!pBackend->ChooseSaveFile(pOwner != nullptr ? pOwner->m_hWnd : nullptr, request, &choice)) {
        return IDCANCEL;
    }
    m_strPath = choice.path;
    m_nFilterIndex = choice.nFilter + 1;
    return IDOK;
}

std::string CFileDialog::GetFileExt() const {
    const int nIndex = m_nFilterIndex - 1;
    return nIndex >= 0 && nIndex < static_cast<int>(m_filters.size()) ? m_filters[nIndex].second
                                                                      : std::string();
}

}  // namespace fw
