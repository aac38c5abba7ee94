// Receiving the replies of a search, one datagram at a time: checked, stored and described, with
// the quiet period that ends the search.
#pragma once

#include <cstdint>
#include <map>
#include <unordered_set>

#include "DeviceInfo.h"
#include "net/SocketLayer.h"

namespace discovery {

class CSearchContext;

/// The datagram buffer: the longest reply and a terminating zero.
inline constexpr int kDatagramBufferSize = 1472;
inline constexpr int kMaxDatagram = kDatagramBufferSize - 1;

/// Receives the replies of a search; both the receive phase and the pauses of a sweep use it.
/// Every datagram restarts the quiet period at the moment it arrived.
class CReplyReceiver {
public:
    CReplyReceiver(CSearchContext& context, net::SOCKET s, const char* pszExpectedPrefix);

    /// Starts the quiet period anew (after the last query went out).
    void RestartQuietPeriod();
    /// Whether the network has been quiet long enough: counts the passes that begin 3000 ms or
    /// more after the last datagram.
    bool QuietLongEnough();
    /// Waits at most nWaitMs for one datagram and handles it. False when the search must end:
    /// a failure (reported), or the host asked to stop (the outcome says Cancelled).
    bool Pass(std::uint32_t nWaitMs);
    /// Takes in what arrives during nMs.
    bool Drain(std::uint32_t nMs);
    /// The warnings that sum up the devices that were not stored: per address beyond its share
    /// of the table, and beyond a full table.
    void ReportDropped();

private:
    bool Receive();
    /// Whether a datagram waits to be received (without waiting for one).
    bool DatagramWaits();
    void Store(const net::sockaddr_in& addrFrom, const net::in_pktinfo& info);
    void ReportOversizedDatagram(int nError, const net::sockaddr_in& addrFrom);
    /// Whether the record has not been dropped before (repeats of a dropped device count once).
    bool FirstDrop();

    CSearchContext& m_context;
    net::SOCKET m_s;
    const char* m_pszExpectedPrefix;
    char m_achDatagram[kDatagramBufferSize] = {};
    DeviceRecord m_record{};
    std::uint32_t m_nQuietStart;
    int m_nQuietPasses = 0;
    int m_nOversizedReported = 0;
    // A device was described since the display was last brought up to date: it is, once the
    // datagrams that wait are taken in (a burst of replies is one refresh), at least every 100 ms.
    bool m_bDisplayDue = false;
    std::uint32_t m_nLastDisplay = 0;
    unsigned m_nDroppedTableFull = 0;
    std::map<std::uint32_t, unsigned> m_droppedPerAddress;  // network byte order -> devices
    std::unordered_set<std::uint64_t> m_dropped;            // hashes of the dropped records
};

}  // namespace discovery
