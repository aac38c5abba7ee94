#include "FindOptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "TargetList.h"
#include "TextOutput.h"
#include "Version.h"
#include "files/UserFiles.h"

namespace {

const char kUsage[] =
    "Usage: lorixlog-find [OPTION]...\n"
    "Search the local IPv4 networks for lorixlog data loggers (UDP broadcast of \"*IDN?\"\n"
    "to port 9959) and describe every device that answers.\n"
    "\n"
    "  --json         write the devices as a JSON array to standard output\n"
    "                 (the report then goes to standard error)\n"
    "  --csv          write the devices as CSV to standard output\n"
    "                 (the report then goes to standard error)\n"
    "  -t, --target TARGET\n"
    "                 also query a host or network behind a router, which broadcasts\n"
    "                 do not reach: an IPv4 address, a host name (every address it\n"
    "                 has), or a prefix A.B.C.D/N (N from 16 to 32) whose hosts are\n"
    "                 queried one by one; repeatable; each address is queried once\n"
    "  -T, --targets-from FILE\n"
    "                 also query the targets listed in FILE (- for standard input):\n"
    "                 one target per line, blank lines and # comments allowed, or\n"
    "                 the JSON array that --json wrote (its ipv4 fields); repeatable\n"
    "  -r, --rate N   query the targets at N addresses a second (default 200, which\n"
    "                 a router's address table survives; a /16 takes 5.5 minutes)\n"
    "      --max-addresses N\n"
    "                 query at most N addresses of the targets in one search (default\n"
    "                 1048576); a search whose targets hold more fails before sending\n"
    "  -w, --watch[=SECONDS]\n"
    "                 search again every SECONDS (default 30, at least 10) until\n"
    "                 interrupted, and write one line for each device that appeared,\n"
    "                 changed (any field, or its address) or vanished (missed two\n"
    "                 searches in a row); with --json one JSON object a line:\n"
    "                 event, time (UTC) and device (as --json writes it)\n"
    "  -v, --verbose  also report every interface and every address the query goes to\n"
    "                 (with --watch: the report of every search, to standard error)\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "\n"
    "The search ends when the network has been quiet for about four seconds.\n"
    "Hosts of a target on this computer's own networks are not queried one by\n"
    "one: the broadcast of that network reaches them.\n"
    "The report is in German when the user's language (LANGUAGE, LC_ALL,\n"
    "LC_MESSAGES, LANG) is German, else in English.\n"
    "\n"
    "Exit status: 0 devices found, 1 no device answered, 2 the search failed,\n"
    "the output could not be written, or the command line was wrong.\n"
    "A watch ends with 0 when interrupted (Ctrl+C, SIGTERM).\n"
    "\n"
    "Examples:\n"
    "  lorixlog-find --target 10.88.0.0/24 --target logger7.plant.example\n"
    "  lorixlog-find --json --target 10.88.0.0/20 >devices.json\n"
    "  lorixlog-find --targets-from devices.json\n"
    "  lorixlog-find --watch=60 --json >>changes.jsonl\n";

bool IsOption(const std::string& arg, const char* pszShort, const char* pszLong) {
    return arg == pszShort || arg == pszLong || arg.rfind(std::string(pszLong) + "=", 0) == 0;
}

/// Walks the arguments: the one at hand and the value of an option that takes one.
class Arguments {
public:
    Arguments(int argc, char** argv) : m_argc(argc), m_argv(argv) {}
    bool Next() { return ++m_i < m_argc; }
    std::string Arg() const { return m_argv[m_i]; }
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
        *pText = "option '" + std::string(arg == pszShort ? pszShort : pszLong) + "' needs a value";
        return false;
    }

private:
    int m_argc;
    char** m_argv;
    int m_i = 0;
};

bool ParseWatchSeconds(const std::string& arg, int* pnSeconds, std::string* pText) {
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
        *pText = "--watch takes a number of seconds from " + std::to_string(kShortestWatchSeconds) +
                 " to " + std::to_string(kLongestWatchSeconds) + ", not '" + value + "'";
        return false;
    }
    *pnSeconds = static_cast<int>(n);
    return true;
}

/// One option that takes a value; false with *pText set when it is wrong.
bool ParseValueOption(Arguments& args, FindOptions* pOptions, std::string* pText) {
    const std::string arg = args.Arg();
    std::string value;
    if (IsOption(arg, "-t", "--target")) {
        SearchTarget target;
        if (!args.Value("-t", "--target", &value, pText) ||
            !ParseSearchTarget(value, &target, pText)) {
            return false;
        }
        pOptions->targets.push_back(target);
        return true;
    }
    if (IsOption(arg, "-T", "--targets-from")) {
        if (!args.Value("-T", "--targets-from", &value, pText)) {
            return false;
        }
        pOptions->targetLists.push_back(value);
        return true;
    }
    if (IsOption(arg, "--max-addresses", "--max-addresses")) {
        return args.Value("--max-addresses", "--max-addresses", &value, pText) &&
               ParseMostAddresses(value, &pOptions->nMostAddresses, pText);
    }
    // -r, --rate
    return args.Value("-r", "--rate", &value, pText) &&
           ParseQueryRate(value, &pOptions->nRate, pText);
}

}  // namespace

FindRequest ParseFindOptions(int argc, char** argv, FindOptions* pOptions, std::string* pText) {
    Arguments args(argc, argv);
    while (args.Next()) {
        const std::string arg = args.Arg();
        if (arg == "--json" || arg == "--csv") {
            const Format wanted = arg == "--json" ? Format::Json : Format::Csv;
            if (pOptions->format != Format::Report && pOptions->format != wanted) {
                *pText = "--json and --csv exclude each other";
                return FindRequest::Wrong;
            }
            pOptions->format = wanted;
        } else if (IsOption(arg, "-t", "--target") || IsOption(arg, "-T", "--targets-from") ||
                   IsOption(arg, "-r", "--rate") ||
                   IsOption(arg, "--max-addresses", "--max-addresses")) {
            if (!ParseValueOption(args, pOptions, pText)) {
                return FindRequest::Wrong;
            }
        } else if (arg == "-w" || arg == "--watch" || arg.rfind("--watch=", 0) == 0) {
            if (!ParseWatchSeconds(arg, &pOptions->nWatchSeconds, pText)) {
                return FindRequest::Wrong;
            }
        } else if (arg == "-v" || arg == "--verbose") {
            // Every interface and every address the query goes to.
            pOptions->nVerbosity = 2;
        } else if (arg == "-h" || arg == "--help") {
            *pText = kUsage;
            return FindRequest::Help;
        } else if (arg == "-V" || arg == "--version") {
            *pText = std::string("lorixlog-find ") + LORIXLOG_VERSION + "\n";
            return FindRequest::Version;
        } else {
            *pText = "unknown option '" + arg + "'\nTry 'lorixlog-find --help'.";
            return FindRequest::Wrong;
        }
    }
    if (pOptions->nWatchSeconds > 0 && pOptions->format == Format::Csv) {
        *pText = "--watch and --csv exclude each other (--watch --json writes one event a line)";
        return FindRequest::Wrong;
    }
    return FindRequest::Run;
}

bool LoadTargetLists(FindOptions* pOptions, std::string* pText) {
    pText->clear();
    std::size_t nListed = 0;
    std::size_t nUnlisted = 0;
    for (const std::string& list : pOptions->targetLists) {
        const bool bStdin = list == "-";
        const std::string name = bStdin ? "standard input" : list;
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
            *pText += "cannot read " + name + ": " + error + "\n";
            continue;
        }
        std::vector<TargetListError> errors;
        std::size_t nMore = 0;
        if (!ParseTargetList(bytes, &pOptions->targets, &errors, &nMore)) {
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
        *pText += "\u2026 and " + std::to_string(nUnlisted) + " more malformed lines\n";
    }
    return pText->empty();
}
