#include "TargetsDialog.h"

#include "resource.h"

CTargetsDialog::CTargetsDialog(CSavedTargets& saved, Language language)
    : CDialogEx(IDD_TARGETS, nullptr), m_saved(saved), m_language(language) {}

BOOL CTargetsDialog::OnInitDialog() {
    CDialogEx::OnInitDialog();
    // Over the middle of the main window, where the user asked for it.
    if (CWnd* pOwner = GetParent()) {
        RECT owner{};
        RECT dialog{};
        pOwner->GetWindowRect(&owner);
        GetWindowRect(&dialog);
        const long nWidth = dialog.right - dialog.left;
        const long nHeight = dialog.bottom - dialog.top;
        MoveWindow(static_cast<int>(owner.left + (owner.right - owner.left - nWidth) / 2),
                   static_cast<int>(owner.top + (owner.bottom - owner.top - nHeight) / 2),
                   static_cast<int>(nWidth), static_cast<int>(nHeight), FALSE);
    }
    if (CWnd* pEdit = GetDlgItem(IDC_TARGETS)) {
        pEdit->SetWindowText(m_saved.m_strText.c_str());
        // The caret at the end of the list, for one more target.
        const auto nEnd = static_cast<WPARAM>(m_saved.m_strText.size());
        pEdit->SendMessage(EM_SETSEL, nEnd, static_cast<LPARAM>(nEnd));
        pEdit->SetFocus();
    }
    return FALSE;  // the focus is set
}

void CTargetsDialog::OnOK() {
    CWnd* pEdit = GetDlgItem(IDC_TARGETS);
    const std::string text = pEdit != nullptr ? pEdit->GetWindowText() : std::string();
    std::string problem;
    if (!m_saved.Replace(text, m_language, &problem)) {
        MessageBox(problem.c_str());
        if (pEdit != nullptr) {
            pEdit->SetFocus();
        }
        return;
    }
    EndDialog(IDOK);
}
