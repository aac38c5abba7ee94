#include "FindRun.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "DeviceInfo.h"
#include "Language.h"
#include "TextOutput.h"
#include "Texts.h"
#include "Version.h"
#include "stdio/StandardStreams.h"

CConsoleReport::CConsoleReport(const char* pszLanguage) {
    m_pszProgramName = LORIXLOG_PROGRAM_NAME;
    m_pszBuildDate = __DATE__;
    m_pszBuildTime = __TIME__;
    m_pszLanguage = pszLanguage;
}

namespace {

/// The exit status after the outputs: a failure when the data could not be written, or the
/// report where it was the only output. The report beside data on standard output is for people:
/// when its reader has gone, the data still counts. Standard output whose reader has gone has
/// nobody to tell.
bool OutputsWritten(const FindOptions& options, const CConsoleReportWriter& writer,
                    const COutputCheck& output) {
    const bool bReportLost =
        writer.WriteError() != 0 && !(options.pFormat != nullptr && writer.WriteError() == EPIPE);
    if (!bReportLost && !output.Failed()) {
        return true;
    }
    if ((bReportLost ? writer.WriteError() : output.Errno()) != EPIPE) {
        const std::string reason =
            bReportLost ? std::strerror(writer.WriteError()) : output.Reason();
        std::fprintf(
            stderr, "lorixlog-find: %s\n",
            texts::FormatUtf8(texts::FindCannotWrite, options.language, reason.c_str()).c_str());
    }
    return false;
}

}  // namespace

bool StartSocketLayer(Language language) {
    net::WSADATA wsaData{};
    if (net::WSAStartup(net::MAKEWORD(2, 2), &wsaData) != 0) {
        std::fputs(texts::Get(texts::StartupFailed, language), stderr);
        return false;
    }
    return true;
}

int RunOnce(const FindOptions& options) {
    if (!StartSocketLayer(options.language)) {
        return kExitError;
    }
    CConsoleReport report(LanguageTagOf(options.language));
    std::FILE* pReportStream = options.pFormat == nullptr ? stdout : stderr;
    CConsoleReportWriter writer(pReportStream, IsTerminal(pReportStream));
    report.m_pListener = &writer;
    // A table of its own: the desktop program's is no business of the command line's.
    CDeviceInfo table;
    const SearchOutcome outcome = table.SearchDevices(options.search, report, nullptr);
    if (table.m_nDevices == 0 && outcome.result != SearchOutcome::Failed) {
        ReportNoDeviceAnswered(report, table, outcome, texts::FindTargetsHint);
    }
    writer.Finish();
    net::WSACleanup();

    COutputCheck output;
    if (options.pFormat != nullptr) {
        // The same bytes on every system, and as the desktop program saves the list (the CSV
        // has its own CR LF line ends).
        UseBinaryOutput(stdout);
        output.Check(std::fputs(options.pFormat->writeTable(table).c_str(), stdout));
    }
    output.Flush(stdout);
    if (!OutputsWritten(options, writer, output)) {
        return kExitError;
    }
    if (outcome.result == SearchOutcome::Failed) {
        return kExitError;
    }
    return table.m_nDevices > 0 ? kExitFound : kExitNoneFound;
}
