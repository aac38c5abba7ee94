#include "net/SocketLayer.h"

#include <cstdio>
#include <cstring>

namespace net {

namespace {
SocketLayer* g_pInstalled = nullptr;

void FormatDotted(std::uint32_t nNetworkOrder, char* pszOut, std::size_t nSize) {
    const auto* p = reinterpret_cast<const unsigned char*>(&nNetworkOrder);
    std::snprintf(pszOut, nSize, "%u.%u.%u.%u", p[0], p[1], p[2], p[3]);
}
}  // namespace

SocketLayer& CurrentSocketLayer() {
    return g_pInstalled ? *g_pInstalled : SystemSocketLayer();
}

SocketLayer* InstallSocketLayer(SocketLayer* pLayer) {
    SocketLayer* pOld = g_pInstalled;
    g_pInstalled = pLayer;
    return pOld;
}

const char* SocketLayer::inet_ntoa(in_addr addr) {
    FormatDotted(addr.s_addr, m_szNtoa, sizeof(m_szNtoa));
    return m_szNtoa;
}

int SocketLayer::RecvFromWithPacketInfo(SOCKET s, char* buf, int len, sockaddr* from, int* fromlen,
                                        in_pktinfo* pInfo) {
    if (pInfo != nullptr) {
        *pInfo = in_pktinfo{};
    }
    return recvfrom(s, buf, len, 0, from, fromlen);
}

std::string SocketLayer::SystemRelease() {
    return std::string();
}

SOCKET SocketLayer::OpenListener(in_addr, std::uint16_t, int) {
    return INVALID_SOCKET;
}

SOCKET SocketLayer::AcceptWaiting(SOCKET) {
    return INVALID_SOCKET;
}

int SocketLayer::recv(SOCKET, char*, int, int) {
    return SOCKET_ERROR;
}

int SocketLayer::send(SOCKET, const char*, int, int) {
    return SOCKET_ERROR;
}

int SocketLayer::EnlargeReceiveBuffer(SOCKET s, int nBytes) {
    return setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&nBytes),
                      sizeof(nBytes)) == 0
               ? nBytes
               : 0;
}

int SocketLayer::ReceiveWaiting(SOCKET s, ReceivedDatagram* pDatagrams, int nCount) {
    int n = 0;
    while (n < nCount) {
        ReceivedDatagram& d = pDatagrams[n];
        d.from = sockaddr_in{};
        int nFromLength = sizeof(d.from);
        d.nLength = RecvFromWithPacketInfo(
            s, d.pBuffer, d.nCapacity, reinterpret_cast<sockaddr*>(&d.from), &nFromLength, &d.info);
        d.nError = 0;
        if (d.nLength != SOCKET_ERROR) {
            ++n;
            continue;
        }
        d.nError = WSAGetLastError();
        if (d.nError == WSAEWOULDBLOCK) {
            break;  // nothing more waits
        }
        ++n;
        if (d.nError != WSAEMSGSIZE) {
            break;
        }
    }
    return n;
}

long SocketLayer::DroppedDatagrams(SOCKET) {
    return -1;
}

bool SocketLayer::ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses) {
    pAddresses->clear();
    return false;
}

bool SocketLayer::HasRoute(in_addr) {
    return true;
}

int WSAFDIsSet(SOCKET s, const fd_set* set) {
    for (unsigned int i = 0; i < set->fd_count && i < WSA_FD_SETSIZE; ++i) {
        if (set->fd_array[i] == s) {
            return 1;
        }
    }
    return 0;
}

const char* inet_ntop(int af, const void* src, char* dst, std::size_t size) {
    if (af != AF_INET || src == nullptr || dst == nullptr || size < 16) {
        return nullptr;
    }
    std::uint32_t nAddress = 0;
    std::memcpy(&nAddress, src, sizeof(nAddress));
    FormatDotted(nAddress, dst, size);
    return dst;
}

}  // namespace net
