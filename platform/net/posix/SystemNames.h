// The system's name resolution on POSIX systems, for NameLookup.cpp.
#pragma once

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <vector>

#include "net/SocketLayer.h"

namespace net::system {

/// The IPv4 address of a result of getaddrinfo (AF_INET), in network byte order.
inline in_addr AddressOf(const ::addrinfo& result) {
    return in_addr{reinterpret_cast<const ::sockaddr_in*>(result.ai_addr)->sin_addr.s_addr};
}

/// Every IPv4 address of the name, each once; false when it does not resolve.
bool ResolveIPv4(const char* pszName, std::vector<in_addr>* pAddresses);

}  // namespace net::system
