// lorixlog-find --watch: the same search again and again, and a line for every change.
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <thread>

#include "DeviceInfo.h"
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

/// Listens for the metrics' scrapes; says so on standard error, or why it cannot.
bool OpenEndpoint(const FindOptions& options, CMetricsEndpoint* pEndpoint) {
    int nError = 0;
    if (!pEndpoint->Open(options.nMetricsAddress, options.nMetricsPort, &nError)) {
        std::fprintf(stderr, "lorixlog-find: %s\n",
                     texts::FormatUtf8(texts::FindMetricsCannotListen, options.language,
                                       options.metrics.c_str(),
                                       discovery::SendErrorText(nError, options.language).c_str())
                         .c_str());
        return false;
    }
    std::fprintf(
        stderr, "lorixlog-find: %s\n",
        texts::FormatUtf8(texts::FindMetricsListening, options.language, options.metrics.c_str())
            .c_str());
    return true;
}

/// The watch: its own table, what it saw last, and where its output and metrics go.
class CWatchRun {
public:
    explicit CWatchRun(const FindOptions& options)
        : m_options(options),
          m_report(LanguageTagOf(options.language)),
          m_writer(stderr, IsTerminal(stderr)),
          m_host(m_endpoint) {
        // The report of each search only when asked for: the changes are the output.
        if (options.search.nVerbosity > 0) {
            m_report.m_pListener = &m_writer;
        }
    }

    /// Listens for scrapes when asked to; false when the address cannot be had.
    bool Start() {
        m_bMetrics = m_options.nMetricsPort != 0;
        if (m_bMetrics) {
            if (!OpenEndpoint(m_options, &m_endpoint)) {
                return false;
            }
            m_endpoint.SetBody(m_metrics.Exposition());
        }
        return true;
    }

    /// Searches until a stop signal or a failed write; then the exit status.
    int Run() {
        const auto interval = std::chrono::seconds(m_options.nWatchSeconds);
        while (g_bStop == 0 && !m_output.Failed()) {
            const auto start = std::chrono::steady_clock::now();
            if (!Round(start)) {
                break;
            }
            WaitUntil(start + interval, m_bMetrics ? &m_endpoint : nullptr);
        }
        m_writer.Finish();
        if (!m_output.Failed()) {
            return kExitFound;
        }
        if (m_output.Errno() != EPIPE) {
            std::fprintf(stderr, "lorixlog-find: %s\n",
                         texts::FormatUtf8(texts::FindCannotWrite, m_options.language,
                                           m_output.Reason().c_str())
                             .c_str());
        }
        return kExitError;
    }

private:
    /// One search, its changes written and its metrics kept; false when a signal cut it short.
    bool Round(std::chrono::steady_clock::time_point start) {
        const SearchOutcome outcome = m_table.SearchDevices(m_options.search, m_report, &m_host);
        const std::string time = IsoUtcTime(static_cast<std::int64_t>(std::time(nullptr)));
        if (g_bStop != 0) {
            return false;  // a search that a signal cut short tells nothing
        }
        if (outcome.result == SearchOutcome::Failed) {
            // The next search may work again (a network that came back); this one tells nothing
            // about the devices.
            std::fprintf(
                stderr, "lorixlog-find: %s\n",
                texts::FormatUtf8(texts::FindWatchSearchFailed, m_options.language, time.c_str(),
                                  TerminalTextFrom1252(FirstErrorLine(m_report.m_strText)).c_str())
                    .c_str());
        }
        std::vector<DeviceChange> changes;
        if (outcome.result != SearchOutcome::Failed && outcome.result != SearchOutcome::Cancelled) {
            changes = m_watch.Update(m_table);
            for (const DeviceChange& change : changes) {
                const std::string line = m_options.pFormat != nullptr
                                             ? m_options.pFormat->writeChange(change, time)
                                             : ChangeAsText(change, time);
                // Each line whole, at once: a signal never leaves half of one.
                m_output.Check(std::fputs(line.c_str(), stdout));
            }
            m_output.Flush(stdout);
        }
        if (m_bMetrics && outcome.result != SearchOutcome::Cancelled) {
            WatchRound round;
            round.bFailed = outcome.result == SearchOutcome::Failed;
            round.dSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            round.nEndedAt = static_cast<std::int64_t>(std::time(nullptr));
            round.nRepliesDropped = outcome.nRepliesDropped;
            m_metrics.AddRound(round, changes);
            m_endpoint.SetBody(m_metrics.Exposition());
        }
        return true;
    }

    const FindOptions& m_options;
    CDeviceInfo m_table;
    CConsoleReport m_report;
    CConsoleReportWriter m_writer;
    CMetricsEndpoint m_endpoint;
    CWatchMetrics m_metrics;
    StopOnSignal m_host;
    CDeviceWatch m_watch;
    COutputCheck m_output;
    bool m_bMetrics = false;
};

}  // namespace

int RunWatch(const FindOptions& options) {
    if (!StartSocketLayer(options.language)) {
        return kExitError;
    }
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    // The metrics endpoint listens before the first search: a port that cannot be had ends the
    // program at once.
    const auto pRun = std::make_unique<CWatchRun>(options);
    const int nStatus = pRun->Start() ? pRun->Run() : kExitError;
    net::WSACleanup();
    return nStatus;
}
