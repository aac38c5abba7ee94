// The socket layer on Windows: Windows Sockets 2 itself. The layer's structures have Winsock's
// layout, so addresses and interface entries pass through unchanged.
#include "net/SocketLayer.h"

namespace {
constexpr unsigned long kInterfaceListCode = net::SIO_GET_INTERFACE_LIST;
constexpr net::SOCKET kNetInvalidSocket = net::INVALID_SOCKET;
}  // namespace

#include "Interfaces.h"
#include "SystemNames.h"
#include "win32/WindowsApi.h"

#include <iphlpapi.h>
#include <mswsock.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace net {

namespace {

static_assert(sizeof(::sockaddr_in) == sizeof(net::sockaddr_in));
static_assert(sizeof(::INTERFACE_INFO) == sizeof(net::INTERFACE_INFO));

class WinsockSocketLayer final : public SocketLayer {
public:
    int WSAStartup(std::uint16_t wVersionRequested, WSADATA* pData) override {
        ::WSADATA data{};
        const int nResult = ::WSAStartup(wVersionRequested, &data);
        if (pData != nullptr) {
            pData->wVersion = data.wVersion;
            pData->wHighVersion = data.wHighVersion;
        }
        return nResult;
    }
    int WSACleanup() override { return ::WSACleanup(); }
    SOCKET socket(int af, int type, int protocol) override {
        const ::SOCKET s = ::socket(af, type, protocol);
        return s == ~static_cast<::SOCKET>(0) ? kNetInvalidSocket : static_cast<SOCKET>(s);
    }
    int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen) override {
        return ::setsockopt(static_cast<::SOCKET>(s), level, optname, optval, optlen);
    }
    int ioctlsocket(SOCKET s, long cmd, unsigned long* argp) override {
        u_long nValue = argp != nullptr ? *argp : 0;
        return ::ioctlsocket(static_cast<::SOCKET>(s), cmd, &nValue);
    }
    int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to,
               int tolen) override {
        return ::sendto(static_cast<::SOCKET>(s), buf, len, flags,
                        reinterpret_cast<const ::sockaddr*>(to), tolen);
    }
    int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen) override {
        return ::recvfrom(static_cast<::SOCKET>(s), buf, len, flags,
                          reinterpret_cast<::sockaddr*>(from), fromlen);
    }
    int RecvFromWithPacketInfo(SOCKET s, char* buf, int len, sockaddr* from, int* fromlen,
                               in_pktinfo* pInfo) override {
        if (pInfo != nullptr) {
            *pInfo = in_pktinfo{};
        }
        LPFN_WSARECVMSG pRecvMsg = RecvMsgFunction(s);
        if (pRecvMsg == nullptr || pInfo == nullptr) {
            return recvfrom(s, buf, len, 0, from, fromlen);
        }
        WSABUF data{static_cast<ULONG>(len), buf};
        char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO)) + 64] = {};
        WSAMSG msg{};
        msg.name = reinterpret_cast<LPSOCKADDR>(from);
        msg.namelen = fromlen != nullptr ? *fromlen : 0;
        msg.lpBuffers = &data;
        msg.dwBufferCount = 1;
        msg.Control.buf = control;
        msg.Control.len = sizeof(control);
        DWORD nReceived = 0;
        if (pRecvMsg(static_cast<::SOCKET>(s), &msg, &nReceived, nullptr, nullptr) != 0) {
            return SOCKET_ERROR;
        }
        if (fromlen != nullptr) {
            *fromlen = msg.namelen;
        }
        for (WSACMSGHDR* p = WSA_CMSG_FIRSTHDR(&msg); p != nullptr; p = WSA_CMSG_NXTHDR(&msg, p)) {
            if (p->cmsg_level == IPPROTO_IP && p->cmsg_type == IP_PKTINFO) {
                IN_PKTINFO info{};
                std::memcpy(&info, WSA_CMSG_DATA(p), sizeof(info));
                std::memcpy(&pInfo->ipi_addr, &info.ipi_addr, sizeof(pInfo->ipi_addr));
                pInfo->ipi_ifindex = info.ipi_ifindex;
            }
        }
        if ((msg.dwFlags & MSG_TRUNC) != 0) {
            ::WSASetLastError(WSAEMSGSIZE);
            return SOCKET_ERROR;
        }
        return static_cast<int>(nReceived);
    }
    int WSAIoctl(SOCKET s, unsigned long code, void* in, unsigned long inLen, void* out,
                 unsigned long outLen, unsigned long* bytesReturned) override {
        DWORD nBytes = 0;
        const int nResult =
            ::WSAIoctl(static_cast<::SOCKET>(s), code == kInterfaceListCode ? code : 0, in, inLen,
                       out, outLen, &nBytes, nullptr, nullptr);
        if (bytesReturned != nullptr) {
            *bytesReturned = nBytes;
        }
        return nResult;
    }
    int select(int nfds, fd_set* readfds, fd_set* writefds, fd_set* exceptfds,
               const timeval* timeout) override {
        ::fd_set read{};
        read.fd_count = 0;
        for (unsigned int i = 0; readfds != nullptr && i < readfds->fd_count && i < WSA_FD_SETSIZE;
             ++i) {
            read.fd_array[read.fd_count++] = static_cast<::SOCKET>(readfds->fd_array[i]);
        }
        (void)writefds;
        (void)exceptfds;
        ::timeval wait{};
        if (timeout != nullptr) {
            wait.tv_sec = timeout->tv_sec;
            wait.tv_usec = timeout->tv_usec;
        }
        const int nResult =
            ::select(nfds, readfds ? &read : nullptr, nullptr, nullptr, timeout ? &wait : nullptr);
        if (readfds != nullptr && nResult != SOCKET_ERROR) {
            readfds->fd_count = 0;
            for (unsigned int i = 0; i < read.fd_count; ++i) {
                readfds->fd_array[readfds->fd_count++] = static_cast<SOCKET>(read.fd_array[i]);
            }
        }
        return nResult;
    }
    int shutdown(SOCKET s, int how) override { return ::shutdown(static_cast<::SOCKET>(s), how); }
    SOCKET OpenListener(in_addr address, std::uint16_t nPort, int nBacklog) override {
        const ::SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET) {
            return kNetInvalidSocket;
        }
        // No other program may take the port while this one listens (SO_REUSEADDR on Windows
        // would let it).
        const BOOL bOn = TRUE;
        ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&bOn),
                     sizeof(bOn));
        ::sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = nPort;
        static_assert(sizeof(at.sin_addr) == sizeof(address));
        std::memcpy(&at.sin_addr, &address, sizeof(address));
        u_long nNonBlocking = 1;
        if (::bind(s, reinterpret_cast<const ::sockaddr*>(&at), sizeof(at)) != 0 ||
            ::listen(s, nBacklog) != 0 || ::ioctlsocket(s, FIONBIO, &nNonBlocking) != 0) {
            const int nError = ::WSAGetLastError();
            ::closesocket(s);
            ::WSASetLastError(nError);
            return kNetInvalidSocket;
        }
        return static_cast<SOCKET>(s);
    }
    SOCKET AcceptWaiting(SOCKET listener) override {
        const ::SOCKET s = ::accept(static_cast<::SOCKET>(listener), nullptr, nullptr);
        if (s == INVALID_SOCKET) {
            return kNetInvalidSocket;
        }
        u_long nNonBlocking = 1;
        ::ioctlsocket(s, FIONBIO, &nNonBlocking);
        return static_cast<SOCKET>(s);
    }
    int recv(SOCKET s, char* buf, int len, int flags) override {
        return ::recv(static_cast<::SOCKET>(s), buf, len, flags);
    }
    int send(SOCKET s, const char* buf, int len, int flags) override {
        return ::send(static_cast<::SOCKET>(s), buf, len, flags);
    }
    int closesocket(SOCKET s) override { return ::closesocket(static_cast<::SOCKET>(s)); }
    int WSAGetLastError() override { return ::WSAGetLastError(); }

    bool ResolveIPv4(const char* pszName, std::vector<in_addr>* pAddresses) override {
        return system::ResolveIPv4(pszName, pAddresses);
    }
    bool ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses) override {
        return system::ListInterfaceAddresses(pAddresses);
    }
    bool HasRoute(in_addr address) override {
        DWORD nInterface = 0;
        IPAddr destination{};
        std::memcpy(&destination, &address, sizeof(destination));
        return ::GetBestInterface(destination, &nInterface) == NO_ERROR;
    }
    std::uint32_t GetTickCount() override { return ::GetTickCount(); }

private:
    /// WSARecvMsg, which Winsock hands out through an ioctl of a socket (the same function for
    /// every UDP socket: asked once); null without it.
    LPFN_WSARECVMSG RecvMsgFunction(SOCKET s) {
        if (!m_bRecvMsgAsked) {
            GUID guid = WSAID_WSARECVMSG;
            DWORD nBytes = 0;
            if (::WSAIoctl(static_cast<::SOCKET>(s), SIO_GET_EXTENSION_FUNCTION_POINTER, &guid,
                           sizeof(guid), &m_pRecvMsg, sizeof(m_pRecvMsg), &nBytes, nullptr,
                           nullptr) != 0) {
                return nullptr;  // asked again with the next socket
            }
            m_bRecvMsgAsked = true;
        }
        return m_pRecvMsg;
    }

    LPFN_WSARECVMSG m_pRecvMsg = nullptr;
    bool m_bRecvMsgAsked = false;
};

}  // namespace

SocketLayer& SystemSocketLayer() {
    static WinsockSocketLayer layer;
    return layer;
}

}  // namespace net
