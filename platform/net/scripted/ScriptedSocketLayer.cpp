#include "ScriptedSocketLayer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace net {

std::uint32_t ParseDotted(const char* pszAddress) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(pszAddress, "%u.%u.%u.%u", &a, &b, &c, &d) != 4 || a > 255 || b > 255 ||
        c > 255 || d > 255) {
        return 0;
    }
    return htonl((a << 24) | (b << 16) | (c << 8) | d);
}

sockaddr_in MakeAddress(const char* pszAddress, std::uint16_t nPort) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(nPort);
    addr.sin_addr.s_addr = ParseDotted(pszAddress);
    return addr;
}

ScriptedSocketLayer::ScriptedSocketLayer(std::uint32_t nStartTick)
    : m_nStartTick(nStartTick), m_nNow(nStartTick) {}

std::string ScriptedSocketLayer::DottedText(const sockaddr_in& addr) {
    char sz[20] = {};
    inet_ntop(AF_INET, &addr.sin_addr, sz, sizeof(sz));
    return sz;
}

void ScriptedSocketLayer::AddInterface(const char* pszAddress, const char* pszNetmask,
                                       const char* pszName, std::uint32_t nFlags) {
    INTERFACE_INFO entry{};
    entry.iiFlags = nFlags;
    entry.iiAddress.AddressIn = MakeAddress(pszAddress, 0);
    entry.iiNetmask.AddressIn = MakeAddress(pszNetmask, 0);
    if ((nFlags & IFF_BROADCAST) != 0) {
        entry.iiBroadcastAddress.AddressIn = MakeAddress(pszAddress, 0);
        entry.iiBroadcastAddress.AddressIn.sin_addr.s_addr |= ~ParseDotted(pszNetmask);
    }
    m_aInterfaces.push_back(entry);
    m_aInterfaceNames.emplace_back(pszName);
}

void ScriptedSocketLayer::AddResponder(const char* pszAddress, const char* pszNetmask,
                                       const std::string& reply, std::uint32_t nDelay) {
    m_aResponders.push_back(
        Responder{ParseDotted(pszAddress), ParseDotted(pszNetmask), reply, nDelay});
}

void ScriptedSocketLayer::Insert(const Arrival& arrival) {
    // After every arrival due at the same tick or earlier.
    auto it = std::upper_bound(m_aArrivals.begin(), m_aArrivals.end(), arrival.nAt,
                               [this](std::uint32_t nAt, const Arrival& a) {
                                   return nAt - m_nStartTick < a.nAt - m_nStartTick;
                               });
    m_aArrivals.insert(it, arrival);
}

void ScriptedSocketLayer::AddDatagram(std::uint32_t nDelay, const char* pszFromAddress,
                                      std::uint16_t nFromPort, const std::string& bytes) {
    Insert(Arrival{m_nStartTick + nDelay, MakeAddress(pszFromAddress, nFromPort), bytes, 0,
                   in_pktinfo{}});
}

void ScriptedSocketLayer::AddDatagramTo(std::uint32_t nDelay, const char* pszFromAddress,
                                        std::uint16_t nFromPort, const std::string& bytes,
                                        const char* pszLocalAddress) {
    in_pktinfo info{};
    info.ipi_addr.s_addr = ParseDotted(pszLocalAddress);
    for (std::size_t i = 0; i < m_aInterfaces.size(); ++i) {
        if (m_aInterfaces[i].iiAddress.AddressIn.sin_addr.s_addr == info.ipi_addr.s_addr) {
            info.ipi_ifindex = static_cast<std::uint32_t>(i + 1);
        }
    }
    Insert(Arrival{m_nStartTick + nDelay, MakeAddress(pszFromAddress, nFromPort), bytes, 0, info});
}

void ScriptedSocketLayer::Respond(const sockaddr_in& to, const std::string& bytes) {
    if (bytes != "*IDN?" || to.sin_port != htons(9959)) {
        return;
    }
    const std::uint32_t nTo = to.sin_addr.s_addr;
    for (const Responder& r : m_aResponders) {
        const bool bReached =
            nTo == r.nAddress ||
            (r.nNetmask != 0 &&
             (nTo == htonl(INADDR_BROADCAST) || nTo == ((r.nAddress & r.nNetmask) | ~r.nNetmask)));
        if (!bReached) {
            continue;
        }
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_port = htons(9959);
        from.sin_addr.s_addr = r.nAddress;
        // It came in on the interface of its network, if the computer has one.
        in_pktinfo info{};
        for (std::size_t i = 0; i < m_aInterfaces.size(); ++i) {
            const std::uint32_t nOwn = m_aInterfaces[i].iiAddress.AddressIn.sin_addr.s_addr;
            const std::uint32_t nMask = m_aInterfaces[i].iiNetmask.AddressIn.sin_addr.s_addr;
            if ((nOwn & nMask) == (r.nAddress & nMask)) {
                info.ipi_addr.s_addr = nOwn;
                info.ipi_ifindex = static_cast<std::uint32_t>(i + 1);
            }
        }
        if (m_nRepliesToDrop > 0) {
            --m_nRepliesToDrop;
            ++m_nDropped;
            continue;
        }
        Insert(Arrival{m_nNow + r.nDelay, from, r.reply, 0, info});
    }
}

void ScriptedSocketLayer::AddReceiveError(std::uint32_t nDelay, int nError) {
    AddDatagram(nDelay, "0.0.0.0", 0, std::string());
    for (Arrival& a : m_aArrivals) {
        if (a.nAt == m_nStartTick + nDelay && a.bytes.empty() && a.nError == 0) {
            a.nError = nError;
            break;
        }
    }
}

void ScriptedSocketLayer::FailSendsTo(const char* pszAddress, int nError) {
    m_aFailingTargets.emplace_back(ParseDotted(pszAddress), nError);
}

int ScriptedSocketLayer::Fail(int nError) {
    m_nLastError = nError;
    return SOCKET_ERROR;
}

bool ScriptedSocketLayer::IsDue(const Arrival& arrival) const {
    return static_cast<std::int32_t>(arrival.nAt - m_nNow) <= 0;
}

int ScriptedSocketLayer::WSAStartup(std::uint16_t, WSADATA* pData) {
    ++m_nStartups;
    if (m_nStartupResult != 0) {
        return m_nStartupResult;
    }
    pData->wVersion = m_wGrantedVersion;
    pData->wHighVersion = m_wGrantedVersion;
    return 0;
}

int ScriptedSocketLayer::WSACleanup() {
    ++m_nCleanups;
    return 0;
}

SOCKET ScriptedSocketLayer::socket(int, int, int) {
    if (m_nSocketError != 0) {
        Fail(m_nSocketError);
        return INVALID_SOCKET;
    }
    ++m_nSocketsCreated;
    return kSocket;
}

int ScriptedSocketLayer::setsockopt(SOCKET, int level, int optname, const char* optval, int) {
    if (level == SOL_SOCKET && optname == SO_BROADCAST && optval != nullptr && optval[0] != 0) {
        m_bBroadcastPermitted = true;
    }
    if (level == IPPROTO_IP && optname == IP_PKTINFO && optval != nullptr && optval[0] != 0) {
        m_bPacketInfo = true;
    }
    return 0;
}

int ScriptedSocketLayer::ioctlsocket(SOCKET, long cmd, unsigned long* argp) {
    if (cmd != FIONBIO || argp == nullptr) {
        return Fail(WSAEINVAL);
    }
    m_bNonBlocking = *argp != 0;
    return 0;
}

int ScriptedSocketLayer::sendto(SOCKET, const char* buf, int len, int, const sockaddr* to, int) {
    if (m_nBlockedSends > 0) {
        --m_nBlockedSends;
        ++m_nWouldBlocks;
        return Fail(WSAEWOULDBLOCK);
    }
    const int nIndex = m_nSends++;
    if (nIndex == m_nFailingSend) {
        return Fail(m_nSendError);
    }
    Sent sent{m_nNow, {}, std::string(buf, static_cast<std::size_t>(len))};
    std::memcpy(&sent.to, to, sizeof(sent.to));
    for (const auto& [nAddress, nError] : m_aFailingTargets) {
        if (nAddress == sent.to.sin_addr.s_addr) {
            return Fail(nError);
        }
    }
    m_aSent.push_back(sent);
    Respond(sent.to, sent.bytes);
    return nIndex == m_nShortSend ? m_nShortSendBytes : len;
}

int ScriptedSocketLayer::recvfrom(SOCKET s, char* buf, int len, int, sockaddr* from, int* fromlen) {
    return RecvFromWithPacketInfo(s, buf, len, from, fromlen, nullptr);
}

int ScriptedSocketLayer::RecvFromWithPacketInfo(SOCKET, char* buf, int len, sockaddr* from,
                                                int* fromlen, in_pktinfo* pInfo) {
    if (m_aArrivals.empty() || !IsDue(m_aArrivals.front())) {
        return Fail(WSAEWOULDBLOCK);
    }
    const Arrival arrival = m_aArrivals.front();
    m_aArrivals.erase(m_aArrivals.begin());
    if (arrival.nError != 0) {
        return Fail(arrival.nError);
    }
    if (pInfo != nullptr) {
        *pInfo = m_bPacketInfo ? arrival.info : in_pktinfo{};
    }
    if (from != nullptr && fromlen != nullptr &&
        *fromlen >= static_cast<int>(sizeof(sockaddr_in))) {
        std::memcpy(from, &arrival.from, sizeof(sockaddr_in));
        *fromlen = sizeof(sockaddr_in);
    }
    const std::size_t nCopy = std::min(arrival.bytes.size(), static_cast<std::size_t>(len));
    std::memcpy(buf, arrival.bytes.data(), nCopy);
    if (arrival.bytes.size() > static_cast<std::size_t>(len)) {
        if (m_bReportTruncatedLength) {
            return static_cast<int>(arrival.bytes.size());
        }
        return Fail(WSAEMSGSIZE);
    }
    return static_cast<int>(nCopy);
}

int ScriptedSocketLayer::WSAIoctl(SOCKET, unsigned long code, void*, unsigned long, void* out,
                                  unsigned long outLen, unsigned long* bytesReturned) {
    if (code != SIO_GET_INTERFACE_LIST || m_bInterfaceListFails) {
        return Fail(WSAEINVAL);
    }
    const std::size_t nBytes = m_aInterfaces.size() * sizeof(INTERFACE_INFO);
    if (nBytes > outLen) {
        return Fail(WSAEFAULT);
    }
    if (nBytes > 0) {
        std::memcpy(out, m_aInterfaces.data(), nBytes);
    }
    *bytesReturned = static_cast<unsigned long>(nBytes);
    return 0;
}

int ScriptedSocketLayer::select(int, fd_set* readfds, fd_set*, fd_set*, const timeval* timeout) {
    if (m_onSelect) {
        m_onSelect(Elapsed());
    }
    const int nCall = m_nSelectCalls++;
    if (nCall == m_nFailingSelect) {
        return Fail(m_nSelectError);
    }
    const std::uint32_t nWait =
        static_cast<std::uint32_t>(timeout->tv_sec * 1000 + timeout->tv_usec / 1000);
    if (!m_aArrivals.empty()) {
        const Arrival& next = m_aArrivals.front();
        if (IsDue(next)) {
            return 1;
        }
        if (next.nAt - m_nNow <= nWait) {
            m_nNow = next.nAt;
            return 1;
        }
    }
    m_nNow += nWait;
    readfds->fd_count = 0;
    return 0;
}

int ScriptedSocketLayer::shutdown(SOCKET, int) {
    ++m_nShutdowns;
    return 0;
}

int ScriptedSocketLayer::closesocket(SOCKET) {
    ++m_nSocketsClosed;
    return 0;
}

void ScriptedSocketLayer::ReleaseSlowNames() {
    std::lock_guard<std::mutex> lock(m_slowMutex);
    m_bSlowReleased = true;
    m_slowReleased.notify_all();
}

bool ScriptedSocketLayer::ResolveIPv4(const char* pszName, std::vector<in_addr>* pAddresses) {
    ++m_nResolveCalls;
    if (std::find(m_aSlowNames.begin(), m_aSlowNames.end(), pszName) != m_aSlowNames.end()) {
        std::unique_lock<std::mutex> lock(m_slowMutex);
        m_slowReleased.wait(lock, [this] { return m_bSlowReleased; });
    }
    pAddresses->clear();
    for (const auto& [name, address] : m_aHosts) {
        if (name == pszName) {
            pAddresses->push_back(in_addr{ParseDotted(address.c_str())});
        }
    }
    return !pAddresses->empty();
}

bool ScriptedSocketLayer::ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses) {
    ++m_nInterfaceListings;
    pAddresses->clear();
    for (std::size_t i = 0; i < m_aInterfaces.size(); ++i) {
        pAddresses->push_back(InterfaceAddress{m_aInterfaces[i].iiAddress.AddressIn.sin_addr,
                                               static_cast<std::uint32_t>(i + 1),
                                               m_aInterfaceNames[i]});
    }
    return true;
}

int ScriptedSocketLayer::EnlargeReceiveBuffer(SOCKET, int nBytes) {
    m_nReceiveBuffer = nBytes;
    return nBytes;
}

long ScriptedSocketLayer::DroppedDatagrams(SOCKET) {
    return m_bDropsUnknown ? -1 : m_nDropped;
}

bool ScriptedSocketLayer::HasRoute(in_addr address) {
    ++m_nHasRouteCalls;
    return std::none_of(m_aUnroutable.begin(), m_aUnroutable.end(), [&](const std::string& a) {
        return ParseDotted(a.c_str()) == address.s_addr;
    });
}

const char* ScriptedSocketLayer::inet_ntoa(in_addr addr) {
    return m_bNtoaFails ? nullptr : SocketLayer::inet_ntoa(addr);
}

}  // namespace net
