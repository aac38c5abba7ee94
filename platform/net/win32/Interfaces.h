// The computer's IPv4 interfaces, as the Windows socket layer needs them: their addresses with
// the adapters' indexes and names.
#pragma once

#include <vector>

#include "net/SocketLayer.h"

namespace net::system {

/// Every IPv4 address of the adapters that are up, with the adapter's index and friendly name
/// (Windows-1252), from one GetAdaptersAddresses. False when the adapters cannot be listed.
bool ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses);

}  // namespace net::system
