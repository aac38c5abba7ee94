// The socket layer on POSIX systems (Linux, macOS): BSD sockets with Winsock's results and codes.
//
// The layer's own header comes first: the system headers define some of its names (AF_INET,
// SOL_SOCKET, WSA_FD_SETSIZE, ...) as macros, so the layer's values are taken before they are
// included, and below them every such name means the system's. The interface flags are enum
// constants, not macros: inside namespace net the layer's own would win, so the system's are
// written ::IFF_UP and so on; the same holds for in_pktinfo. The interfaces are Interfaces.cpp's.
#include "net/SocketLayer.h"

namespace {
constexpr std::uint16_t kNetInet = net::AF_INET;
constexpr int kNetDatagram = net::SOCK_DGRAM;
constexpr int kNetUdp = net::IPPROTO_UDP;
constexpr int kNetSocketLevel = net::SOL_SOCKET;
constexpr int kNetBroadcastOption = net::SO_BROADCAST;
constexpr int kNetIpLevel = net::IPPROTO_IP;
constexpr int kNetPacketInfoOption = net::IP_PKTINFO;
constexpr long kNetNonBlocking = net::FIONBIO;
constexpr unsigned int kNetFdSetSize = net::WSA_FD_SETSIZE;
}  // namespace

#include "Conversions.h"
#include "Interfaces.h"
#include "SystemNames.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/utsname.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/sock_diag.h>
#endif

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace net {

namespace {

using system::FromSystem;
using system::PacketInfo;
using system::ToSystem;
using system::WsaErrorFromErrno;

class PosixSocketLayer final : public SocketLayer {
public:
    int WSAStartup(std::uint16_t, WSADATA* pData) override {
        if (pData != nullptr) {
            pData->wVersion = MAKEWORD(2, 2);
            pData->wHighVersion = MAKEWORD(2, 2);
        }
        return 0;
    }

    int WSACleanup() override { return 0; }

    SOCKET socket(int af, int type, int protocol) override {
        if (af != kNetInet || type != kNetDatagram || protocol != kNetUdp) {
            Fail(WSAEINVAL);
            return INVALID_SOCKET;
        }
        const int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        if (fd < 0) {
            Fail(WsaErrorFromErrno(errno));
            return INVALID_SOCKET;
        }
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        return static_cast<SOCKET>(fd);
    }

    int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen) override {
        int nSystemLevel = 0;
        int nSystemOption = 0;
        if (level == kNetSocketLevel && optname == kNetBroadcastOption) {
            nSystemLevel = SOL_SOCKET;
            nSystemOption = SO_BROADCAST;
        } else if (level == kNetIpLevel && optname == kNetPacketInfoOption) {
            nSystemLevel = IPPROTO_IP;
            nSystemOption = IP_PKTINFO;
        } else {
            return Fail(WSAEINVAL);
        }
        if (optval == nullptr || optlen < 1) {
            return Fail(WSAEFAULT);
        }
        int nValue = 0;
        std::memcpy(&nValue, optval, optlen >= 4 ? 4 : 1);
        if (::setsockopt(Fd(s), nSystemLevel, nSystemOption, &nValue, sizeof(nValue)) != 0) {
            return Fail(WsaErrorFromErrno(errno));
        }
        return 0;
    }

    int ioctlsocket(SOCKET s, long cmd, unsigned long* argp) override {
        if (cmd != kNetNonBlocking || argp == nullptr) {
            return Fail(WSAEINVAL);
        }
        const int nFlags = ::fcntl(Fd(s), F_GETFL);
        if (nFlags < 0 ||
            ::fcntl(Fd(s), F_SETFL, *argp != 0 ? nFlags | O_NONBLOCK : nFlags & ~O_NONBLOCK) != 0) {
            return Fail(WsaErrorFromErrno(errno));
        }
        return 0;
    }

    int sendto(SOCKET s, const char* buf, int len, int, const sockaddr* to, int tolen) override {
        if (to == nullptr || tolen < static_cast<int>(sizeof(sockaddr_in)) || len < 0) {
            return Fail(WSAEFAULT);
        }
        sockaddr_in dest;
        std::memcpy(&dest, to, sizeof(dest));
        const ::sockaddr_in sysDest = ToSystem(dest);
        const ssize_t n = ::sendto(Fd(s), buf, static_cast<size_t>(len), MSG_NOSIGNAL,
                                   reinterpret_cast<const ::sockaddr*>(&sysDest), sizeof(sysDest));
        if (n >= 0) {
            return static_cast<int>(n);
        }
        const int nErrno = errno;
        if (nErrno == ENETUNREACH && dest.sin_addr.s_addr == htonl(INADDR_BROADCAST)) {
            // Linux refuses the limited broadcast when no route covers it (a computer cabled
            // straight to a device, without a gateway). Send it out of every broadcast-capable
            // interface instead, as Windows does.
            return system::SendOutOfEveryInterface(Fd(s), buf, static_cast<std::size_t>(len),
                                                   sysDest.sin_port)
                       ? len
                       : Fail(WSAENETUNREACH);
        }
        return Fail(WsaErrorFromErrno(nErrno));
    }

    int recvfrom(SOCKET s, char* buf, int len, int, sockaddr* from, int* fromlen) override {
        return RecvFromWithPacketInfo(s, buf, len, from, fromlen, nullptr);
    }

    int RecvFromWithPacketInfo(SOCKET s, char* buf, int len, sockaddr* from, int* fromlen,
                               in_pktinfo* pInfo) override {
        if (len < 0) {
            return Fail(WSAEFAULT);
        }
        if (pInfo != nullptr) {
            *pInfo = in_pktinfo{};
        }
        ::sockaddr_in source{};
        iovec iov{buf, static_cast<size_t>(len)};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(::in_pktinfo)) + 64] = {};
        msghdr msg{};
        msg.msg_name = &source;
        msg.msg_namelen = sizeof(source);
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof(control);
        const ssize_t n = ::recvmsg(Fd(s), &msg, 0);
        if (n < 0) {
            return Fail(WsaErrorFromErrno(errno));
        }
        if (pInfo != nullptr) {
            *pInfo = PacketInfo(msg);
        }
        if (from != nullptr && fromlen != nullptr &&
            *fromlen >= static_cast<int>(sizeof(sockaddr_in))) {
            const sockaddr_in addr = FromSystem(source);
            std::memcpy(from, &addr, sizeof(addr));
            *fromlen = sizeof(addr);
        }
        if ((msg.msg_flags & MSG_TRUNC) != 0) {
            // The datagram was longer than the buffer: Winsock's WSAEMSGSIZE.
            return Fail(WSAEMSGSIZE);
        }
        return static_cast<int>(n);
    }

    int WSAIoctl(SOCKET, unsigned long code, void*, unsigned long, void* out, unsigned long outLen,
                 unsigned long* bytesReturned) override {
        if (code != SIO_GET_INTERFACE_LIST || out == nullptr || bytesReturned == nullptr) {
            return Fail(WSAEINVAL);
        }
        std::vector<INTERFACE_INFO> entries;
        if (!system::ListInterfaces(&entries)) {
            return Fail(WsaErrorFromErrno(errno));
        }
        const unsigned long nBytes =
            static_cast<unsigned long>(entries.size() * sizeof(INTERFACE_INFO));
        if (nBytes > outLen) {
            return Fail(WSAEFAULT);
        }
        if (nBytes > 0) {
            std::memcpy(out, entries.data(), nBytes);
        }
        *bytesReturned = nBytes;
        return 0;
    }

    int select(int, fd_set* readfds, fd_set* writefds, fd_set* exceptfds,
               const timeval* timeout) override {
        if (writefds != nullptr || exceptfds != nullptr || readfds == nullptr) {
            return Fail(WSAEINVAL);
        }
        std::vector<pollfd> fds;
        for (unsigned int i = 0; i < readfds->fd_count && i < kNetFdSetSize; ++i) {
            fds.push_back(pollfd{Fd(readfds->fd_array[i]), POLLIN, 0});
        }
        const int nTimeoutMs =
            timeout ? static_cast<int>(timeout->tv_sec * 1000 + timeout->tv_usec / 1000) : -1;
        const int n = ::poll(fds.data(), fds.size(), nTimeoutMs);
        if (n < 0) {
            return Fail(WsaErrorFromErrno(errno));
        }
        fd_set ready{};
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if ((fds[i].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
                ready.fd_array[ready.fd_count++] = readfds->fd_array[i];
            }
        }
        *readfds = ready;
        return static_cast<int>(ready.fd_count);
    }

    int shutdown(SOCKET s, int) override {
        if (::shutdown(Fd(s), SHUT_RDWR) != 0) {
            return Fail(WsaErrorFromErrno(errno));
        }
        return 0;
    }

    int closesocket(SOCKET s) override {
        if (::close(Fd(s)) != 0) {
            return Fail(WsaErrorFromErrno(errno));
        }
        return 0;
    }

    int WSAGetLastError() override { return m_nLastError; }

    std::string SystemRelease() override {
        ::utsname name{};
        return ::uname(&name) == 0 ? std::string(name.release) : std::string();
    }

    SOCKET OpenListener(in_addr address, std::uint16_t nPort, int nBacklog) override {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, IPPROTO_TCP);
        if (fd < 0) {
            Fail(WsaErrorFromErrno(errno));
            return INVALID_SOCKET;
        }
        // A program started again at once gets its port back (the old connections may still
        // linger); a port that another program listens on stays refused.
        const int nOn = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &nOn, sizeof(nOn));
        ::sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = nPort;
        at.sin_addr.s_addr = address.s_addr;
        if (::bind(fd, reinterpret_cast<const ::sockaddr*>(&at), sizeof(at)) != 0 ||
            ::listen(fd, nBacklog) != 0) {
            const int nError = WsaErrorFromErrno(errno);
            ::close(fd);
            Fail(nError);
            return INVALID_SOCKET;
        }
        return static_cast<SOCKET>(fd);
    }

    SOCKET AcceptWaiting(SOCKET listener) override {
        const int fd = ::accept4(Fd(listener), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            Fail(WsaErrorFromErrno(errno));
            return INVALID_SOCKET;
        }
        return static_cast<SOCKET>(fd);
    }

    int recv(SOCKET s, char* buf, int len, int) override {
        const ssize_t n = ::recv(Fd(s), buf, static_cast<size_t>(std::max(len, 0)), 0);
        return n >= 0 ? static_cast<int>(n) : Fail(WsaErrorFromErrno(errno));
    }

    int send(SOCKET s, const char* buf, int len, int) override {
        const ssize_t n = ::send(Fd(s), buf, static_cast<size_t>(std::max(len, 0)), MSG_NOSIGNAL);
        return n >= 0 ? static_cast<int>(n) : Fail(WsaErrorFromErrno(errno));
    }

    bool ResolveIPv4(const char* pszName, std::vector<in_addr>* pAddresses) override {
        return system::ResolveIPv4(pszName, pAddresses);
    }

    int EnlargeReceiveBuffer(SOCKET s, int nBytes) override {
        // Past the system's cap (net.core.rmem_max) where the program may; else up to the cap.
#if defined(SO_RCVBUFFORCE)
        if (::setsockopt(Fd(s), SOL_SOCKET, SO_RCVBUFFORCE, &nBytes, sizeof(nBytes)) != 0)
#endif
        {
            ::setsockopt(Fd(s), SOL_SOCKET, SO_RCVBUF, &nBytes, sizeof(nBytes));
        }
        int nGranted = 0;
        socklen_t nLength = sizeof(nGranted);
        return ::getsockopt(Fd(s), SOL_SOCKET, SO_RCVBUF, &nGranted, &nLength) == 0 ? nGranted : 0;
    }

#if defined(__linux__)
    int ReceiveWaiting(SOCKET s, ReceivedDatagram* pDatagrams, int nCount) override {
        // One call for every datagram that waits, up to a batch.
        constexpr int kMostAtOnce = 64;
        nCount = std::min(nCount, kMostAtOnce);
        if (nCount <= 0) {
            return 0;
        }
        ::sockaddr_in sources[kMostAtOnce];
        iovec iovs[kMostAtOnce];
        alignas(cmsghdr) char controls[kMostAtOnce][CMSG_SPACE(sizeof(::in_pktinfo)) + 64];
        mmsghdr messages[kMostAtOnce];
        for (int i = 0; i < nCount; ++i) {
            sources[i] = ::sockaddr_in{};
            iovs[i] = iovec{pDatagrams[i].pBuffer, static_cast<size_t>(pDatagrams[i].nCapacity)};
            messages[i] = mmsghdr{};
            msghdr& msg = messages[i].msg_hdr;
            msg.msg_name = &sources[i];
            msg.msg_namelen = sizeof(sources[i]);
            msg.msg_iov = &iovs[i];
            msg.msg_iovlen = 1;
            msg.msg_control = controls[i];
            msg.msg_controllen = sizeof(controls[i]);
        }
        const int n =
            ::recvmmsg(Fd(s), messages, static_cast<unsigned>(nCount), MSG_DONTWAIT, nullptr);
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                return 0;
            }
            ReceivedDatagram& d = pDatagrams[0];
            d.nError = WsaErrorFromErrno(errno);
            d.nLength = Fail(d.nError);
            d.from = sockaddr_in{};
            d.info = in_pktinfo{};
            return 1;
        }
        for (int i = 0; i < n; ++i) {
            ReceivedDatagram& d = pDatagrams[i];
            d.from = FromSystem(sources[i]);
            d.info = PacketInfo(messages[i].msg_hdr);
            d.nLength = static_cast<int>(messages[i].msg_len);
            d.nError = (messages[i].msg_hdr.msg_flags & MSG_TRUNC) != 0 ? WSAEMSGSIZE : 0;
        }
        return n;
    }

    long DroppedDatagrams(SOCKET s) override {
        // The socket's own count of datagrams that found its receive buffer full.
        std::uint32_t meminfo[SK_MEMINFO_VARS] = {};
        socklen_t nLength = sizeof(meminfo);
        if (::getsockopt(Fd(s), SOL_SOCKET, SO_MEMINFO, meminfo, &nLength) != 0 ||
            nLength <= SK_MEMINFO_DROPS * sizeof(std::uint32_t)) {
            return -1;
        }
        return static_cast<long>(meminfo[SK_MEMINFO_DROPS]);
    }
#endif

    bool ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses) override {
        return system::ListInterfaceAddresses(pAddresses);
    }

    bool HasRoute(in_addr address) override {
        // A datagram socket connects without sending anything; the system refuses it when no
        // route leads to the address.
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
        if (fd < 0) {
            return true;
        }
        ::sockaddr_in dest{};
        dest.sin_family = AF_INET;
        dest.sin_port = htons(9);
        dest.sin_addr.s_addr = address.s_addr;
        const bool bRoute =
            ::connect(fd, reinterpret_cast<const ::sockaddr*>(&dest), sizeof(dest)) == 0 ||
            (errno != ENETUNREACH && errno != EHOSTUNREACH);
        ::close(fd);
        return bRoute;
    }

    std::uint32_t GetTickCount() override {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const auto nMs = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                         static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
        return static_cast<std::uint32_t>(nMs);
    }

private:
    static int Fd(SOCKET s) {
        return static_cast<int>(s);
    }

    int Fail(int nError) {
        m_nLastError = nError;
        return SOCKET_ERROR;
    }

    int m_nLastError = 0;
};

}  // namespace

SocketLayer& SystemSocketLayer() {
    static PosixSocketLayer layer;
    return layer;
}

}  // namespace net
