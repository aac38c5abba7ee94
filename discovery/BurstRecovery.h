// Replies lost in a burst: devices on one switch answer a broadcast at the same moment, faster
// than a computer may take them in. When the system dropped replies for a full receive buffer,
// the broadcasts go out again once the burst is over, one after the other (each burst after the
// one before is over, so that a device that hears several has several chances), and the devices
// answer once more; the table's repeat rule drops the answers it has already.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/SocketLayer.h"

namespace discovery {

class CReplyReceiver;
class CSearchContext;

class CBurstRecovery {
public:
    /// The rounds of broadcasts a search sends at most (the first and the repeats).
    static constexpr int kMostRounds = 4;
    /// How long the network must have been quiet before a burst counts as over.
    static constexpr std::uint32_t kBurstOverMilliseconds = 250;
    /// Where the system does not count its drops: a burst this large may have overflowed the
    /// receive buffer, and the broadcasts go out once more.
    static constexpr std::size_t kSuspectBurst = 128;

    /// Notes how many datagrams the socket has dropped before the search.
    CBurstRecovery(CSearchContext& context, net::SOCKET s, CReplyReceiver& receiver);

    /// The broadcast addresses the query went to (network byte order), to send again.
    void SetBroadcasts(const std::vector<std::uint32_t>& addresses) {
        m_broadcasts = addresses;
        m_nNext = addresses.size();
    }

    /// After each pass of the receive phase: when replies were lost (or, where the system does
    /// not say, a burst may have lost some) and the burst is over, says so in the report and
    /// starts a round that sends the broadcasts again, one each time the burst before it is over,
    /// each restarting the quiet period; at most kMostRounds rounds in all. False when the search
    /// must end.
    bool AfterPass();

    /// At the end of the receive phase: a warning with the count when replies to the last round
    /// were lost, so that a device missing for that reason is never missing silently.
    void ReportLost();

    /// The rounds of broadcasts sent (1 without a repeat).
    int Rounds() const { return m_nRound; }

private:
    /// Sends the next broadcast of the round and starts the quiet period anew.
    bool SendNext();

    CSearchContext& m_context;
    net::SOCKET m_s;
    CReplyReceiver& m_receiver;
    std::vector<std::uint32_t> m_broadcasts;
    std::size_t m_nNext = 0;  ///< the next broadcast of the round to send; all sent: the size
    long m_nDroppedBefore;    ///< the socket's drop count when the last round went out; -1 unknown
    long m_nDroppedAtStart;   ///< the socket's drop count before the search; -1 unknown
    std::size_t m_nLargestBurst = 0;
    int m_nRound = 1;
};

}  // namespace discovery
