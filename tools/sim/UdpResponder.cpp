#include "UdpResponder.h"

#include <arpa/inet.h>
#include <errno.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace sim {

namespace {

/// Whether a query sent to the destination reaches the device: the limited broadcast, the
/// device's own address, or the directed broadcast of its network.
bool Answers(const Device& device, const in_addr& destination) {
    const std::uint32_t dest = destination.s_addr;
    const std::uint32_t own = device.address.s_addr;
    const std::uint32_t mask = device.netmask.s_addr;
    return dest == INADDR_BROADCAST || dest == own || dest == ((own & mask) | ~mask);
}

/// Sends the payload with the device's address as its source (many devices share one socket).
bool SendFrom(int fd, const Device& device, const sockaddr_in& to, const std::string& payload) {
    iovec iov{const_cast<char*>(payload.data()), payload.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in*>(&to);
    msg.msg_namelen = sizeof(to);
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof(control);
    cmsghdr* pHeader = CMSG_FIRSTHDR(&msg);
    pHeader->cmsg_level = IPPROTO_IP;
    pHeader->cmsg_type = IP_PKTINFO;
    pHeader->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst = device.address;
    std::memcpy(CMSG_DATA(pHeader), &info, sizeof(info));
    return sendmsg(fd, &msg, MSG_NOSIGNAL) == static_cast<ssize_t>(payload.size());
}

}  // namespace

UdpResponder::~UdpResponder() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

bool UdpResponder::Open(std::uint16_t nPort) {
    m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        return false;
    }
    const int one = 1;
    setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    setsockopt(m_fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof(one));
    setsockopt(m_fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof(one));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(nPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    return bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) == 0;
}

void UdpResponder::SendDue(std::uint64_t nNowMs, const volatile std::sig_atomic_t* pbStop) {
    for (std::size_t i = 0; i < m_pending.size() && *pbStop == 0;) {
        if (m_pending[i].nDueMs > nNowMs) {
            ++i;
            continue;
        }
        const PendingReply reply = m_pending[i];
        m_pending.erase(m_pending.begin() + static_cast<std::ptrdiff_t>(i));
        const Device& device = m_devices[reply.nDevice];
        // A flood can take minutes: a signal ends it at once.
        for (int nCopy = 0; nCopy < reply.nCopies && *pbStop == 0; ++nCopy) {
            const std::string payload = ComposeReply(device.config, nCopy);
            const bool bSent = SendFrom(m_fd, device, reply.to, payload);
            if (m_bVerbose || !bSent) {
                std::fprintf(stderr, "lorixlog-sim: %s %s -> %s:%u (%zu bytes)%s\n",
                             device.config.address.c_str(), bSent ? "answered" : "could not answer",
                             inet_ntoa(reply.to.sin_addr), ntohs(reply.to.sin_port), payload.size(),
                             bSent ? "" : std::strerror(errno));
            }
        }
    }
}

int UdpResponder::WaitMs(std::uint64_t nNowMs, int nLongestMs) const {
    int nWait = nLongestMs;
    for (const PendingReply& reply : m_pending) {
        nWait =
            std::min(nWait, static_cast<int>(reply.nDueMs > nNowMs ? reply.nDueMs - nNowMs : 0));
    }
    return nWait;
}

void UdpResponder::OnReadable(std::uint64_t nNowMs) {
    char buffer[2048];
    sockaddr_in from{};
    alignas(cmsghdr) char control[256];
    iovec iov{buffer, sizeof(buffer)};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof(from);
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof(control);
    const ssize_t n = recvmsg(m_fd, &msg, MSG_DONTWAIT);
    if (n < 0) {
        return;
    }
    // Where the datagram was sent: the device's own address, a directed or the limited broadcast.
    in_addr destination{};
    destination.s_addr = INADDR_BROADCAST;
    for (cmsghdr* p = CMSG_FIRSTHDR(&msg); p != nullptr; p = CMSG_NXTHDR(&msg, p)) {
        if (p->cmsg_level == IPPROTO_IP && p->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(p), sizeof(info));
            destination = info.ipi_addr;
        }
    }
    const bool bQuery = n >= 5 && std::memcmp(buffer, "*IDN?", 5) == 0;
    if (m_bVerbose) {
        char szDest[INET_ADDRSTRLEN];
        inet_ntop(AF_INET, &destination, szDest, sizeof(szDest));
        std::fprintf(stderr, "lorixlog-sim: %s from %s:%u to %s\n", bQuery ? "query" : "datagram",
                     inet_ntoa(from.sin_addr), ntohs(from.sin_port), szDest);
    }
    if (!bQuery) {
        return;
    }
    for (std::size_t i = 0; i < m_devices.size(); ++i) {
        const auto nSinceStart = static_cast<std::int64_t>(nNowMs - m_nStartMs);
        if (Answers(m_devices[i], destination) && IsUpAt(m_devices[i].config, nSinceStart)) {
            const SimulatedDevice& config = m_devices[i].config;
            const int nCopies = (config.bTwice ? 2 : 1) + config.nFlood;
            m_pending.push_back(PendingReply{nNowMs + static_cast<std::uint64_t>(config.nDelayMs),
                                             i, from, nCopies});
        }
    }
}

}  // namespace sim
