// The command line of lorixlog-find.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ExportFormats.h"
#include "Language.h"
#include "SearchSettings.h"

/// What the command line asks for.
struct FindOptions {
    /// The language of the messages and the report: the user's, decided once by main.
    Language language = Language::English;
    /// The data format of --NAME (--json, --csv) on standard output; null: the report there.
    const ExportFormat* pFormat = nullptr;
    /// What each search is handed: -v, --target, --rate, --max-addresses, and the targets of
    /// the lists of --targets-from once LoadTargetLists has read them.
    SearchSettings search;
    /// The files of --targets-from, in order ("-": standard input); read by LoadTargetLists.
    std::vector<std::string> targetLists;
    int nWatchSeconds = 0;  ///< 0: one search; else search again every so many seconds
    /// --metrics ADDRESS:PORT: where the watch serves its metrics (network byte order); port 0:
    /// nowhere.
    std::uint32_t nMetricsAddress = 0;
    std::uint16_t nMetricsPort = 0;
    std::string metrics;  ///< the option's value as given, for messages
};

constexpr int kDefaultWatchSeconds = 30;
constexpr int kShortestWatchSeconds = 10;
constexpr int kLongestWatchSeconds = 86400;

enum class FindRequest {
    Run,
    Help,     ///< *pText is the usage
    Version,  ///< *pText is the version line
    Wrong,    ///< *pText says what is wrong, in one or two lines; nothing may be sent
};

/// Reads the command line; its messages are in pOptions->language (UTF-8).
FindRequest ParseFindOptions(int argc, char** argv, FindOptions* pOptions, std::string* pText);

/// Reads the target lists of --targets-from and adds their targets to pOptions->search.targets. A
/// list that cannot be read, or holds a malformed line, gives false, with one line for each problem
/// in *pText ("FILE:LINE: what is wrong").
bool LoadTargetLists(FindOptions* pOptions, std::string* pText);
