// The socket layer on Windows: Windows Sockets 2 itself. The layer's structures have Winsock's
// layout, so addresses and interface entries pass through unchanged.
#include "net/SocketLayer.h"

namespace {
constexpr unsigned long kInterfaceListCode = net::SIO_GET_INTERFACE_LIST;
constexpr net::SOCKET kNetInvalidSocket = net::INVALID_SOCKET;
}  // namespace

// winsock2.h must come before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <cstring>

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
    int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to,
               int tolen) override {
        return ::sendto(static_cast<::SOCKET>(s), buf, len, flags,
                        reinterpret_cast<const ::sockaddr*>(to), tolen);
    }
    int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen) override {
        return ::recvfrom(static_cast<::SOCKET>(s), buf, len, flags,
                          reinterpret_cast<::sockaddr*>(from), fromlen);
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
    int closesocket(SOCKET s) override { return ::closesocket(static_cast<::SOCKET>(s)); }
    int WSAGetLastError() override { return ::WSAGetLastError(); }

    bool ResolveIPv4(const char* pszName, in_addr* pAddress) override {
        ::addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        ::addrinfo* pList = nullptr;
        if (::getaddrinfo(pszName, nullptr, &hints, &pList) != 0 || pList == nullptr) {
            return false;
        }
        // Winsock's s_addr is a macro: copy the four bytes.
        const auto& address = reinterpret_cast<const ::sockaddr_in*>(pList->ai_addr)->sin_addr;
        std::memcpy(pAddress, &address, sizeof(*pAddress));
        ::freeaddrinfo(pList);
        return true;
    }
    std::uint32_t GetTickCount() override { return ::GetTickCount(); }
};

}  // namespace

SocketLayer& SystemSocketLayer() {
    static WinsockSocketLayer layer;
    return layer;
}

}  // namespace net
