// lorixlog-finder: the desktop program.
#include <cstdio>
#include <string>

#include "ClorixlogfinderApp.h"
#include "ConsoleReport.h"
#include "Language.h"
#include "Resources.h"
#include "Texts.h"
#include "stdio/StandardStreams.h"
#include "ui/Application.h"
#include "ui/Resources.h"

int main(int argc, char** argv) {
    OpenClosedStandardStreams();
    // One choice of language, here, for everything: the resources (German dialogs, tag and
    // report texts for a German user interface, English ones otherwise) and the application's
    // own messages.
    const Language language = UserInterfaceLanguage();
    ui::SetUserInterfaceLanguage(language == Language::German ? ui::LANG_GERMAN_GERMANY
                                                              : ui::LANG_ENGLISH_US);
    g_App.m_language = language;
    RegisterProgramResources();

    // The report also goes to standard output, line by line, for logs and scripts; a reader of
    // it that goes away must not end the program.
    IgnoreBrokenPipes();
    static CConsoleReportWriter stdoutWriter(stdout);
    g_App.m_pReportListener = &stdoutWriter;

    // Help, the version and a wrong command line are told before anything starts: nothing is
    // sent then.
    const CommandLineRequest request = g_App.ParseCommandLine(argc, argv);
    if (request.kind != CommandLineRequest::Run) {
        const bool bError = request.kind == CommandLineRequest::Error;
        ui::ShowCommandLineText((request.text + (bError ? "\n" : "")).c_str(), bError);
        return bError ? 2 : 0;
    }
    // Without a display there is no window: the terminal gets one line that says so, and where
    // the same search can be had.
    ui::SetNoDisplayMessage([](const char* pszReason) {
        const std::string line = texts::FormatUtf8(texts::NoDisplay, g_App.m_language, pszReason);
        std::fputs(line.c_str(), stderr);
    });
    const int nStatus = ui::RunApplication(g_App, argc, argv);
    stdoutWriter.Finish();
    return nStatus;
}
