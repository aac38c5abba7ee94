#include "LocalNetworks.h"

#include <algorithm>

#include "SearchContext.h"

namespace discovery {

namespace {
// The interface list: room for this many entries first, growing to at most the second.
constexpr std::size_t kInterfaceEntries = 64;
constexpr std::size_t kMostInterfaceEntries = 4096;
}  // namespace

int LocalNetwork::PrefixLength() const {
    int nLength = 0;
    for (std::uint32_t nMask = net::ntohl(nNetmask); (nMask & 0x80000000u) != 0; nMask <<= 1) {
        ++nLength;
    }
    return nLength;
}

void CInterfaceNames::Read() {
    m_byAddress.clear();
    m_byIndex.clear();
    std::vector<net::InterfaceAddress> addresses;
    net::ListInterfaceAddresses(&addresses);
    for (const net::InterfaceAddress& entry : addresses) {
        m_byAddress.emplace(entry.address.s_addr, entry.name);
        if (entry.nIndex != 0) {
            m_byIndex.emplace(entry.nIndex, entry.name);
        }
    }
}

std::string CInterfaceNames::NameOfAddress(std::uint32_t nAddress) const {
    const auto it = m_byAddress.find(nAddress);
    return it != m_byAddress.end() ? it->second : std::string();
}

std::string CInterfaceNames::NameOfIndex(std::uint32_t nIndex) const {
    const auto it = m_byIndex.find(nIndex);
    return it != m_byIndex.end() ? it->second : std::string();
}

std::string LocalNetwork::Describe() const {
    const std::string address = DottedText(nAddress) + "/" + std::to_string(PrefixLength());
    return name.empty() ? address : name + " " + address;
}

std::size_t ReadInterfaceList(net::SOCKET s, std::vector<net::INTERFACE_INFO>* pEntries,
                              CSearchContext& context) {
    for (std::size_t nRoom = kInterfaceEntries; nRoom <= kMostInterfaceEntries; nRoom *= 4) {
        pEntries->assign(nRoom, net::INTERFACE_INFO{});
        unsigned long nBytes = 0;
        const unsigned long nBufferBytes =
            static_cast<unsigned long>(nRoom * sizeof(net::INTERFACE_INFO));
        if (net::WSAIoctl(s, net::SIO_GET_INTERFACE_LIST, nullptr, 0, pEntries->data(),
                          nBufferBytes, &nBytes, nullptr, nullptr) != net::SOCKET_ERROR) {
            pEntries->resize(std::min<std::size_t>(nBytes, nBufferBytes) /
                             sizeof(net::INTERFACE_INFO));
            return pEntries->size();
        }
        const int nError = net::WSAGetLastError();
        if (nError != net::WSAEFAULT) {
            break;
        }
        if (nRoom * 4 > kMostInterfaceEntries) {
            context.Warn(context.Say(texts::WarningInterfaceListTooLong), nError);
        }
    }
    pEntries->clear();
    return 0;
}

std::vector<LocalNetwork> LocalNetworks(const std::vector<net::INTERFACE_INFO>& entries,
                                        const CInterfaceNames& names) {
    std::vector<LocalNetwork> networks;
    for (const net::INTERFACE_INFO& entry : entries) {
        if (entry.iiAddress.AddressIn.sin_family != net::AF_INET) {
            continue;
        }
        LocalNetwork network;
        network.nAddress = entry.iiAddress.AddressIn.sin_addr.s_addr;
        network.nNetmask = entry.iiNetmask.AddressIn.sin_addr.s_addr;
        const bool bLoopback = reinterpret_cast<const unsigned char*>(&network.nAddress)[0] == 127;
        if (bLoopback && entries.size() != 1) {
            continue;
        }
        if (bLoopback) {
            // Loopback as the computer's only interface (a computer without network): its
            // devices are on this computer.
            network.bQueried = true;
        } else {
            const std::uint32_t nFlags = entry.iiFlags;
            network.bQueried = (nFlags & net::IFF_UP) != 0 && (nFlags & net::IFF_BROADCAST) != 0 &&
                               (nFlags & net::IFF_POINTTOPOINT) == 0 &&
                               network.PrefixLength() <= 30;
        }
        network.name = names.NameOfAddress(network.nAddress);
        networks.push_back(network);
    }
    return networks;
}

std::vector<std::uint32_t> BroadcastTargets(const std::vector<LocalNetwork>& networks,
                                            std::vector<const LocalNetwork*>* pOwners) {
    std::vector<std::uint32_t> targets{net::htonl(net::INADDR_BROADCAST)};
    pOwners->assign(1, nullptr);
    for (const LocalNetwork& network : networks) {
        const std::uint32_t nTarget = network.Broadcast();
        if (network.bQueried &&
            std::find(targets.begin(), targets.end(), nTarget) == targets.end()) {
            targets.push_back(nTarget);
            pOwners->push_back(&network);
        }
    }
    return targets;
}

bool LooksLikeVirtualNat(const std::string& systemRelease,
                         const std::vector<LocalNetwork>& networks) {
    std::string release = systemRelease;
    for (char& c : release) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (release.find("microsoft") != std::string::npos) {
        return true;
    }
    bool bAny = false;
    for (const LocalNetwork& network : networks) {
        if (!network.bQueried || network.nAddress == net::htonl(0x7F000001u)) {
            continue;
        }
        if (network.nAddress != net::htonl(0x0A00020Fu) ||
            network.nNetmask != net::htonl(0xFFFFFF00u)) {
            return false;
        }
        bAny = true;
    }
    return bAny;
}

}  // namespace discovery
