// lorixlog-find --watch: the same search again and again, and a line for every change.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "DeviceWatch.h"
#include "FindRun.h"
#include "Language.h"
#include "Metrics.h"
#include "MetricsEndpoint.h"
#include "SearchSend.h"
#include "TextOutput.h"
#include "Texts.h"
#include "stdio/StandardStreams.h"

namespace {

volatile std::sig_atomic_t g_bStop = 0;

extern "C" void OnStopSignal(int) {
    g_bStop = 1;
}

/// Ends the search early once a stop signal came; serves the metrics meanwhile.
class StopOnSignal final : public CSearchHost {
public:
    explicit StopOnSignal(CMetricsEndpoint& endpoint) : m_endpoint(endpoint) {}
    Wish KeepResponsive() override {
        m_endpoint.Serve(0);
        return g_bStop != 0 ? Cancel : GoOn;
    }

private:
    CMetricsEndpoint& m_endpoint;
};

/// The first error line of a report (a failed search says why there), or "".
std::string FirstErrorLine(const std::string& text) {
    std::size_t nStart = 0;
    while (nStart < text.size()) {
        std::size_t nEnd = text.find("\r\n", nStart);
        nEnd = nEnd == std::string::npos ? text.size() : nEnd;
        const std::string line = text.substr(nStart, nEnd - nStart);
        if (line.find("ERROR") != std::string::npos) {
            return line;
        }
        nStart = nEnd + 2;
    }
    return std::string();
}

/// Waits until the round's time is over or a stop signal came, serving the metrics.
void WaitUntil(std::chrono::steady_clock::time_point end, CMetricsEndpoint* pEndpoint) {
    while (g_bStop == 0) {
        const auto nLeft = std::chrono::duration_cast<std::chrono::milliseconds>(
                               end - std::chrono::steady_clock::now())
                               .count();
        if (nLeft <= 0) {
            break;
        }
        const auto nWait = static_cast<std::uint32_t>(nLeft < 100 ? nLeft : 100);
        if (pEndpoint != nullptr) {
            pEndpoint->Serve(nWait);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(nWait));
        }
    }
}

/// The listening address as text: "127.0.0.1:9469".
std::string ListenText(const FindOptions& options) {
    return options.metrics;
}

}  // namespace

int RunWatch(const FindOptions& options) {
    if (!StartSocketLayer(options.language)) {
        return kExitError;
    }
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);

    CConsoleReport report(LanguageTagOf(options.language));
    // The report of each search only when asked for: the changes are the output.
    CConsoleReportWriter writer(stderr, IsTerminal(stderr));
    if (options.nVerbosity > 0) {
        report.m_pListener = &writer;
    }
    g_DeviceInfo.m_nVerbosity = options.nVerbosity;
    g_DeviceInfo.m_nQueriesPerSecond = options.nRate;
    g_DeviceInfo.m_nMostTargetAddresses = options.nMostAddresses;
    g_DeviceInfo.m_aTargets = options.targets;

    // The metrics endpoint listens before the first search: a port that cannot be had ends the
    // program at once.
    CMetricsEndpoint endpoint;
    CWatchMetrics metrics;
    const bool bMetrics = options.nMetricsPort != 0;
    if (bMetrics) {
        int nError = 0;
        if (!endpoint.Open(options.nMetricsAddress, options.nMetricsPort, &nError)) {
            std::fprintf(
                stderr, "lorixlog-find: %s\n",
                texts::FormatUtf8(texts::FindMetricsCannotListen, options.language,
                                  ListenText(options).c_str(),
                                  discovery::SendErrorText(nError, options.language).c_str())
                    .c_str());
            net::WSACleanup();
            return kExitError;
        }
        endpoint.SetBody(metrics.Exposition());
        std::fprintf(stderr, "lorixlog-find: %s\n",
                     texts::FormatUtf8(texts::FindMetricsListening, options.language,
                                       ListenText(options).c_str())
                         .c_str());
    }

    CDeviceWatch watch;
    StopOnSignal host(endpoint);
    COutputCheck output;
    const auto interval = std::chrono::seconds(options.nWatchSeconds);
    while (g_bStop == 0 && !output.Failed()) {
        const auto start = std::chrono::steady_clock::now();
        const SearchOutcome outcome = g_DeviceInfo.SearchDevices(report, &host);
        const std::string time = IsoUtcTime(static_cast<std::int64_t>(std::time(nullptr)));
        if (g_bStop != 0) {
            break;  // a search that a signal cut short tells nothing
        }
        if (outcome.result == SearchOutcome::Failed) {
            // The next search may work again (a network that came back); this one tells nothing
            // about the devices.
            std::fprintf(
                stderr, "lorixlog-find: %s\n",
                texts::FormatUtf8(texts::FindWatchSearchFailed, options.language, time.c_str(),
                                  TerminalTextFrom1252(FirstErrorLine(report.m_strText)).c_str())
                    .c_str());
        }
        std::vector<DeviceChange> changes;
        if (outcome.result != SearchOutcome::Failed && outcome.result != SearchOutcome::Cancelled) {
            changes = watch.Update(g_DeviceInfo);
            for (const DeviceChange& change : changes) {
                const std::string line = options.format == Format::Json
                                             ? ChangeAsJson(change, time)
                                             : ChangeAsText(change, time);
                // Each line whole, at once: a signal never leaves half of one.
                output.Check(std::fputs(line.c_str(), stdout));
            }
            output.Flush(stdout);
        }
        if (bMetrics && outcome.result != SearchOutcome::Cancelled) {
            WatchRound round;
            round.bFailed = outcome.result == SearchOutcome::Failed;
            round.dSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            round.nEndedAt = static_cast<std::int64_t>(std::time(nullptr));
            round.nRepliesDropped = outcome.nRepliesDropped;
            metrics.AddRound(round, changes);
            endpoint.SetBody(metrics.Exposition());
        }
        WaitUntil(start + interval, bMetrics ? &endpoint : nullptr);
    }
    writer.Finish();
    net::WSACleanup();
    if (output.Failed()) {
        if (output.Errno() != EPIPE) {
            std::fprintf(
                stderr, "lorixlog-find: %s\n",
                texts::FormatUtf8(texts::FindCannotWrite, options.language, output.Reason().c_str())
                    .c_str());
        }
        return kExitError;
    }
    return kExitFound;
}
