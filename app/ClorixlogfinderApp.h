// The application: start-up, the language of the user interface, and the main dialog's run.
#pragma once

#include <string>
#include <vector>

#include "KeptSize.h"
#include "Language.h"
#include "SavedTargets.h"
#include "SearchTarget.h"
#include "ui/Afx.h"

class CReportTextListener;

/// The language tag of the user interface ("de-DE" or "en-US"), zero-terminated; written once by
/// start-up from the string resource IDS_LANGUAGE of the chosen resource language.
extern char g_szLanguage[170];

/// Fills g_szLanguage from the string resource IDS_LANGUAGE, or with "en-US" when there is none.
void DetermineLanguageTag();

/// What the command line asks the program to do.
struct CommandLineRequest {
    enum Kind {
        Run,      ///< search (with the targets and the rate now set in g_DeviceInfo)
        Help,     ///< show the usage (text) and end with 0
        Version,  ///< show the version (text) and end with 0
        Error,    ///< show the one-line error (text) and end with 2; nothing is sent
    };
    Kind kind = Run;
    std::string text;
};

class ClorixlogfinderApp : public CWinApp {
public:
    ClorixlogfinderApp();

    /// The language of the user interface, decided once at start-up (main) from the user's: the
    /// resources are chosen by it, and the command line's messages are in it.
    Language m_language = Language::English;

    /// A second output of the main window's report (standard output); null: none. Not owned.
    CReportTextListener* m_pReportListener = nullptr;

    /// The targets of the command line, and those the user keeps (the targets dialog): every
    /// search queries both.
    std::vector<SearchTarget> m_commandLineTargets;
    CSavedTargets m_savedTargets;
    /// Where the size the user gives the device list is kept, beside the targets.
    CKeptSize m_deviceListSize;
    /// Why the kept targets are not used (a file that cannot be read or is malformed); empty
    /// when they are. Each search's report says it.
    std::string m_strTargetsProblem;
    /// Gives the search the targets of the command line and the kept ones.
    void ApplyTargets();

    /// Reads the command line: --target TARGET (repeatable), --rate N, --help, --version, and
    /// the toolkit's own options (-platform NAME and the like), which are left to the toolkit.
    /// Sets the targets and the rate of g_DeviceInfo; anything else (an unknown option, a
    /// missing value, a malformed target or rate) is an Error that names it.
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
