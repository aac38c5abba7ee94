// The system's name resolution on Windows, for NameLookup.cpp.
#pragma once

#include <cstring>
#include <vector>

#include "net/SocketLayer.h"
#include "win32/WindowsApi.h"

namespace net::system {

/// The IPv4 address of a result of getaddrinfo (AF_INET), in network byte order. Winsock's s_addr
/// is a macro: the four bytes are copied.
inline in_addr AddressOf(const ::addrinfo& result) {
    in_addr address{};
    std::memcpy(&address, &reinterpret_cast<const ::sockaddr_in*>(result.ai_addr)->sin_addr,
                sizeof(address));
    return address;
}

/// Every IPv4 address of the name, each once; false when it does not resolve.
bool ResolveIPv4(const char* pszName, std::vector<in_addr>* pAddresses);

}  // namespace net::system
