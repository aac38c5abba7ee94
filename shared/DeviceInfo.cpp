#include "DeviceInfo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DeviceReportLines.h"
#include "LocalNetworks.h"
#include "ReportText.h"

namespace {

using discovery::BroadcastTargets;
using discovery::DottedText;
using discovery::EnsureBlankLine;
using discovery::ReadInterfaceList;
using discovery::Text;
using discovery::UpdateDisplay;

constexpr const char kSearchFunction[] = "CDeviceInfo::SearchDevices";
constexpr const char kRequest[] = "*IDN?";

constexpr int kDatagramBufferSize = 1472;
constexpr int kMaxDatagram = kDatagramBufferSize - 1;
// Oversized datagrams reported one by one before the rest are dropped quietly.
constexpr int kOversizedReports = 10;
// The pace of a sweep over a prefix: batches of queries with a pause between them, in which
// replies are taken in; about 5000 queries a second, so that a /16 takes some 13 seconds and no
// link is flooded.
constexpr std::uint32_t kSweepBatch = 250;
constexpr std::uint32_t kSweepPauseMs = 50;
constexpr std::uint32_t kSweepQueriesPerSecond = kSweepBatch * 1000 / kSweepPauseMs;
constexpr std::uint32_t kQuietMilliseconds = 3000;
constexpr int kQuietPasses = 10;
constexpr long kWaitMicroseconds = 100000;
constexpr std::uint32_t kLongestReceivePhase = 30000;

// The numbers that the location lines of search failures carry.
constexpr int kLineSocket = 270;
constexpr int kLineLimitedSendFailed = 518;
constexpr int kLineLimitedSendShort = 528;
constexpr int kLineDirectedSendFailed = 601;
constexpr int kLineDirectedSendShort = 611;
constexpr int kLineSelect = 650;
constexpr int kLineReceive = 719;
constexpr int kLineAddressText = 785;

void ReportLocation(int nLine) {
    if (g_pReportText != nullptr) {
        ReportErrorLocation(kSearchFunction, __FILE__, nLine);
    }
}

/// Records the failure that ends the search and writes its location line (the error line has
/// been written).
void Fail(SearchOutcome* pOutcome, int nError, int nLine) {
    pOutcome->result = SearchOutcome::Failed;
    pOutcome->nError = nError;
    pOutcome->nLine = nLine;
    ReportLocation(nLine);
}

void ReportSendError(int nError) {
    switch (nError) {
        case net::WSAECONNABORTED:
            ReportPrintf("ERROR: sendto(UDP) returned ABORTED.\r\n");
            break;
        case net::WSAECONNRESET:
            ReportPrintf("ERROR: sendto(UDP) returned RESET.\r\n");
            break;
        case net::WSAESHUTDOWN:
            ReportPrintf("ERROR: sendto(UDP) returned SHUTDOWN.\r\n");
            break;
        default:
            ReportPrintf("ERROR: sendto(UDP) returned %d.\r\n", nError);
            break;
    }
}

void ReportTarget(const CDeviceInfo& info, std::uint32_t nAddress) {
    if (info.m_nVerbosity >= 1) {
        ReportPrintf(Text("IPv4 broadcast onto '%s'.\r\n", "IPv4 broadcast auf '%s'.\r\n"),
                     DottedText(nAddress).c_str());
    }
}

enum class SendResult { Sent, Failed, Short };

/// Sends the request text of the buffer to port 9959 of the address (network byte order).
/// Returns what sendto returns.
int SendQuery(net::SOCKET s, const char* achBuffer, std::uint32_t nTarget) {
    net::sockaddr_in addrDest{};
    addrDest.sin_family = net::AF_INET;
    addrDest.sin_port = net::htons(kDiscoveryPort);
    addrDest.sin_addr.s_addr = nTarget;
    return net::sendto(s, achBuffer, static_cast<int>(std::strlen(achBuffer)), 0,
                       reinterpret_cast<const net::sockaddr*>(&addrDest), sizeof(addrDest));
}

/// The warning for a query that could not be sent to one address; the search goes on.
void WarnSendFailed(std::uint32_t nTarget, int nError, SearchOutcome* pOutcome) {
    ++pOutcome->nWarnings;
    ReportPrintf(Text("WARNING: sendto(UDP) to %s returned %d.\r\n",
                      "WARNING: sendto(UDP) an %s lieferte %d.\r\n"),
                 DottedText(nTarget).c_str(), nError);
}

/// Sends the request text of the buffer to one target. A failure is reported as a warning and
/// left to the caller (*pnError) unless bLastChance: then, with no query sent before, it ends the
/// search with the error line and nFailedLine. A short send always ends the search (nShortLine).
SendResult SendRequest(net::SOCKET s, const char* achBuffer, std::uint32_t nTarget,
                       bool bLastChance, int nFailedLine, int nShortLine, SearchOutcome* pOutcome) {
    const int nLength = static_cast<int>(std::strlen(achBuffer));
    const int nSent = SendQuery(s, achBuffer, nTarget);
    if (nSent == net::SOCKET_ERROR) {
        const int nError = net::WSAGetLastError();
        if (bLastChance) {
            ReportSendError(nError);
            Fail(pOutcome, nError, nFailedLine);
        } else {
            WarnSendFailed(nTarget, nError, pOutcome);
        }
        return SendResult::Failed;
    }
    if (nSent != nLength) {
        ReportPrintf("ERROR in sendto(): Sent %d instead of %d bytes.\r\n", nSent, nLength);
        Fail(pOutcome, 0, nShortLine);
        return SendResult::Short;
    }
    return SendResult::Sent;
}

/// Sends the query to every broadcast address. Returns the number of queries that went out, or
/// -1 after a short send or when none went out and nothing more is to be sent: then the failure
/// has been reported and the search ends.
int SendQueries(const CDeviceInfo& info, net::SOCKET s, const char* achBuffer,
                const std::vector<std::uint32_t>& targets, bool bMoreToSend,
                SearchOutcome* pOutcome) {
    int nQueries = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const bool bLimited = i == 0;
        if (bLimited) {
            EnsureBlankLine();
        }
        ReportTarget(info, targets[i]);
        const bool bLastChance = nQueries == 0 && i + 1 == targets.size() && !bMoreToSend;
        const SendResult result =
            SendRequest(s, achBuffer, targets[i], bLastChance,
                        bLimited ? kLineLimitedSendFailed : kLineDirectedSendFailed,
                        bLimited ? kLineLimitedSendShort : kLineDirectedSendShort, pOutcome);
        if (result == SendResult::Short || (result == SendResult::Failed && bLastChance)) {
            return -1;
        }
        if (result == SendResult::Sent) {
            ++nQueries;
        }
        if (bLimited) {
            EnsureBlankLine();
        }
    }
    return nQueries;
}

/// Reports a datagram that was too long for the buffer and so dropped. A stream of them gets a
/// line each for the first few only, so that they cannot flood the report.
void ReportOversizedDatagram(int nError, const net::sockaddr_in& addrFrom, int* pnReported,
                             SearchOutcome* pOutcome) {
    if (*pnReported > kOversizedReports) {
        return;
    }
    ++pOutcome->nWarnings;
    if (++*pnReported > kOversizedReports) {
        ReportPrintf("%s", Text("WARNING: Further oversized datagrams are dropped without a "
                                "report.\r\n",
                                "WARNING: Weitere zu gro\xdf"
                                "e Datagramme werden ohne Meldung verworfen.\r\n"));
        return;
    }
    ReportPrintf(Text("WARNING: recvfrom(UDP) returned %d: a datagram from %s:%u was too long "
                      "and is dropped.\r\n",
                      "WARNING: recvfrom(UDP) lieferte %d: ein Datagramm von %s:%u war zu lang "
                      "und wird verworfen.\r\n"),
                 nError, DottedText(addrFrom.sin_addr.s_addr).c_str(),
                 static_cast<unsigned>(net::ntohs(addrFrom.sin_port)));
}

}  // namespace

namespace {

/// Receives the replies of a search, one datagram at a time: checks, stores and describes them,
/// and keeps the quiet period. Both the receive phase and a long sweep use it.
class CReplyReceiver {
public:
    CReplyReceiver(CDeviceInfo& info, net::SOCKET s, const char* pszExpectedPrefix, char* achBuffer,
                   net::sockaddr_in* pAddrFrom, DeviceRecord* pRecord, SearchOutcome* pOutcome)
        : m_info(info),
          m_s(s),
          m_pszExpectedPrefix(pszExpectedPrefix),
          m_achBuffer(achBuffer),
          m_pAddrFrom(pAddrFrom),
          m_pRecord(pRecord),
          m_pOutcome(pOutcome) {}

    /// Starts the quiet period anew (after the last query went out).
    void RestartQuietPeriod() {
        m_nQuietStart = net::GetTickCount();
        m_nQuietPasses = 0;
    }
    /// Whether the network has been quiet long enough: counts the passes that begin 3000 ms or
    /// more after the last datagram.
    bool QuietLongEnough() {
        return net::GetTickCount() - m_nQuietStart >= kQuietMilliseconds &&
               ++m_nQuietPasses >= kQuietPasses;
    }
    /// Waits at most nWaitMs for one datagram and handles it. False when the search must end
    /// (the failure has been reported).
    bool Pass(std::uint32_t nWaitMs);
    /// Takes in what arrives during nMs (a pause between the batches of a sweep).
    bool Drain(std::uint32_t nMs) {
        const std::uint32_t nStart = net::GetTickCount();
        for (std::uint32_t nElapsed = 0; nElapsed < nMs; nElapsed = net::GetTickCount() - nStart) {
            if (!Pass(nMs - nElapsed)) {
                return false;
            }
        }
        return true;
    }

private:
    void Traffic() { RestartQuietPeriod(); }

    CDeviceInfo& m_info;
    net::SOCKET m_s;
    const char* m_pszExpectedPrefix;
    char* m_achBuffer;
    net::sockaddr_in* m_pAddrFrom;
    DeviceRecord* m_pRecord;
    SearchOutcome* m_pOutcome;
    std::uint32_t m_nQuietStart = net::GetTickCount();
    int m_nQuietPasses = 0;
    bool m_bTableFullReported = false;
    int m_nOversizedReported = 0;
};

bool CReplyReceiver::Pass(std::uint32_t nWaitMs) {
    net::fd_set readSet;
    net::FD_ZERO_SET(&readSet);
    net::FD_ADD(m_s, &readSet);
    const net::timeval wait = {static_cast<long>(nWaitMs / 1000),
                               static_cast<long>(nWaitMs % 1000) * 1000};
    const int nReady = net::select(0, &readSet, nullptr, nullptr, &wait);
    if (nReady == 0) {
        return true;
    }
    if (nReady == net::SOCKET_ERROR) {
        const int nError = net::WSAGetLastError();
        ReportPrintf("ERROR: select(UDP) returned %d.\r\n", nError);
        Fail(m_pOutcome, nError, kLineSelect);
        return false;
    }
    if (!net::WSAFDIsSet(m_s, &readSet)) {
        return true;
    }

    std::memset(m_achBuffer, 0, kDatagramBufferSize);
    std::memset(m_pAddrFrom, 0, sizeof(*m_pAddrFrom));
    int nFromLength = sizeof(*m_pAddrFrom);
    const int nReceived =
        net::recvfrom(m_s, m_achBuffer, kMaxDatagram, 0,
                      reinterpret_cast<net::sockaddr*>(m_pAddrFrom), &nFromLength);
    if (nReceived == net::SOCKET_ERROR) {
        const int nError = net::WSAGetLastError();
        switch (nError) {
            case net::WSAEINTR:
            case net::WSAEINVAL:
            case net::WSAECONNRESET:
                return true;
            case net::WSAEMSGSIZE:
                // Anybody who sees the query can send an oversized datagram: drop it, and count
                // it as traffic like any other.
                ReportOversizedDatagram(nError, *m_pAddrFrom, &m_nOversizedReported, m_pOutcome);
                Traffic();
                return true;
            case net::WSAECONNABORTED:
                ReportPrintf("ERROR: recvfrom(UDP) returned ABORTED.\r\n");
                break;
            case net::WSAESHUTDOWN:
                ReportPrintf("ERROR: recvfrom(UDP) returned SHUTDOWN.\r\n");
                break;
            default:
                ReportPrintf("ERROR: recvfrom(UDP) returned %d.\r\n", nError);
                break;
        }
        Fail(m_pOutcome, nError, kLineReceive);
        return false;
    }
    Traffic();
    if (nReceived > kMaxDatagram) {
        // A layer that reports a truncated datagram by its whole length.
        ReportOversizedDatagram(net::WSAEMSGSIZE, *m_pAddrFrom, &m_nOversizedReported, m_pOutcome);
        return true;
    }
    m_achBuffer[nReceived < 0 ? 0 : nReceived] = '\0';

    if (!ParseDeviceReply(m_achBuffer, m_pszExpectedPrefix, m_info.m_szModelPrefix, m_pRecord)) {
        return true;
    }
    std::memcpy(&m_pRecord->addrIPv4, m_pAddrFrom, sizeof(m_pRecord->addrIPv4));
    if (m_pAddrFrom->sin_family == net::AF_INET) {
        const char* pszAddress = net::inet_ntoa(m_pAddrFrom->sin_addr);
        if (pszAddress == nullptr) {
            ReportPrintf("ERROR in inet_ntoa.\r\n");
            Fail(m_pOutcome, 0, kLineAddressText);
            return false;
        }
        std::snprintf(m_pRecord->szIPv4, sizeof(m_pRecord->szIPv4), "%s", pszAddress);
    }

    const int nIndex = m_info.AddDevice(*m_pRecord);
    if (nIndex >= 0) {
        EnsureBlankLine();
        m_info.ReportDevice(m_info.m_aDevices[nIndex]);
        UpdateDisplay();
    } else if (nIndex == CDeviceInfo::ADD_TABLE_FULL && !m_bTableFullReported) {
        m_bTableFullReported = true;
        ++m_pOutcome->nWarnings;
        ReportPrintf("%s", Text("WARNING: The device table is full (40 devices); further devices "
                                "are not listed.\r\n",
                                "WARNING: Die Ger\xe4tetabelle ist voll (40 Ger\xe4"
                                "te); weitere "
                                "Ger\xe4te werden nicht aufgef\xfchrt.\r\n"));
    }
    Traffic();
    return true;
}

/// Sends the query to the targets beyond the local networks: each host, and each prefix host by
/// host and then to its directed broadcast, paced so that a large prefix does not flood a link;
/// replies that arrive meanwhile are taken in. Returns the number of queries sent, or -1 when
/// the search must end.
long SendTargetQueries(const CDeviceInfo& info, net::SOCKET s, const char* achBuffer,
                       CReplyReceiver& receiver, SearchOutcome* pOutcome) {
    long nQueries = 0;
    const int nLength = static_cast<int>(std::strlen(achBuffer));
    for (const SearchTarget& target : info.m_aTargets) {
        std::uint32_t nFirst = target.nFirst;
        std::uint32_t nLast = target.nLast;
        if (target.bName) {
            net::in_addr addr{};
            if (!net::ResolveIPv4(target.text.c_str(), &addr)) {
                ++pOutcome->nWarnings;
                ReportPrintf(Text("WARNING: The name '%s' could not be resolved; it is not "
                                  "queried.\r\n",
                                  "WARNING: Der Name '%s' konnte nicht aufgel\xf6st werden; er "
                                  "wird nicht abgefragt.\r\n"),
                             target.text.c_str());
                continue;
            }
            nFirst = nLast = net::ntohl(addr.s_addr);
        }
        const std::uint32_t nCount = nLast - nFirst + 1;
        if (info.m_nVerbosity >= 1) {
            if (target.IsSweep()) {
                ReportPrintf(Text("IPv4 sweep of '%s' (%u addresses).\r\n",
                                  "IPv4 Suchlauf \xfc"
                                  "ber '%s' (%u Adressen).\r\n"),
                             target.text.c_str(), static_cast<unsigned>(nCount));
            } else {
                ReportPrintf(Text("IPv4 query to '%s' (%s).\r\n", "IPv4 Anfrage an '%s' (%s).\r\n"),
                             target.text.c_str(), DottedText(net::htonl(nFirst)).c_str());
            }
        }
        const bool bShowProgress = nCount > kSweepQueriesPerSecond;
        bool bFailureReported = false;
        std::uint32_t nSent = 0;
        const auto sendTo = [&](std::uint32_t nAddress) {
            if (SendQuery(s, achBuffer, net::htonl(nAddress)) == nLength) {
                ++nQueries;
            } else if (!bFailureReported) {
                // One line a target: a network without a route fails for every host.
                bFailureReported = true;
                WarnSendFailed(net::htonl(nAddress), net::WSAGetLastError(), pOutcome);
            }
        };
        for (std::uint32_t nAddress = nFirst;; ++nAddress) {
            sendTo(nAddress);
            ++nSent;
            if (nSent % kSweepBatch == 0 && nAddress != nLast) {
                if (bShowProgress) {
                    ReportPrintf(Text("\rQuerying %s: %u of %u addresses ...",
                                      "\rAbfrage %s: %u von %u Adressen ..."),
                                 target.text.c_str(), static_cast<unsigned>(nSent),
                                 static_cast<unsigned>(nCount));
                }
                if (!receiver.Drain(kSweepPauseMs)) {
                    return -1;
                }
            }
            if (nAddress == nLast) {
                break;
            }
        }
        if (target.nBroadcast != 0) {
            sendTo(target.nBroadcast);
        }
        if (bShowProgress) {
            ReportPrintf(
                Text("\rQueried %s: %u addresses.\r\n", "\rAbgefragt %s: %u Adressen.\r\n"),
                target.text.c_str(), static_cast<unsigned>(nCount));
        }
    }
    return nQueries;
}

/// The receive phase: replies until the network has been quiet long enough.
void ReceiveReplies(CReplyReceiver& receiver, SearchOutcome* pOutcome) {
    const std::uint32_t nPhaseStart = net::GetTickCount();
    for (;;) {
        if (receiver.QuietLongEnough()) {
            break;
        }
        if (net::GetTickCount() - nPhaseStart >= kLongestReceivePhase) {
            ++pOutcome->nWarnings;
            ReportPrintf("%s", Text("WARNING: Replies kept arriving for 30 seconds; the search "
                                    "stops here.\r\n",
                                    "WARNING: 30 Sekunden lang kamen ununterbrochen Antworten; "
                                    "die Suche endet hier.\r\n"));
            break;
        }
        if (!receiver.Pass(kWaitMicroseconds / 1000)) {
            return;
        }
    }
    EnsureBlankLine();
    ReportPrintf("%s", Text("... done.\r\n", "... fertig.\r\n"));
}

}  // namespace

SearchOutcome CDeviceInfo::SearchDevices() {
    SearchOutcome outcome;
    char szExpectedPrefix[48] = {};
    char achBuffer[kDatagramBufferSize];
    net::sockaddr_in addrFrom{};
    DeviceRecord record;

    std::snprintf(szExpectedPrefix, sizeof(szExpectedPrefix), "TVK,%s", m_szModelPrefix);
    ClearDevices();
    ReportSearchStart();
    EnsureBlankLine();

    net::SOCKET s = net::socket(net::AF_INET, net::SOCK_DGRAM, net::IPPROTO_UDP);
    if (s == net::INVALID_SOCKET) {
        ReportPrintf("ERROR: Could not create IPv4 socket\r\n");
        Fail(&outcome, net::WSAGetLastError(), kLineSocket);
    } else {
        const int bBroadcast = 1;
        net::setsockopt(s, net::SOL_SOCKET, net::SO_BROADCAST,
                        reinterpret_cast<const char*>(&bBroadcast), sizeof(bBroadcast));
        std::memset(achBuffer, 0, sizeof(achBuffer));
        std::strncpy(achBuffer, kRequest, kMaxDatagram);

        std::vector<net::INTERFACE_INFO> interfaces;
        ReadInterfaceList(s, &interfaces, &outcome);
        const bool bTargets = !m_aTargets.empty();
        CReplyReceiver receiver(*this, s, szExpectedPrefix, achBuffer, &addrFrom, &record,
                                &outcome);
        long nQueries =
            SendQueries(*this, s, achBuffer, BroadcastTargets(interfaces), bTargets, &outcome);
        if (nQueries >= 0 && bTargets) {
            const long nTargetQueries = SendTargetQueries(*this, s, achBuffer, receiver, &outcome);
            nQueries = nTargetQueries < 0 ? -1 : nQueries + nTargetQueries;
            if (nQueries == 0) {
                // Neither a broadcast nor a target query went out.
                const int nError = net::WSAGetLastError();
                ReportPrintf("ERROR: sendto(UDP) returned %d.\r\n", nError);
                Fail(&outcome, nError, kLineDirectedSendFailed);
                nQueries = -1;
            }
        }
        if (nQueries >= 0) {
            EnsureBlankLine();
            receiver.RestartQuietPeriod();  // the quiet period begins after the last query
            ReceiveReplies(receiver, &outcome);
        }

        net::shutdown(s, net::SD_BOTH);
        net::closesocket(s);
    }

    if (g_pReportText != nullptr) {
        const std::string& text = g_pReportText->m_strText;
        if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) {
            g_pReportText->AppendText("\r\n");
        }
        g_pReportText->UpdateDisplay();
    }
    if (outcome.result != SearchOutcome::Failed && outcome.nWarnings > 0) {
        outcome.result = SearchOutcome::CompletedWithWarnings;
    }
    return outcome;
}
