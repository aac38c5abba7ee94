// Receiving the replies of a search: taken in from the socket as fast as they come, then checked,
// stored and described, with the quiet period that ends the search.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

#include "DeviceTable.h"
#include "LocalNetworks.h"
#include "net/SocketLayer.h"

namespace discovery {

class CSearchContext;

/// The datagram buffer: the longest reply and a terminating zero.
inline constexpr int kDatagramBufferSize = 1472;
inline constexpr int kMaxDatagram = kDatagramBufferSize - 1;

/// Receives the replies of a search; both the receive phase and the pauses of a sweep use it.
/// Every datagram restarts the quiet period at the moment it arrived.
///
/// Devices on one switch answer a broadcast at the same moment: the datagrams that wait are taken
/// out of the socket in batches into a queue of the receiver's own before any is handled, and
/// while a long queue is handled the socket is emptied again every few datagrams, so that the
/// system's receive buffer holds as little as possible. Handling a reply costs no system call:
/// the interface names and the routes come from what the search read once.
class CReplyReceiver {
public:
    CReplyReceiver(CSearchContext& context, net::SOCKET s, const char* pszExpectedPrefix,
                   const CInterfaceNames& names, const std::vector<LocalNetwork>& networks);

    /// Starts the quiet period anew (after the last query went out).
    void RestartQuietPeriod();
    /// Whether the network has been quiet long enough: counts the passes that begin 3000 ms or
    /// more after the last datagram.
    bool QuietLongEnough();
    /// Milliseconds since the last datagram arrived (or the quiet period was restarted).
    std::uint32_t QuietFor() const;
    /// Waits at most nWaitMs for datagrams and handles what came (at most about 50 ms of work;
    /// the next pass goes on). False when the search must end: a failure (reported), or the host
    /// asked to stop (the outcome says Cancelled).
    bool Pass(std::uint32_t nWaitMs);
    /// Takes in what arrives during nMs.
    bool Drain(std::uint32_t nMs);
    /// The warnings that sum up the devices that were not stored: per address beyond its share
    /// of the table, and beyond a full table.
    void ReportDropped();
    /// The most datagrams that came in one burst (taken in before the queue was empty again)
    /// since the last call, which starts the count anew.
    std::size_t TakeLargestBurst();

private:
    /// A datagram taken out of the socket, waiting to be handled.
    struct Queued {
        std::uint32_t nArrival;
        int nLength;
        int nError;
        net::sockaddr_in from;
        net::in_pktinfo info;
        std::string bytes;
    };

    /// Moves every datagram that waits in the socket into the queue (no waiting).
    void TakeIn();
    /// Handles one datagram of the queue. False when the search must end.
    bool Handle(Queued& datagram);
    void RestartQuietPeriodAt(std::uint32_t nArrival);
    /// Brings the display up to date once a device was described since the last time: when
    /// nothing waits any more (a burst is one refresh), else at least every 100 ms.
    void RefreshDisplay(bool bNothingWaits);
    void Store(const net::sockaddr_in& addrFrom, const net::in_pktinfo& info);
    void ReportOversizedDatagram(int nError, const net::sockaddr_in& addrFrom);
    /// Whether the record has not been dropped before (repeats of a dropped device count once).
    bool FirstDrop();
    /// Whether this computer has a route to the address (network byte order): on one of its own
    /// networks, else as the system says, asked once per /24.
    bool Reachable(std::uint32_t nAddress);

    CSearchContext& m_context;
    net::SOCKET m_s;
    const char* m_pszExpectedPrefix;
    const CInterfaceNames& m_names;
    const std::vector<LocalNetwork>& m_networks;
    std::vector<char> m_batchBytes;
    std::vector<net::ReceivedDatagram> m_batch;
    std::deque<Queued> m_queue;
    std::size_t m_nBurst = 0;
    std::size_t m_nLargestBurst = 0;
    DeviceRecord m_record{};
    std::uint32_t m_nQuietStart;
    int m_nQuietPasses = 0;
    int m_nOversizedReported = 0;
    // A device was described since the display was last brought up to date.
    bool m_bDisplayDue = false;
    std::uint32_t m_nLastDisplay = 0;
    unsigned m_nDroppedTableFull = 0;
    std::map<std::uint32_t, unsigned> m_droppedPerAddress;  // network byte order -> devices
    std::unordered_set<std::uint64_t> m_dropped;            // hashes of the dropped records
    std::unordered_set<std::uint64_t> m_oversizedFrom;      // senders (address, port) warned of
    std::map<std::uint32_t, bool> m_routes;                 // /24 (network byte order) -> route
};

}  // namespace discovery
