#include "FindOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "MetricsEndpoint.h"
#include "TargetList.h"
#include "TextOutput.h"
#include "Texts.h"
#include "Version.h"
#include "files/UserFiles.h"
#include "text/Windows1252.h"

namespace {

bool IsOption(const std::string& arg, const char* pszShort, const char* pszLong) {
    return arg == pszShort || arg == pszLong || arg.rfind(std::string(pszLong) + "=", 0) == 0;
}

/// Walks the arguments: the one at hand and the value of an option that takes one.
class Arguments {
public:
    Arguments(int argc, char** argv, Language language)
        : m_argc(argc), m_argv(argv), m_language(language) {}
    bool Next() { return ++m_i < m_argc; }
    std::string Arg() const { return m_argv[m_i]; }
    /// The argument before the one at hand ("" for the first).
    std::string Previous() const { return m_i > 1 ? m_argv[m_i - 1] : ""; }
    /// The value of "--name VALUE", "--name=VALUE" or "-n VALUE"; false when it is missing.
    bool Value(const char* pszShort, const char* pszLong, std::string* pValue, std::string* pText) {
        const std::string arg = Arg();
        const std::string withValue = std::string(pszLong) + "=";
        if (arg.rfind(withValue, 0) == 0) {
            *pValue = arg.substr(withValue.size());
            return true;
        }
        if (m_i + 1 < m_argc) {
            *pValue = m_argv[++m_i];
            return true;
        }
        *pText = texts::FormatUtf8(texts::OptionNeedsValue, m_language,
                                   arg == pszShort ? pszShort : pszLong);
        return false;
    }

private:
    int m_argc;
    char** m_argv;
    Language m_language;
    int m_i = 0;
};

bool ParseWatchSeconds(const std::string& arg, int* pnSeconds, std::string* pText,
                       Language language) {
    const std::size_t nEquals = arg.find('=');
    if (nEquals == std::string::npos) {
        *pnSeconds = kDefaultWatchSeconds;
        return true;
    }
    const std::string value = arg.substr(nEquals + 1);
    char* pEnd = nullptr;
    errno = 0;
    const long n = std::strtol(value.c_str(), &pEnd, 10);
    if (value.empty() || value[0] < '0' || value[0] > '9' || *pEnd != '\0' || errno != 0 ||
        n < kShortestWatchSeconds || n > kLongestWatchSeconds) {
        *pText = texts::FormatUtf8(texts::FindWatchSeconds, language, kShortestWatchSeconds,
                                   kLongestWatchSeconds, value.c_str());
        return false;
    }
    *pnSeconds = static_cast<int>(n);
    return true;
}

/// One option that takes a value; false with *pText set when it is wrong.
bool ParseValueOption(Arguments& args, FindOptions* pOptions, std::string* pText) {
    const std::string arg = args.Arg();
    std::string value;
    if (const SearchOption option = SearchOptionOf(arg); option != SearchOption::None) {
        // The option as typed names it when its value is missing.
        return args.Value(arg.c_str(), SearchOptionName(option), &value, pText) &&
               ApplySearchOption(option, value, &pOptions->search, pText, pOptions->language);
    }
    if (IsOption(arg, "-T", "--targets-from")) {
        if (!args.Value("-T", "--targets-from", &value, pText)) {
            return false;
        }
        pOptions->targetLists.push_back(value);
        return true;
    }
    // --metrics ADDRESS:PORT
    {
        if (!args.Value("--metrics", "--metrics", &value, pText)) {
            return false;
        }
        if (!ParseListenAddress(value, &pOptions->nMetricsAddress, &pOptions->nMetricsPort)) {
            *pText =
                texts::FormatUtf8(texts::FindMetricsAddress, pOptions->language, value.c_str());
            return false;
        }
        pOptions->metrics = value;
    }
    return true;
}

/// The data format that an option names ("--json"), or null.
const ExportFormat* FormatOption(const std::string& arg) {
    return arg.rfind("--", 0) == 0 ? FindExportFormat(arg.substr(2)) : nullptr;
}

/// The help, with a line or two for each data format.
std::string Usage(Language language) {
    std::size_t nFormats = 0;
    const ExportFormat* pFormats = ExportFormats(&nFormats);
    std::string formats;
    for (std::size_t i = 0; i < nFormats; ++i) {
        formats += texts::Get(pFormats[i].helpLines, language);
    }
    return text::Utf8From1252(texts::Format(texts::FindUsage, language, formats.c_str()));
}

}  // namespace

FindRequest ParseFindOptions(int argc, char** argv, FindOptions* pOptions, std::string* pText) {
    const Language language = pOptions->language;
    Arguments args(argc, argv, language);
    while (args.Next()) {
        const std::string arg = args.Arg();
        if (const ExportFormat* pWanted = FormatOption(arg)) {
            if (pOptions->pFormat != nullptr && pOptions->pFormat != pWanted) {
                *pText = texts::FormatUtf8(texts::FindJsonAndCsv, language,
                                           ("--" + std::string(pOptions->pFormat->pszName)).c_str(),
                                           arg.c_str());
                return FindRequest::Wrong;
            }
            pOptions->pFormat = pWanted;
        } else if (SearchOptionOf(arg) != SearchOption::None ||
                   IsOption(arg, "-T", "--targets-from") ||
                   IsOption(arg, "--metrics", "--metrics")) {
            if (!ParseValueOption(args, pOptions, pText)) {
                return FindRequest::Wrong;
            }
        } else if (arg == "-w" || arg == "--watch" || arg.rfind("--watch=", 0) == 0) {
            if (!ParseWatchSeconds(arg, &pOptions->nWatchSeconds, pText, language)) {
                return FindRequest::Wrong;
            }
        } else if (arg == "-v" || arg == "--verbose") {
            // Every interface and every address the query goes to.
            pOptions->search.nVerbosity = 2;
        } else if (arg == "-h" || arg == "--help") {
            *pText = Usage(language);
            return FindRequest::Help;
        } else if (arg == "-V" || arg == "--version") {
            *pText = std::string("lorixlog-find ") + LORIXLOG_VERSION + "\n";
            return FindRequest::Version;
        } else {
            *pText = texts::FormatUtf8(texts::FindUnknownOption, language, arg.c_str()) + "\n";
            // "--watch 60": the seconds belong to the option, joined by '='.
            const std::string previous = args.Previous();
            if ((previous == "-w" || previous == "--watch") && !arg.empty() &&
                arg.find_first_not_of("0123456789") == std::string::npos) {
                *pText +=
                    texts::FormatUtf8(texts::FindDidYouMean, language, ("--watch=" + arg).c_str()) +
                    "\n";
            }
            *pText += texts::Utf8(texts::FindTryHelp, language);
            return FindRequest::Wrong;
        }
    }
    if (pOptions->nWatchSeconds > 0 && pOptions->pFormat != nullptr &&
        pOptions->pFormat->writeChange == nullptr) {
        *pText = texts::FormatUtf8(texts::FindWatchAndCsv, language,
                                   ("--" + std::string(pOptions->pFormat->pszName)).c_str());
        return FindRequest::Wrong;
    }
    if (pOptions->nMetricsPort != 0 && pOptions->nWatchSeconds == 0) {
        *pText = texts::Utf8(texts::FindMetricsWithoutWatch, language);
        return FindRequest::Wrong;
    }
    return FindRequest::Run;
}

bool LoadTargetLists(FindOptions* pOptions, std::string* pText) {
    pText->clear();
    const Language language = pOptions->language;
    std::size_t nListed = 0;
    std::size_t nUnlisted = 0;
    for (const std::string& list : pOptions->targetLists) {
        const bool bStdin = list == "-";
        const std::string name = bStdin ? texts::Utf8(texts::FindStandardInput, language) : list;
        std::string bytes;
        std::string error;
        bool bRead = false;
        if (bStdin) {
            bRead = files::ReadWholeStream(stdin, kLargestTargetList, &bytes, &error);
        } else {
            // Pipes and process substitution (<(...)) are read as files are.
            const files::ReadResult result =
                files::ReadWholeFile(list, kLargestTargetList, &bytes, &error);
            bRead = result == files::ReadResult::Read;
            if (result == files::ReadResult::Missing) {
                error = std::strerror(ENOENT);
            }
        }
        if (!bRead) {
            *pText +=
                texts::FormatUtf8(texts::FindCannotRead, language, name.c_str(), error.c_str()) +
                "\n";
            continue;
        }
        std::vector<TargetListError> errors;
        std::size_t nMore = 0;
        if (!ParseTargetList(bytes, &pOptions->search.targets, &errors, &nMore, language)) {
            for (const TargetListError& e : errors) {
                if (nListed < kMostListedErrors) {
                    *pText += name + ":" + std::to_string(e.nLine) + ": " + e.message + "\n";
                    ++nListed;
                } else {
                    ++nUnlisted;
                }
            }
            nUnlisted += nMore;
        }
    }
    if (nUnlisted > 0) {
        *pText += texts::FormatUtf8(texts::FindMoreMalformed, language,
                                    static_cast<unsigned>(nUnlisted)) +
                  "\n";
    }
    return pText->empty();
}
