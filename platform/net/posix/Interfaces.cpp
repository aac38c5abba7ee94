// The layer's header first, for the reason SystemSocketLayer.cpp gives.
#include "Interfaces.h"

namespace {
constexpr std::uint16_t kNetInet = net::AF_INET;
constexpr std::uint32_t kNetIfUp = net::IFF_UP;
constexpr std::uint32_t kNetIfBroadcast = net::IFF_BROADCAST;
constexpr std::uint32_t kNetIfLoopback = net::IFF_LOOPBACK;
}  // namespace

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace net::system {

namespace {

sockaddr_gen GenFromSystem(const ::sockaddr* pAddr) {
    sockaddr_gen out{};
    if (pAddr != nullptr && pAddr->sa_family == AF_INET) {
        out.AddressIn.sin_family = kNetInet;
        out.AddressIn.sin_addr.s_addr =
            reinterpret_cast<const ::sockaddr_in*>(pAddr)->sin_addr.s_addr;
    }
    return out;
}

bool IsUpIPv4(const ifaddrs& entry) {
    return entry.ifa_addr != nullptr && entry.ifa_addr->sa_family == AF_INET &&
           (entry.ifa_flags & ::IFF_UP) != 0;
}

/// The names of the interfaces to broadcast out of: those that can broadcast, or loopback.
std::vector<std::string> BroadcastingInterfaces() {
    std::vector<std::string> broadcasting;
    std::vector<std::string> loopback;
    ifaddrs* pList = nullptr;
    if (::getifaddrs(&pList) != 0) {
        return broadcasting;
    }
    for (const ifaddrs* p = pList; p != nullptr; p = p->ifa_next) {
        if (!IsUpIPv4(*p) || (p->ifa_flags & (::IFF_LOOPBACK | ::IFF_BROADCAST)) == 0) {
            continue;
        }
        std::vector<std::string>& names =
            (p->ifa_flags & ::IFF_LOOPBACK) != 0 ? loopback : broadcasting;
        if (std::find(names.begin(), names.end(), p->ifa_name) == names.end()) {
            names.emplace_back(p->ifa_name);
        }
    }
    ::freeifaddrs(pList);
    return broadcasting.empty() ? loopback : broadcasting;
}

}  // namespace

bool ListInterfaces(std::vector<INTERFACE_INFO>* pEntries) {
    ifaddrs* pList = nullptr;
    if (::getifaddrs(&pList) != 0) {
        return false;
    }
    for (const ifaddrs* p = pList; p != nullptr; p = p->ifa_next) {
        if (!IsUpIPv4(*p)) {
            continue;
        }
        INTERFACE_INFO entry{};
        entry.iiFlags = kNetIfUp;
        if ((p->ifa_flags & ::IFF_BROADCAST) != 0) {
            entry.iiFlags |= kNetIfBroadcast;
            entry.iiBroadcastAddress = GenFromSystem(p->ifa_broadaddr);
        }
        if ((p->ifa_flags & ::IFF_LOOPBACK) != 0) {
            entry.iiFlags |= kNetIfLoopback;
        }
        entry.iiAddress = GenFromSystem(p->ifa_addr);
        entry.iiNetmask = GenFromSystem(p->ifa_netmask);
        pEntries->push_back(entry);
    }
    ::freeifaddrs(pList);
    return true;
}

bool SendOutOfEveryInterface(int fd, const char* pData, std::size_t nLength,
                             std::uint16_t nPortNetworkOrder) {
    bool bAnySent = false;
#if defined(IP_PKTINFO)
    ::sockaddr_in dest{};
    dest.sin_family = AF_INET;
    dest.sin_port = nPortNetworkOrder;
    dest.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    for (const std::string& name : BroadcastingInterfaces()) {
        const unsigned int nIndex = ::if_nametoindex(name.c_str());
        if (nIndex == 0) {
            continue;
        }
        iovec iov{const_cast<char*>(pData), nLength};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(::in_pktinfo))] = {};
        msghdr msg{};
        msg.msg_name = &dest;
        msg.msg_namelen = sizeof(dest);
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof(control);
        cmsghdr* pHeader = CMSG_FIRSTHDR(&msg);
        pHeader->cmsg_level = IPPROTO_IP;
        pHeader->cmsg_type = IP_PKTINFO;
        pHeader->cmsg_len = CMSG_LEN(sizeof(::in_pktinfo));
        ::in_pktinfo info{};
        info.ipi_ifindex = static_cast<int>(nIndex);
        std::memcpy(CMSG_DATA(pHeader), &info, sizeof(info));
        if (::sendmsg(fd, &msg, MSG_NOSIGNAL) == static_cast<ssize_t>(nLength)) {
            bAnySent = true;
        }
    }
#else
    (void)fd;
    (void)pData;
    (void)nLength;
    (void)nPortNetworkOrder;
#endif
    return bAnySent;
}

bool ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses) {
    pAddresses->clear();
    ifaddrs* pList = nullptr;
    if (::getifaddrs(&pList) != 0) {
        return false;
    }
    // One index lookup per interface, however many addresses it has.
    std::map<std::string, std::uint32_t> indexes;
    for (const ifaddrs* p = pList; p != nullptr; p = p->ifa_next) {
        if (!IsUpIPv4(*p)) {
            continue;
        }
        auto it = indexes.find(p->ifa_name);
        if (it == indexes.end()) {
            it = indexes.emplace(p->ifa_name, ::if_nametoindex(p->ifa_name)).first;
        }
        InterfaceAddress entry{};
        entry.address.s_addr = reinterpret_cast<const ::sockaddr_in*>(p->ifa_addr)->sin_addr.s_addr;
        entry.nIndex = it->second;
        entry.name = p->ifa_name;
        pAddresses->push_back(entry);
    }
    ::freeifaddrs(pList);
    return true;
}

}  // namespace net::system
