// The computer's own IPv4 networks, as the search queries them: the interface list and the
// broadcast addresses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DeviceInfo.h"
#include "net/SocketLayer.h"

namespace discovery {

/// Dotted-decimal text of an address in network byte order.
std::string DottedText(std::uint32_t nAddress);

/// The interface list into the buffer, which grows when the list does not fit (WSAEFAULT).
/// Returns the number of entries; 0 when there is no list. Only a list too long for the largest
/// buffer is reported (a warning, counted in *pOutcome), since the search then misses networks.
std::size_t ReadInterfaceList(net::SOCKET s, std::vector<net::INTERFACE_INFO>* pEntries,
                              SearchOutcome* pOutcome);

/// The broadcast addresses the query goes to, each once, in order: the limited broadcast, then
/// the directed broadcast of every IPv4 interface. Loopback is left out unless it is the only
/// entry. Several addresses on one network share a directed broadcast, which goes out once.
std::vector<std::uint32_t> BroadcastTargets(const std::vector<net::INTERFACE_INFO>& entries);

}  // namespace discovery
