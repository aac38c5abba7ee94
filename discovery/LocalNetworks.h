// The computer's own IPv4 networks, as the search queries them: the interface list, the networks
// that can broadcast, and the broadcast addresses.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "DeviceTable.h"
#include "net/SocketLayer.h"

namespace discovery {

class CSearchContext;

/// One IPv4 address of an interface that is up. Addresses in network byte order.
struct LocalNetwork {
    std::uint32_t nAddress = 0;
    std::uint32_t nNetmask = 0;
    std::string name;  ///< the interface's name; empty when the system does not say
    /// Whether the query goes to its directed broadcast: the interface can broadcast, is no
    /// point-to-point link (a VPN tunnel) and has a network of more than two addresses; or it is
    /// the computer's only interface (loopback then).
    bool bQueried = false;

    std::uint32_t Broadcast() const { return nAddress | ~nNetmask; }
    int PrefixLength() const;
    /// Whether the address (network byte order) lies in this network.
    bool Contains(std::uint32_t nOther) const {
        return (nOther & nNetmask) == (nAddress & nNetmask);
    }
    /// "fnd0 10.77.0.1/24", or the address alone without a name.
    std::string Describe() const;
};

/// The names of the computer's interfaces by address and by index, from one query of the system
/// per search (however many addresses the computer has).
class CInterfaceNames {
public:
    /// Reads them (nothing known when the system cannot list them).
    void Read();
    /// The name of the interface with the address (network byte order); empty when not known.
    std::string NameOfAddress(std::uint32_t nAddress) const;
    /// The name of the interface with the index; empty for 0 or an unknown index.
    std::string NameOfIndex(std::uint32_t nIndex) const;

private:
    std::unordered_map<std::uint32_t, std::string> m_byAddress;
    std::unordered_map<std::uint32_t, std::string> m_byIndex;
};

/// The interface list into the buffer, which grows when the list does not fit (WSAEFAULT).
/// Returns the number of entries; 0 when there is no list. Only a list too long for the largest
/// buffer is reported (a warning), since the search then misses networks.
std::size_t ReadInterfaceList(net::SOCKET s, std::vector<net::INTERFACE_INFO>* pEntries,
                              CSearchContext& context);

/// The IPv4 addresses of the interfaces that are up, in list order, with their names and whether
/// the query goes to their directed broadcast. Loopback is left out unless it is the only entry.
std::vector<LocalNetwork> LocalNetworks(const std::vector<net::INTERFACE_INFO>& entries,
                                        const CInterfaceNames& names);

/// Whether the computer looks like a virtual machine behind its hypervisor's NAT: WSL 2 (the
/// kernel's release names Microsoft), or every queried network is VirtualBox's NAT default
/// (10.0.2.15/24). False on an ordinary computer, and when the networks are not known.
bool LooksLikeVirtualNat(const std::string& systemRelease,
                         const std::vector<LocalNetwork>& networks);

/// The broadcast addresses the query goes to, each once, in order: the limited broadcast, then
/// the directed broadcast of every queried network. Several addresses on one network share a
/// directed broadcast, which goes out once. *pOwners gets, for each, the network it belongs to
/// (null for the limited broadcast).
std::vector<std::uint32_t> BroadcastTargets(const std::vector<LocalNetwork>& networks,
                                            std::vector<const LocalNetwork*>* pOwners);

}  // namespace discovery
