// What one search works with besides its socket: the table, the report it writes to, the host
// that keeps the program alive, and how the search is going. The search's files share it.
#pragma once

#include <cstdint>

#include "DeviceTable.h"
#include "ReportSink.h"

namespace discovery {

/// Where the location lines of search failures point: the search function and its source file,
/// with the line numbers below, whichever file of the search the failure happens in.
inline constexpr char kSearchFunction[] = "CDeviceInfo::SearchDevices";
inline constexpr char kSearchSourceFile[] = "DeviceInfo.cpp";

/// The failures that end a search, by the line their location line names.
enum FailureLine : int {
    kLineSocket = 270,              ///< the socket cannot be created
    kLineLimitedSendFailed = 518,   ///< the limited broadcast cannot be sent (nothing else went)
    kLineLimitedSendShort = 528,    ///< the limited broadcast went out short
    kLineDirectedSendFailed = 601,  ///< the last broadcast cannot be sent (nothing else went)
    kLineDirectedSendShort = 611,   ///< a directed broadcast went out short
    kLineSelect = 650,              ///< waiting for a reply fails
    kLineReceive = 719,             ///< receiving fails with a code that is not ignored
    kLineTooLarge = 728,            ///< (a layer that reports a truncated datagram whole)
    kLineAddressText = 785,         ///< the source address has no text
};

/// The query: five bytes, no terminating zero, no line end.
inline constexpr char kRequest[] = "*IDN?";
inline constexpr int kRequestLength = 5;

/// The longest wait of one pass of the receive phase, and so the longest time between two calls
/// of the host.
inline constexpr std::uint32_t kPassMilliseconds = 100;

class CSearchContext {
public:
    CSearchContext(CDeviceInfo& info, const SearchSettings& settings, CReportSink& report,
                   CSearchHost* pHost)
        : info(info), settings(settings), report(report), m_pHost(pHost) {}

    CDeviceInfo& info;
    const SearchSettings& settings;
    CReportSink& report;
    SearchOutcome outcome;
    /// The error code of the last send that failed (0: none failed).
    int nLastSendError = 0;

    /// The language of the report's texts.
    Language GetLanguage() const { return report.GetLanguage(); }
    /// The catalogue's text of the id in the report's language.
    const char* Say(texts::Id id) const { return report.Say(id); }
    /// Printf on the report.
    void Printf(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    /// A warning line (counted in the outcome).
    void Warn(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void EnsureBlankLine() {
        report.EnsureBlankLine();
    }
    void UpdateDisplay() {
        report.UpdateDisplay();
    }
    /// Records the failure that ends the search and writes its location line (the error line
    /// has been written); nLine 0: a failure before anything was sent, without a location line.
    void Fail(int nError, int nLine);
    /// Lets the host keep the program alive (at most every 50 ms of the layer's clock). True
    /// once the host has asked the search to end; a host that cancels makes the outcome
    /// Cancelled.
    bool Ending();
    /// Whether the host asked the search to finish early, keeping what it found, and nothing
    /// failed: the search then closes as one that ended by itself.
    bool Finishing() const {
        return m_wish == CSearchHost::Finish && outcome.result != SearchOutcome::Failed;
    }
    /// Tells the host how far the sweep of the targets has come.
    void SweepProgress(std::uint64_t nSent, std::uint64_t nTotal) {
        if (m_pHost != nullptr) {
            m_pHost->SweepProgress(nSent, nTotal);
        }
    }

private:
    CSearchHost* m_pHost;
    std::uint32_t m_nLastHostCall = 0;
    bool m_bHostCalled = false;
    CSearchHost::Wish m_wish = CSearchHost::GoOn;
};

/// Dotted-decimal text of an address in network byte order.
std::string DottedText(std::uint32_t nAddress);

}  // namespace discovery
