// The computer's IPv4 interfaces, as the Windows socket layer needs them: their names.
#pragma once

#include <string>

#include "net/SocketLayer.h"

namespace net::system {

/// The friendly name (Windows-1252) of the adapter that has the address ("" when none has).
std::string InterfaceName(in_addr localAddress);
/// The friendly name of the adapter with the index ("" for 0 or an unknown index).
std::string InterfaceNameOfIndex(std::uint32_t nIndex);

}  // namespace net::system
