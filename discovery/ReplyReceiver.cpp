#include "ReplyReceiver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "DeviceReply.h"
#include "SearchContext.h"

namespace discovery {

namespace {

constexpr std::uint32_t kQuietMilliseconds = 3000;
constexpr int kQuietPasses = 10;
// Oversized datagrams reported one by one before the rest are dropped quietly.
constexpr int kOversizedReports = 10;
// Dropped devices that are told apart from repeats; a flood beyond is counted by its replies.
constexpr std::size_t kMostDroppedKept = 16384;
// Datagrams taken out of the socket at once, and handled before the socket is emptied again.
constexpr int kBatch = 64;
constexpr int kHandledBetweenTakes = 32;
// The most datagrams the queue holds: beyond, they wait in the system's buffer.
constexpr std::size_t kLongestQueue = 4096;
// The work of one pass, so that the host is called often enough.
constexpr std::uint32_t kPassWorkMilliseconds = 50;

/// FNV-1a over what makes a record: the source address and each text field up to its end. Two
/// records that are equal in all their bytes (the repeat rule) have the same hash, since the
/// bytes behind a field's end are zero.
std::uint64_t RecordHash(const DeviceRecord& record) {
    std::uint64_t nHash = 14695981039346656037ull;
    auto add = [&nHash](const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) {
            nHash = (nHash ^ b[i]) * 1099511628211ull;
        }
    };
    add(&record.addrIPv4, sizeof(record.addrIPv4));
    for (const char* pszField :
         {record.szIPv4, record.szDnsName, record.szMaker, record.szModel, record.szModelDetail,
          record.szSerialNumber, record.szHostName, record.szFirmwareVersion}) {
        add(pszField, std::strlen(pszField) + 1);
    }
    return nHash;
}

}  // namespace

CReplyReceiver::CReplyReceiver(CSearchContext& context, net::SOCKET s,
                               const char* pszExpectedPrefix, const CInterfaceNames& names,
                               const std::vector<LocalNetwork>& networks)
    : m_context(context),
      m_s(s),
      m_pszExpectedPrefix(pszExpectedPrefix),
      m_names(names),
      m_networks(networks),
      m_batchBytes(static_cast<std::size_t>(kBatch) * kDatagramBufferSize),
      m_batch(kBatch),
      m_nQuietStart(net::GetTickCount()) {
    for (int i = 0; i < kBatch; ++i) {
        m_batch[i].pBuffer =
            m_batchBytes.data() + static_cast<std::size_t>(i) * kDatagramBufferSize;
        m_batch[i].nCapacity = kMaxDatagram;
    }
}

void CReplyReceiver::RestartQuietPeriod() {
    RestartQuietPeriodAt(net::GetTickCount());
}

void CReplyReceiver::RestartQuietPeriodAt(std::uint32_t nArrival) {
    m_nQuietStart = nArrival;
    m_nQuietPasses = 0;
}

bool CReplyReceiver::QuietLongEnough() {
    return m_queue.empty() && net::GetTickCount() - m_nQuietStart >= kQuietMilliseconds &&
           ++m_nQuietPasses >= kQuietPasses;
}

std::uint32_t CReplyReceiver::QuietFor() const {
    return m_queue.empty() ? net::GetTickCount() - m_nQuietStart : 0;
}

std::size_t CReplyReceiver::TakeLargestBurst() {
    const std::size_t nLargest = std::max(m_nLargestBurst, m_nBurst);
    m_nLargestBurst = 0;
    return nLargest;
}

bool CReplyReceiver::Drain(std::uint32_t nMs) {
    const std::uint32_t nStart = net::GetTickCount();
    for (std::uint32_t nElapsed = 0; nElapsed < nMs; nElapsed = net::GetTickCount() - nStart) {
        if (!Pass(nMs - nElapsed)) {
            return false;
        }
    }
    return true;
}

void CReplyReceiver::TakeIn() {
    while (m_queue.size() < kLongestQueue) {
        const int n = net::ReceiveWaiting(m_s, m_batch.data(), kBatch);
        const std::uint32_t nArrival = net::GetTickCount();
        for (int i = 0; i < n; ++i) {
            const net::ReceivedDatagram& d = m_batch[i];
            Queued queued{nArrival, d.nLength, d.nError, d.from, d.info, std::string()};
            if (d.nLength > 0) {
                queued.bytes.assign(d.pBuffer,
                                    static_cast<std::size_t>(std::min(d.nLength, kMaxDatagram)));
            }
            m_queue.push_back(std::move(queued));
        }
        m_nBurst += static_cast<std::size_t>(n);
        if (n < kBatch || m_batch[n - 1].nError != 0) {
            break;  // nothing more waits (or a failure ends the batch)
        }
    }
}

void CReplyReceiver::RefreshDisplay(bool bNothingWaits) {
    if (m_bDisplayDue &&
        (bNothingWaits || net::GetTickCount() - m_nLastDisplay >= kPassMilliseconds)) {
        m_bDisplayDue = false;
        m_nLastDisplay = net::GetTickCount();
        m_context.UpdateDisplay();
    }
}

bool CReplyReceiver::Pass(std::uint32_t nWaitMs) {
    if (m_context.Ending()) {
        return false;
    }
    if (m_queue.empty()) {
        // What came has been handled and nothing more waited when the socket was last emptied.
        m_nLargestBurst = std::max(m_nLargestBurst, m_nBurst);
        m_nBurst = 0;
        RefreshDisplay(true);
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
            if (nError == net::WSAEINTR) {
                // A signal ended the wait, not the network: wait again (after the host had its
                // say).
                return true;
            }
            m_context.Printf(m_context.Say(texts::ErrorSelect), nError);
            m_context.Fail(nError, kLineSelect);
            return false;
        }
        if (!net::WSAFDIsSet(m_s, &readSet)) {
            return true;
        }
        TakeIn();
    }
    const std::uint32_t nStart = net::GetTickCount();
    while (!m_queue.empty()) {
        for (int n = 0; n < kHandledBetweenTakes && !m_queue.empty(); ++n) {
            Queued datagram = std::move(m_queue.front());
            m_queue.pop_front();
            if (!Handle(datagram)) {
                return false;
            }
        }
        // More of the burst may have come meanwhile: out of the system's buffer with it.
        TakeIn();
        if (net::GetTickCount() - nStart >= kPassWorkMilliseconds) {
            break;
        }
    }
    RefreshDisplay(false);
    return true;
}

bool CReplyReceiver::Handle(Queued& datagram) {
    const net::sockaddr_in& addrFrom = datagram.from;
    if (datagram.nError != 0) {
        const int nError = datagram.nError;
        switch (nError) {
            case net::WSAEINTR:
            case net::WSAEINVAL:
            case net::WSAECONNRESET:
            case net::WSAEWOULDBLOCK:  // the socket does not block: nothing was there after all
                return true;
            case net::WSAEMSGSIZE:
                // Anybody who sees the query can send an oversized datagram: drop it, and count
                // it as traffic like any other.
                ReportOversizedDatagram(nError, addrFrom);
                RestartQuietPeriodAt(datagram.nArrival);
                return true;
            case net::WSAECONNABORTED:
                m_context.Printf("%s", m_context.Say(texts::ErrorReceiveAborted));
                break;
            case net::WSAESHUTDOWN:
                m_context.Printf("%s", m_context.Say(texts::ErrorReceiveShutdown));
                break;
            default:
                m_context.Printf(m_context.Say(texts::ErrorReceiveReturned), nError);
                break;
        }
        m_context.Fail(nError, kLineReceive);
        return false;
    }
    // The moment of arrival restarts the quiet period, however long the datagram waited here.
    RestartQuietPeriodAt(datagram.nArrival);
    if (datagram.nLength > kMaxDatagram) {
        // A layer that reports a truncated datagram by its whole length.
        ReportOversizedDatagram(net::WSAEMSGSIZE, addrFrom);
        return true;
    }
    // A zero byte ends the text early, as in the datagram buffer.
    if (!ParseDeviceReply(datagram.bytes.c_str(), m_pszExpectedPrefix,
                          m_context.info.m_szModelPrefix, &m_record)) {
        return true;
    }
    std::memcpy(&m_record.addrIPv4, &addrFrom, sizeof(m_record.addrIPv4));
    if (addrFrom.sin_family == net::AF_INET) {
        const char* pszAddress = net::inet_ntoa(addrFrom.sin_addr);
        if (pszAddress == nullptr) {
            m_context.Printf("%s", m_context.Say(texts::ErrorAddressText));
            m_context.Fail(0, kLineAddressText);
            return false;
        }
        std::snprintf(m_record.szIPv4, sizeof(m_record.szIPv4), "%s", pszAddress);
    }
    Store(addrFrom, datagram.info);
    return true;
}

bool CReplyReceiver::Reachable(std::uint32_t nAddress) {
    for (const LocalNetwork& network : m_networks) {
        if (network.Contains(nAddress)) {
            return true;
        }
    }
    const std::uint32_t nKey = nAddress & net::htonl(0xFFFFFF00u);
    const auto it = m_routes.find(nKey);
    if (it != m_routes.end()) {
        return it->second;
    }
    const bool bRoute = net::HasRoute(net::in_addr{nAddress});
    m_routes.emplace(nKey, bRoute);
    return bRoute;
}

void CReplyReceiver::Store(const net::sockaddr_in& addrFrom, const net::in_pktinfo& info) {
    CDeviceInfo& table = m_context.info;
    const int nIndex = table.AddDevice(m_record);
    if (nIndex == CDeviceInfo::ADD_TABLE_FULL) {
        m_nDroppedTableFull += FirstDrop() ? 1 : 0;
        return;
    }
    if (nIndex == CDeviceInfo::ADD_ADDRESS_FULL) {
        m_droppedPerAddress[addrFrom.sin_addr.s_addr] += FirstDrop() ? 1 : 0;
        return;
    }
    if (nIndex < 0) {
        return;
    }
    DeviceArrival& arrival = table.m_aArrivals[nIndex];
    if (info.ipi_addr.s_addr != 0) {
        std::snprintf(arrival.szLocalAddress, sizeof(arrival.szLocalAddress), "%s",
                      DottedText(info.ipi_addr.s_addr).c_str());
        std::string name = m_names.NameOfIndex(info.ipi_ifindex);
        if (name.empty()) {
            name = m_names.NameOfAddress(info.ipi_addr.s_addr);
        }
        std::snprintf(arrival.szInterface, sizeof(arrival.szInterface), "%s", name.c_str());
    }
    arrival.bReachable = Reachable(addrFrom.sin_addr.s_addr);

    m_context.EnsureBlankLine();
    table.ReportDevice(table.m_aDevices[nIndex], m_context.report);
    if (!arrival.bReachable) {
        // It heard the limited broadcast on this computer's cable, but answers from a network
        // that this computer has no route to: its page will not open.
        const std::string address = DottedText(addrFrom.sin_addr.s_addr);
        m_context.Warn(m_context.Say(texts::WarningNoRoute), address.c_str());
    }
    m_bDisplayDue = true;
}

bool CReplyReceiver::FirstDrop() {
    if (m_dropped.size() >= kMostDroppedKept) {
        return true;
    }
    return m_dropped.insert(RecordHash(m_record)).second;
}

void CReplyReceiver::ReportOversizedDatagram(int nError, const net::sockaddr_in& addrFrom) {
    // Once a sender and search: a device answers every broadcast and every repeat of one.
    const std::uint64_t nSender = (static_cast<std::uint64_t>(addrFrom.sin_addr.s_addr) << 16) |
                                  static_cast<std::uint64_t>(addrFrom.sin_port);
    if (m_nOversizedReported > kOversizedReports || !m_oversizedFrom.insert(nSender).second) {
        return;
    }
    if (++m_nOversizedReported > kOversizedReports) {
        m_context.Warn("%s", m_context.Say(texts::WarningFurtherOversized));
        return;
    }
    m_context.Warn(m_context.Say(texts::WarningOversized), nError,
                   DottedText(addrFrom.sin_addr.s_addr).c_str(),
                   static_cast<unsigned>(net::ntohs(addrFrom.sin_port)));
}

void CReplyReceiver::ReportDropped() {
    for (const auto& [nAddress, nDropped] : m_droppedPerAddress) {
        m_context.Warn(m_context.Say(texts::WarningAnsweredAsMore), DottedText(nAddress).c_str(),
                       kMaxRecordsPerAddress, nDropped);
    }
    if (m_nDroppedTableFull > 0) {
        m_context.Warn(m_context.Say(texts::WarningTableFull), kMaxDevices, m_nDroppedTableFull);
    }
}

}  // namespace discovery
