// lorixlog-find: runs one search for lorixlog devices and writes the report, and optionally the
// device table as JSON or CSV, to standard output.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ConsoleReport.h"
#include "DeviceExport.h"
#include "DeviceInfo.h"
#include "Language.h"
#include "ReportText.h"
#include "TextOutput.h"
#include "Version.h"
#include "stdio/StandardStreams.h"

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNoneFound = 1;
constexpr int kExitError = 2;

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
    "  -r, --rate N   query the targets at N addresses a second (default 250, which\n"
    "                 a router's address table survives; a /16 takes 4.5 minutes)\n"
    "  -v, --verbose  also report every interface and every address the query goes to\n"
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
    "\n"
    "Example: lorixlog-find --target 10.88.0.0/24 --target logger7.plant.example\n"
    "         lorixlog-find --json --rate 1000 --target 10.88.0.0/16 >devices.json\n";

enum class Format { Report, Json, Csv };

/// The report of the command-line finder: a report text without a display.
class CConsoleReport : public CReportText {
public:
    explicit CConsoleReport(const char* pszLanguage) {
        m_pszProgramName = LORIXLOG_PROGRAM_NAME;
        m_pszBuildDate = __DATE__;
        m_pszBuildTime = __TIME__;
        m_pszLanguage = pszLanguage;
    }
};

/// The exit status of a program whose only output was the text just written (nResult): a
/// failure when it, or the flush of standard output, failed.
int Finish(int nResult, int nStatus) {
    COutputCheck output;
    output.Check(nResult);
    output.Flush(stdout);
    if (output.Failed()) {
        std::fprintf(stderr, "lorixlog-find: cannot write the output: %s\n",
                     output.Reason().c_str());
        return kExitError;
    }
    return nStatus;
}

/// The value of an option given as "--name VALUE", "--name=VALUE" or "-n VALUE"; false when it is
/// missing (the message has been written).
bool OptionValue(int argc, char** argv, int* pi, const char* pszShort, const char* pszLong,
                 std::string* pValue) {
    const std::string arg = argv[*pi];
    const std::string withValue = std::string(pszLong) + "=";
    if (arg.rfind(withValue, 0) == 0) {
        *pValue = arg.substr(withValue.size());
        return true;
    }
    if (*pi + 1 < argc) {
        *pValue = argv[++*pi];
        return true;
    }
    std::fprintf(stderr, "lorixlog-find: option '%s' needs a value\n",
                 TerminalTextFromUtf8(arg == pszShort ? pszShort : pszLong).c_str());
    return false;
}

bool IsOption(const std::string& arg, const char* pszShort, const char* pszLong) {
    return arg == pszShort || arg == pszLong || arg.rfind(std::string(pszLong) + "=", 0) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    OpenClosedStandardStreams();
    UseUtf8Console();
    // A reader of the report that has gone (| head) must not cost the data output.
    IgnoreBrokenPipes();
    Format format = Format::Report;
    int nVerbosity = 0;
    int nRate = 0;
    std::vector<SearchTarget> targets;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--json" || arg == "--csv") {
            const Format wanted = arg == "--json" ? Format::Json : Format::Csv;
            if (format != Format::Report && format != wanted) {
                std::fprintf(stderr, "lorixlog-find: --json and --csv exclude each other\n");
                return kExitError;
            }
            format = wanted;
        } else if (IsOption(arg, "-t", "--target")) {
            std::string text;
            if (!OptionValue(argc, argv, &i, "-t", "--target", &text)) {
                return kExitError;
            }
            SearchTarget target;
            std::string error;
            if (!ParseSearchTarget(text, &target, &error)) {
                // Refused before anything is sent.
                std::fprintf(stderr, "lorixlog-find: %s\n", TerminalTextFromUtf8(error).c_str());
                return kExitError;
            }
            targets.push_back(target);
        } else if (IsOption(arg, "-r", "--rate")) {
            std::string text;
            if (!OptionValue(argc, argv, &i, "-r", "--rate", &text)) {
                return kExitError;
            }
            std::string error;
            if (!ParseQueryRate(text, &nRate, &error)) {
                std::fprintf(stderr, "lorixlog-find: %s\n", TerminalTextFromUtf8(error).c_str());
                return kExitError;
            }
        } else if (arg == "-v" || arg == "--verbose") {
            // Every interface and every address the query goes to.
            nVerbosity = 2;
        } else if (arg == "-h" || arg == "--help") {
            return Finish(std::fputs(kUsage, stdout), kExitFound);
        } else if (arg == "-V" || arg == "--version") {
            return Finish(std::printf("lorixlog-find %s\n", LORIXLOG_VERSION), kExitFound);
        } else {
            std::fprintf(stderr,
                         "lorixlog-find: unknown option '%s'\nTry 'lorixlog-find --help'.\n",
                         TerminalTextFromUtf8(arg).c_str());
            return kExitError;
        }
    }

    net::WSADATA wsaData{};
    if (net::WSAStartup(net::MAKEWORD(2, 2), &wsaData) != 0) {
        std::fprintf(stderr, "Error: WSAStartup() failed.\n");
        return kExitError;
    }

    CConsoleReport report(LanguageTagOf(UserInterfaceLanguage()));
    std::FILE* pReportStream = format == Format::Report ? stdout : stderr;
    CConsoleReportWriter writer(pReportStream, IsTerminal(pReportStream));
    report.m_pListener = &writer;
    g_pReportText = &report;
    g_DeviceInfo.m_nVerbosity = nVerbosity;
    g_DeviceInfo.m_nQueriesPerSecond = nRate;
    g_DeviceInfo.m_aTargets = targets;

    const SearchOutcome outcome = g_DeviceInfo.SearchDevices(&report, nullptr);
    if (g_DeviceInfo.m_nDevices == 0 && outcome.result != SearchOutcome::Failed) {
        ReportNoDeviceAnswered(&report, g_DeviceInfo, outcome);
    }

    writer.Finish();
    g_pReportText = nullptr;
    net::WSACleanup();

    COutputCheck output;
    if (format == Format::Json) {
        output.Check(std::fputs(DevicesAsJson(g_DeviceInfo).c_str(), stdout));
    } else if (format == Format::Csv) {
        UseBinaryOutput(stdout);  // the CSV has its own CR LF line ends
        output.Check(std::fputs(DevicesAsCsv(g_DeviceInfo).c_str(), stdout));
    }
    output.Flush(stdout);
    // The report beside data on standard output is for people: when its reader has gone, the
    // data still counts. Standard output whose reader has gone has nobody to tell.
    const bool bReportLost =
        writer.WriteError() != 0 && !(format != Format::Report && writer.WriteError() == EPIPE);
    if (bReportLost || output.Failed()) {
        if ((bReportLost ? writer.WriteError() : output.Errno()) != EPIPE) {
            const std::string reason =
                bReportLost ? std::strerror(writer.WriteError()) : output.Reason();
            std::fprintf(stderr, "lorixlog-find: cannot write the output: %s\n", reason.c_str());
        }
        return kExitError;
    }

    if (outcome.result == SearchOutcome::Failed) {
        return kExitError;
    }
    return g_DeviceInfo.m_nDevices > 0 ? kExitFound : kExitNoneFound;
}
