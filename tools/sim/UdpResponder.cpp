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

/// One reply on its way out: its bytes, where it goes, and the device's address as its source
/// (many devices share one socket).
struct Outgoing {
    std::string payload;
    sockaddr_in to;
    iovec iov;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
};

void Prepare(Outgoing& out, const Device& device, const sockaddr_in& to, std::string payload,
             mmsghdr* pMessage) {
    out.payload = std::move(payload);
    out.to = to;
    out.iov = iovec{out.payload.data(), out.payload.size()};
    std::memset(out.control, 0, sizeof(out.control));
    msghdr& msg = pMessage->msg_hdr;
    msg = msghdr{};
    msg.msg_name = &out.to;
    msg.msg_namelen = sizeof(out.to);
    msg.msg_iov = &out.iov;
    msg.msg_iovlen = 1;
    msg.msg_control = out.control;
    msg.msg_controllen = sizeof(out.control);
    cmsghdr* pHeader = CMSG_FIRSTHDR(&msg);
    pHeader->cmsg_level = IPPROTO_IP;
    pHeader->cmsg_type = IP_PKTINFO;
    pHeader->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_spec_dst = device.address;
    std::memcpy(CMSG_DATA(pHeader), &info, sizeof(info));
    pMessage->msg_len = 0;
}

// Replies handed to the system in one call: devices on one switch answer a broadcast at the same
// moment, and so do these.
constexpr std::size_t kBurst = 256;

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
    // The replies due now, in the order they were scheduled.
    std::vector<PendingReply> due;
    std::vector<PendingReply> later;
    for (const PendingReply& reply : m_pending) {
        (reply.nDueMs <= nNowMs ? due : later).push_back(reply);
    }
    if (due.empty()) {
        return;
    }
    m_pending = std::move(later);
    // Devices on one switch answer in an order that differs from query to query (how long each
    // takes to answer varies a little); a fixed order would let the same devices win every race
    // for a full receive buffer.
    if (m_bShuffle) {
        std::shuffle(due.begin(), due.end(), m_random);
    }
    std::vector<Outgoing> outgoing(kBurst);
    std::vector<mmsghdr> messages(kBurst);
    std::vector<std::size_t> devices(kBurst);
    std::size_t nQueued = 0;
    auto flush = [&] {
        std::size_t nDone = 0;
        while (nDone < nQueued) {
            const int n = sendmmsg(m_fd, messages.data() + nDone,
                                   static_cast<unsigned>(nQueued - nDone), MSG_NOSIGNAL);
            const std::size_t nSent = n > 0 ? static_cast<std::size_t>(n) : 0;
            for (std::size_t k = nDone; k < nDone + std::max<std::size_t>(nSent, 1) && k < nQueued;
                 ++k) {
                const bool bSent = k < nDone + nSent;
                if (m_bVerbose || !bSent) {
                    std::fprintf(stderr, "lorixlog-sim: %s %s -> %s:%u (%zu bytes)%s\n",
                                 m_devices[devices[k]].config.address.c_str(),
                                 bSent ? "answered" : "could not answer",
                                 inet_ntoa(outgoing[k].to.sin_addr), ntohs(outgoing[k].to.sin_port),
                                 outgoing[k].payload.size(), bSent ? "" : std::strerror(errno));
                }
            }
            nDone += std::max<std::size_t>(nSent, 1);  // a reply that cannot go is given up
        }
        nQueued = 0;
    };
    // Every copy of every due reply, a burst at a time; a flood can take minutes, and a signal
    // ends it at once.
    for (const PendingReply& reply : due) {
        const Device& device = m_devices[reply.nDevice];
        for (int nCopy = 0; nCopy < reply.nCopies && *pbStop == 0; ++nCopy) {
            Prepare(outgoing[nQueued], device, reply.to, ComposeReply(device.config, nCopy),
                    &messages[nQueued]);
            devices[nQueued] = reply.nDevice;
            if (++nQueued == kBurst) {
                flush();
            }
        }
        if (*pbStop != 0) {
            break;
        }
    }
    flush();
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
