// The runs of lorixlog-find: one search with its outputs, or a watch of repeated searches.
#pragma once

#include "ConsoleReport.h"
#include "FindOptions.h"
#include "ReportText.h"

constexpr int kExitFound = 0;
constexpr int kExitNoneFound = 1;
constexpr int kExitError = 2;

/// The report of the command-line finder: a report text without a display.
class CConsoleReport : public CReportText {
public:
    explicit CConsoleReport(const char* pszLanguage);
};

/// Starts the socket layer (version 2.2); says so on standard error when it cannot.
bool StartSocketLayer(Language language);

/// One search: the report, then the devices in the format asked for. Returns the exit status.
int RunOnce(const FindOptions& options);

/// Searches again and again, every options.nWatchSeconds, and writes the changes to standard
/// output, until SIGINT or SIGTERM (exit status 0) or a failed write (2).
int RunWatch(const FindOptions& options);
