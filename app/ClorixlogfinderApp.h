// The application: start-up, the language of the user interface, and the main dialog's run.
#pragma once

#include <string>
#include <vector>

#include "FinderSettings.h"
#include "Language.h"
#include "LanguageTag.h"
#include "ui/Afx.h"

class CReportTextListener;

/// What the command line asks the program to do.
struct CommandLineRequest {
    enum Kind {
        Run,      ///< search (with the targets and the rate now set in the settings)
        Help,     ///< show the usage (text) and end with 0
        Version,  ///< show the version (text) and end with 0
        Error,    ///< show the one-line error (text) and end with 2; nothing is sent
    };
    Kind kind = Run;
    std::string text;
};

/// The application; its settings (CFinderSettings) are what its main window searches with.
class ClorixlogfinderApp : public CWinApp, public CFinderSettings {
public:
    ClorixlogfinderApp();

    /// The language of the user interface, decided once at start-up (main) from the user's: the
    /// resources are chosen by it, and the command line's messages are in it.
    Language m_language = Language::English;

    /// A second output of the main window's report (standard output); null: none. Not owned.
    CReportTextListener* m_pReportListener = nullptr;

    /// Reads the command line: --target TARGET (repeatable), --rate N, --help, --version, and
    /// the toolkit's own options (-platform NAME and the like), which are left to the toolkit.
    /// Sets the targets, the rate and the bound of the settings; anything else (an unknown option,
    /// a missing value, a malformed target or rate) is an Error that names it.
    CommandLineRequest ParseCommandLine(int argc, char** argv);

    /// Starts the socket layer (version 2.2 and nothing else), determines the language tag, reads
    /// the kept targets (from m_savedTargets.m_strFile, the user's settings file when empty) and
    /// runs the main dialog; stops the socket layer again afterwards. Returns FALSE, so that no
    /// message loop runs after the dialog. Start-up failures are written to standard error.
    BOOL InitInstance() override;
    /// Passes every typed character to the main window's report keys, then to the framework.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    DECLARE_MESSAGE_MAP()
};

extern ClorixlogfinderApp g_App;
