// The application: start-up, the language of the user interface, and the main dialog's run.
#pragma once

#include <string>

#include "ui/Afx.h"

/// The language tag of the user interface ("de-DE" or "en-US"), zero-terminated; written once by
/// start-up from the string resource IDS_LANGUAGE of the chosen resource language.
extern char g_szLanguage[170];

/// Fills g_szLanguage from the string resource IDS_LANGUAGE, or with "en-US" when there is none.
void DetermineLanguageTag();

class ClorixlogfinderApp : public CWinApp {
public:
    ClorixlogfinderApp();

    /// Takes the program's own options from the command line (--target TARGET, repeatable);
    /// others are left to the toolkit. A malformed target is kept as m_strCommandLineError, which
    /// InitInstance shows in a message box before it ends the program.
    void ParseCommandLine(int argc, char** argv);
    std::string m_strCommandLineError;

    /// Starts the socket layer (version 2.2 and nothing else), determines the language tag and
    /// runs the main dialog; stops the socket layer again afterwards. Returns FALSE, so that no
    /// message loop runs after the dialog. Start-up failures are written to standard error.
    BOOL InitInstance() override;
    /// Passes every typed character to the main window's report keys, then to the framework.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    DECLARE_MESSAGE_MAP()
};

extern ClorixlogfinderApp g_App;
