#include "TargetsDialog.h"

#include <string>

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
        // The caret at the start of a new line after the list, for one more target: what the
        // user types is never joined to the last target.
        std::string text = m_saved.m_strText;
        if (!text.empty() && text.back() != '\n') {
            text += "\r\n";
        }
        pEdit->SetWindowText(text.c_str());
        const auto nEnd = static_cast<WPARAM>(text.size());
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
