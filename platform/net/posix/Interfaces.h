// The computer's IPv4 interfaces, as the POSIX socket layer needs them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "net/SocketLayer.h"

namespace net::system {

/// The IPv4 interfaces that are up, in the layout of Winsock's SIO_GET_INTERFACE_LIST. False
/// (errno set) when the system cannot list them.
bool ListInterfaces(std::vector<INTERFACE_INFO>* pEntries);

/// Sends the datagram to the limited broadcast address at the port (network byte order) out of
/// every interface that can broadcast, each once; out of loopback only when nothing else is up
/// (a computer without network), so that the query still reaches devices on this host. Returns
/// whether it left through any.
bool SendOutOfEveryInterface(int fd, const char* pData, std::size_t nLength,
                             std::uint16_t nPortNetworkOrder);

/// Every IPv4 address of the interfaces that are up, with the interface's index and name. False
/// when the system cannot list them.
bool ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses);

}  // namespace net::system
