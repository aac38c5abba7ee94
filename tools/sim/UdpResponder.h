// The simulator's UDP side: the identification queries on the discovery port and the devices'
// replies, each sent from the device's own address after the device's delay.
#pragma once

#include <poll.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "SimDevice.h"

namespace sim {

class UdpResponder {
public:
    /// nStartMs: when the simulator started, which the devices' schedules count from.
    UdpResponder(const std::vector<Device>& devices, bool bVerbose, bool bShuffle,
                 std::uint64_t nStartMs)
        : m_devices(devices), m_bVerbose(bVerbose), m_bShuffle(bShuffle), m_nStartMs(nStartMs) {}
    ~UdpResponder();
    UdpResponder(const UdpResponder&) = delete;
    UdpResponder& operator=(const UdpResponder&) = delete;

    /// Listens on the port on every address. False (errno set) when it cannot.
    bool Open(std::uint16_t nPort);
    /// Sends the replies that are due; a flood stops as soon as *pbStop is set.
    void SendDue(std::uint64_t nNowMs, const volatile std::sig_atomic_t* pbStop);
    /// The longest the poll loop may sleep before a reply is due, at most nLongestMs.
    int WaitMs(std::uint64_t nNowMs, int nLongestMs) const;
    /// The socket to poll, for reading.
    pollfd PollEntry() const { return pollfd{m_fd, POLLIN, 0}; }
    /// Reads one datagram; a query schedules the replies of every device that it reaches and that
    /// is up by its schedule.
    void OnReadable(std::uint64_t nNowMs);

private:
    struct PendingReply {
        std::uint64_t nDueMs;
        std::size_t nDevice;
        sockaddr_in to;
        int nCopies;
    };

    const std::vector<Device>& m_devices;
    const bool m_bVerbose;
    const bool m_bShuffle;
    const std::uint64_t m_nStartMs;
    int m_fd = -1;
    std::vector<PendingReply> m_pending;
    std::mt19937 m_random{std::random_device{}()};
};

}  // namespace sim
