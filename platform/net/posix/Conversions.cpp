// The layer's header first, for the reason SystemSocketLayer.cpp gives.
#include "net/SocketLayer.h"

namespace {
constexpr std::uint16_t kNetInet = net::AF_INET;
}  // namespace

#include "Conversions.h"

#include <errno.h>

#include <cstring>

namespace net::system {

int WsaErrorFromErrno(int nErrno) {
    switch (nErrno) {
        case EINTR:
            return WSAEINTR;
        case EBADF:
            return WSAEBADF;
        case EACCES:
            return WSAEACCES;
        case EFAULT:
            return WSAEFAULT;
        case EINVAL:
            return WSAEINVAL;
        case EMFILE:
        case ENFILE:
            return WSAEMFILE;
        case EAGAIN:
            return WSAEWOULDBLOCK;
        case ENOTSOCK:
            return WSAENOTSOCK;
        case EMSGSIZE:
            return WSAEMSGSIZE;
        case EAFNOSUPPORT:
            return WSAEAFNOSUPPORT;
        case EADDRINUSE:
            return WSAEADDRINUSE;
        case EADDRNOTAVAIL:
            return WSAEADDRNOTAVAIL;
        case ENETDOWN:
            return WSAENETDOWN;
        case ENETUNREACH:
            return WSAENETUNREACH;
        case ECONNABORTED:
            return WSAECONNABORTED;
        case ECONNRESET:
        case ECONNREFUSED:
            return WSAECONNRESET;
        case ENOBUFS:
        case ENOMEM:
            return WSAENOBUFS;
        case EPIPE:
        case ESHUTDOWN:
            return WSAESHUTDOWN;
        case EHOSTUNREACH:
            return WSAEHOSTUNREACH;
        default:
            return 10000 + nErrno;
    }
}

::sockaddr_in ToSystem(const sockaddr_in& addr) {
    ::sockaddr_in out{};
    out.sin_family = AF_INET;
    out.sin_port = addr.sin_port;
    out.sin_addr.s_addr = addr.sin_addr.s_addr;
    return out;
}

sockaddr_in FromSystem(const ::sockaddr_in& addr) {
    sockaddr_in out{};
    out.sin_family = kNetInet;
    out.sin_port = addr.sin_port;
    out.sin_addr.s_addr = addr.sin_addr.s_addr;
    return out;
}

/// Where a received datagram came in, from its IP_PKTINFO; all zero without one.
in_pktinfo PacketInfo(msghdr& msg) {
    in_pktinfo out{};
    for (cmsghdr* p = CMSG_FIRSTHDR(&msg); p != nullptr; p = CMSG_NXTHDR(&msg, p)) {
        if (p->cmsg_level == IPPROTO_IP && p->cmsg_type == IP_PKTINFO) {
            ::in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(p), sizeof(info));
            out.ipi_addr.s_addr = info.ipi_addr.s_addr;
            out.ipi_ifindex = static_cast<std::uint32_t>(info.ipi_ifindex);
        }
    }
    return out;
}

}  // namespace net::system
