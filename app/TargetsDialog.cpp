#include "TargetsDialog.h"

#include "ClorixlogfinderApp.h"
#include "ReportText.h"
#include "resource.h"

CTargetsDialog::CTargetsDialog(CSavedTargets& saved)
    : CDialogEx(IDD_TARGETS, nullptr), m_saved(saved) {}

BOOL CTargetsDialog::OnInitDialog() {
    CDialogEx::OnInitDialog();
    if (CWnd* pEdit = GetDlgItem(IDC_TARGETS)) {
        pEdit->SetWindowText(m_saved.m_strText.c_str());
    }
    return TRUE;  // the focus to the list, the first control that takes it
}

void CTargetsDialog::OnOK() {
    CWnd* pEdit = GetDlgItem(IDC_TARGETS);
    const std::string text = pEdit != nullptr ? pEdit->GetWindowText() : std::string();
    std::string problem;
    if (!m_saved.Replace(text, IsGermanLanguageTag(g_szLanguage), &problem)) {
        MessageBox(problem.c_str());
        if (pEdit != nullptr) {
            pEdit->SetFocus();
        }
        return;
    }
    EndDialog(IDOK);
}
