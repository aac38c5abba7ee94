// The socket layer: the Windows Sockets 2 calls that the device search uses, with their results,
// structures and error codes, on every platform.
//
// The search calls the free functions of namespace net, which forward to the installed
// net::SocketLayer. The system layer (POSIX or Winsock, chosen at build time) is installed by
// default; tests install a scripted one. The structures have Winsock's layout on every platform
// (a socket address is family, port, address, eight zero bytes), so records that hold them are the
// same everywhere; the layer converts at the system boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace net {

using SOCKET = std::uintptr_t;
constexpr SOCKET INVALID_SOCKET = ~static_cast<SOCKET>(0);
constexpr int SOCKET_ERROR = -1;

constexpr std::uint16_t AF_INET = 2;
constexpr int SOCK_DGRAM = 2;
constexpr int SOCK_STREAM = 1;
constexpr int IPPROTO_IP = 0;
constexpr int IPPROTO_UDP = 17;
constexpr int SOL_SOCKET = 0xFFFF;
constexpr int SO_BROADCAST = 0x0020;
constexpr int SO_RCVBUF = 0x1002;
constexpr int IP_PKTINFO = 19;
constexpr long FIONBIO = static_cast<long>(0x8004667Eu);
constexpr int SD_BOTH = 2;
constexpr std::uint32_t INADDR_BROADCAST = 0xFFFFFFFFu;
constexpr unsigned long SIO_GET_INTERFACE_LIST = 0x4004747F;

constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAEAFNOSUPPORT = 10047;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAEADDRNOTAVAIL = 10049;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSASYSNOTREADY = 10091;
constexpr int WSAVERNOTSUPPORTED = 10092;

struct in_addr {
    std::uint32_t s_addr;  // network byte order
};

/// IPv4 socket address, 16 bytes: family, port and address in network byte order, zero padding.
struct sockaddr_in {
    std::uint16_t sin_family;
    std::uint16_t sin_port;
    in_addr sin_addr;
    char sin_zero[8];
};
static_assert(sizeof(sockaddr_in) == 16);

/// IPv6 socket address, 28 bytes.
struct sockaddr_in6 {
    std::uint16_t sin6_family;
    std::uint16_t sin6_port;
    std::uint32_t sin6_flowinfo;
    std::uint8_t sin6_addr[16];
    std::uint32_t sin6_scope_id;
};
static_assert(sizeof(sockaddr_in6) == 28);

/// Generic socket address as the calls take it.
struct sockaddr {
    std::uint16_t sa_family;
    char sa_data[14];
};

/// An address slot of an interface entry (24 bytes, as Winsock's sockaddr_gen).
union sockaddr_gen {
    sockaddr Address;
    sockaddr_in AddressIn;
    char AddressIn6Old[24];
};
static_assert(sizeof(sockaddr_gen) == 24);

/// One entry of the interface list (76 bytes).
struct INTERFACE_INFO {
    std::uint32_t iiFlags;
    sockaddr_gen iiAddress;
    sockaddr_gen iiBroadcastAddress;
    sockaddr_gen iiNetmask;
};
static_assert(sizeof(INTERFACE_INFO) == 76);

constexpr std::uint32_t IFF_UP = 0x01;
constexpr std::uint32_t IFF_BROADCAST = 0x02;
constexpr std::uint32_t IFF_LOOPBACK = 0x04;
constexpr std::uint32_t IFF_POINTTOPOINT = 0x08;

/// Where a datagram came in (Winsock's IN_PKTINFO): the address it was sent to, and the index of
/// the interface that received it.
struct in_pktinfo {
    in_addr ipi_addr;
    std::uint32_t ipi_ifindex;
};

/// One datagram of SocketLayer::ReceiveWaiting.
struct ReceivedDatagram {
    char* pBuffer;  ///< where its bytes go (the caller's)
    int nCapacity;  ///< the room there
    int nLength;    ///< the bytes received; SOCKET_ERROR when nError says why not
    int nError;     ///< 0, or the code of the receive that failed
    sockaddr_in from;
    in_pktinfo info;  ///< where it came in; all zero when the system does not say
};

/// One IPv4 address of an interface of the computer.
struct InterfaceAddress {
    in_addr address;
    std::uint32_t nIndex;  ///< the interface's index, as in_pktinfo gives it; 0: not known
    std::string name;      ///< "eth0"; on Windows the adapter's name, in the program's 8-bit text
};

struct timeval {
    long tv_sec;
    long tv_usec;
};

constexpr int WSA_FD_SETSIZE = 64;
/// A set of sockets for select, as Winsock's: a count and an array.
struct fd_set {
    unsigned int fd_count;
    SOCKET fd_array[WSA_FD_SETSIZE];
};

struct WSADATA {
    std::uint16_t wVersion;
    std::uint16_t wHighVersion;
};

constexpr std::uint16_t MAKEWORD(unsigned lo, unsigned hi) {
    return static_cast<std::uint16_t>((lo & 0xFF) | ((hi & 0xFF) << 8));
}

constexpr std::uint32_t htonl(std::uint32_t v) {
    return ((v & 0xFFu) << 24) | ((v & 0xFF00u) << 8) | ((v >> 8) & 0xFF00u) | (v >> 24);
}
constexpr std::uint16_t htons(std::uint16_t v) {
    return static_cast<std::uint16_t>(((v & 0xFFu) << 8) | (v >> 8));
}
constexpr std::uint32_t ntohl(std::uint32_t v) {
    return htonl(v);
}
constexpr std::uint16_t ntohs(std::uint16_t v) {
    return htons(v);
}

/// The operations of a socket layer. Each returns what the Winsock call of the same name returns
/// and, on failure, leaves the error code for WSAGetLastError.
class SocketLayer {
public:
    virtual ~SocketLayer() = default;
    virtual int WSAStartup(std::uint16_t wVersionRequested, WSADATA* pData) = 0;
    virtual int WSACleanup() = 0;
    virtual SOCKET socket(int af, int type, int protocol) = 0;
    /// SOL_SOCKET SO_BROADCAST, and IPPROTO_IP IP_PKTINFO (which RecvFromWithPacketInfo needs).
    virtual int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen) = 0;
    /// Only FIONBIO: a non-zero *argp makes the socket non-blocking, so that a send that cannot go
    /// out at once fails with WSAEWOULDBLOCK (or WSAENOBUFS) instead of waiting.
    virtual int ioctlsocket(SOCKET s, long cmd, unsigned long* argp) = 0;
    virtual int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to,
                       int tolen) = 0;
    virtual int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen) = 0;
    /// recvfrom that also tells where the datagram came in (IP_PKTINFO enabled; WSARecvMsg on
    /// Windows). *pInfo is all zero when the system does not say.
    virtual int RecvFromWithPacketInfo(SOCKET s, char* buf, int len, sockaddr* from, int* fromlen,
                                       in_pktinfo* pInfo);
    /// Only SIO_GET_INTERFACE_LIST: fills the output buffer with INTERFACE_INFO entries of the
    /// interfaces that are up, in the system's order, and the bytes written.
    virtual int WSAIoctl(SOCKET s, unsigned long code, void* in, unsigned long inLen, void* out,
                         unsigned long outLen, unsigned long* bytesReturned) = 0;
    virtual int select(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds,
                       const timeval* timeout) = 0;
    virtual int shutdown(SOCKET s, int how) = 0;
    virtual int closesocket(SOCKET s) = 0;
    virtual int WSAGetLastError() = 0;
    /// Milliseconds since an arbitrary start, 32 bits, wrapping.
    virtual std::uint32_t GetTickCount() = 0;
    /// Every IPv4 address of a host name (getaddrinfo, IPv4 only), in network byte order, each
    /// once; false when the name does not resolve. May block for seconds, and is called from
    /// several threads at once (one per name).
    virtual bool ResolveIPv4(const char* pszName, std::vector<in_addr>* pAddresses) = 0;
    /// SOL_SOCKET SO_RCVBUF made as large as the system grants: asks for nBytes, past the
    /// system's cap where the program may (Linux: SO_RCVBUFFORCE with CAP_NET_ADMIN). Returns the
    /// size the socket has then, 0 when it cannot be read.
    virtual int EnlargeReceiveBuffer(SOCKET s, int nBytes);
    /// Takes in the datagrams that wait, without waiting for one: up to nCount at once (recvmmsg
    /// on Linux; elsewhere one receive after the other). The socket must not block. Returns the
    /// entries it filled, 0 when nothing waits. An entry may hold a failed receive (its nError;
    /// WSAEMSGSIZE for a datagram longer than its buffer, its nLength then the bytes that fit or,
    /// on a layer that says so, the whole length); any failure but WSAEMSGSIZE ends the batch.
    virtual int ReceiveWaiting(SOCKET s, ReceivedDatagram* pDatagrams, int nCount);
    /// The datagrams the system dropped for the socket since it was made, because its receive
    /// buffer was full; -1 when the system does not tell (Windows).
    virtual long DroppedDatagrams(SOCKET s);
    /// Every IPv4 address of the computer's interfaces that are up, with the index and name of
    /// its interface, from one query of the system. False when they cannot be listed.
    virtual bool ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses);
    /// Whether the system has a route to the address, so that a connection to it can be made.
    virtual bool HasRoute(in_addr address);
    /// Dotted-decimal text of the address in a buffer of the layer's; null on failure.
    virtual const char* inet_ntoa(in_addr addr);

    /// The release of the system's kernel as uname tells it ("6.1.0-28-amd64",
    /// "5.15.153.1-microsoft-standard-WSL2"); "" where there is none to tell (Windows).
    virtual std::string SystemRelease();

    /// A TCP socket that listens on the address and port (network byte order) and does not
    /// block. Where the system lets a new program take the port of one that just ended (POSIX),
    /// it may; never a port another program listens on. INVALID_SOCKET on failure (a layer
    /// without TCP: WSAEAFNOSUPPORT).
    virtual SOCKET OpenListener(in_addr address, std::uint16_t nPort, int nBacklog);
    /// A connection that waits on the listener, made not to block; INVALID_SOCKET when none
    /// waits (WSAEWOULDBLOCK) or on failure.
    virtual SOCKET AcceptWaiting(SOCKET listener);
    /// recv and send of a connection; a send never raises a signal for a connection the peer
    /// closed, it fails.
    virtual int recv(SOCKET s, char* buf, int len, int flags);
    virtual int send(SOCKET s, const char* buf, int len, int flags);

private:
    char m_szNtoa[16] = {};
};

/// The system's socket layer (POSIX or Winsock).
SocketLayer& SystemSocketLayer();
/// The layer the calls below go to; the system layer unless one was installed.
SocketLayer& CurrentSocketLayer();
/// Installs a layer (null: the system layer again); returns the previous one.
SocketLayer* InstallSocketLayer(SocketLayer* pLayer);

inline int WSAStartup(std::uint16_t v, WSADATA* d) {
    return CurrentSocketLayer().WSAStartup(v, d);
}
inline int WSACleanup() {
    return CurrentSocketLayer().WSACleanup();
}
inline SOCKET socket(int af, int type, int protocol) {
    return CurrentSocketLayer().socket(af, type, protocol);
}
inline int setsockopt(SOCKET s, int level, int name, const char* val, int len) {
    return CurrentSocketLayer().setsockopt(s, level, name, val, len);
}
inline int ioctlsocket(SOCKET s, long cmd, unsigned long* argp) {
    return CurrentSocketLayer().ioctlsocket(s, cmd, argp);
}
inline int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to, int tolen) {
    return CurrentSocketLayer().sendto(s, buf, len, flags, to, tolen);
}
inline int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen) {
    return CurrentSocketLayer().recvfrom(s, buf, len, flags, from, fromlen);
}
inline int WSAIoctl(SOCKET s, unsigned long code, void* in, unsigned long inLen, void* out,
                    unsigned long outLen, unsigned long* bytesReturned, void* /*overlapped*/,
                    void* /*completion*/) {
    return CurrentSocketLayer().WSAIoctl(s, code, in, inLen, out, outLen, bytesReturned);
}
inline int select(int nfds, fd_set* r, fd_set* w, fd_set* e, const timeval* t) {
    return CurrentSocketLayer().select(nfds, r, w, e, t);
}
inline int shutdown(SOCKET s, int how) {
    return CurrentSocketLayer().shutdown(s, how);
}
inline int closesocket(SOCKET s) {
    return CurrentSocketLayer().closesocket(s);
}
inline int WSAGetLastError() {
    return CurrentSocketLayer().WSAGetLastError();
}
inline std::uint32_t GetTickCount() {
    return CurrentSocketLayer().GetTickCount();
}
inline int RecvFromWithPacketInfo(SOCKET s, char* buf, int len, sockaddr* from, int* fromlen,
                                  in_pktinfo* pInfo) {
    return CurrentSocketLayer().RecvFromWithPacketInfo(s, buf, len, from, fromlen, pInfo);
}
inline int EnlargeReceiveBuffer(SOCKET s, int nBytes) {
    return CurrentSocketLayer().EnlargeReceiveBuffer(s, nBytes);
}
inline int ReceiveWaiting(SOCKET s, ReceivedDatagram* pDatagrams, int nCount) {
    return CurrentSocketLayer().ReceiveWaiting(s, pDatagrams, nCount);
}
inline long DroppedDatagrams(SOCKET s) {
    return CurrentSocketLayer().DroppedDatagrams(s);
}
inline bool ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses) {
    return CurrentSocketLayer().ListInterfaceAddresses(pAddresses);
}
inline bool HasRoute(in_addr address) {
    return CurrentSocketLayer().HasRoute(address);
}
inline std::string SystemRelease() {
    return CurrentSocketLayer().SystemRelease();
}
inline SOCKET OpenListener(in_addr address, std::uint16_t nPort, int nBacklog) {
    return CurrentSocketLayer().OpenListener(address, nPort, nBacklog);
}
inline SOCKET AcceptWaiting(SOCKET listener) {
    return CurrentSocketLayer().AcceptWaiting(listener);
}
inline int recv(SOCKET s, char* buf, int len, int flags) {
    return CurrentSocketLayer().recv(s, buf, len, flags);
}
inline int send(SOCKET s, const char* buf, int len, int flags) {
    return CurrentSocketLayer().send(s, buf, len, flags);
}

inline void FD_ZERO_SET(fd_set* set) {
    set->fd_count = 0;
}
inline void FD_ADD(SOCKET s, fd_set* set) {
    if (set->fd_count < WSA_FD_SETSIZE) {
        set->fd_array[set->fd_count++] = s;
    }
}
/// Whether the socket is in the set (after select: whether it is ready).
int WSAFDIsSet(SOCKET s, const fd_set* set);

inline const char* inet_ntoa(in_addr addr) {
    return CurrentSocketLayer().inet_ntoa(addr);
}
/// Text of an AF_INET address into the buffer; null on failure (unknown family, small buffer).
const char* inet_ntop(int af, const void* src, char* dst, std::size_t size);

}  // namespace net
