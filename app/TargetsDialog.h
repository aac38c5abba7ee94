// The dialog in which the user keeps the search targets beyond the local networks: one target a
// line, as --target takes them.
#pragma once

#include <string>

#include "SavedTargets.h"
#include "ui/Afx.h"

class CTargetsDialog : public CDialogEx {
public:
    /// The dialog shows the kept list and, on OK, replaces it (file included); it says what is
    /// wrong in the language.
    CTargetsDialog(CSavedTargets& saved, Language language);

    BOOL OnInitDialog() override;
    /// Takes the list when every line is a target and it could be saved; otherwise says what is
    /// wrong in a message and stays open, with the user's text as it is.
    void OnOK() override;

private:
    CSavedTargets& m_saved;
    const Language m_language;
};
