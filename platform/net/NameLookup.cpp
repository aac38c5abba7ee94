// Resolving a host name to its IPv4 addresses, the same on every platform; only how an address
// leaves the system's structure differs (AddressOf in posix/ and win32/SystemNames.h).
//
// The layer's header comes first, for the reason posix/SystemSocketLayer.cpp gives.
#include "net/SocketLayer.h"

#include "SystemNames.h"

#include <algorithm>
#include <cstring>

namespace net::system {

bool ResolveIPv4(const char* pszName, std::vector<in_addr>* pAddresses) {
    ::addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    ::addrinfo* pList = nullptr;
    if (::getaddrinfo(pszName, nullptr, &hints, &pList) != 0 || pList == nullptr) {
        return false;
    }
    pAddresses->clear();
    for (const ::addrinfo* p = pList; p != nullptr; p = p->ai_next) {
        if (p->ai_family != AF_INET || p->ai_addr == nullptr) {
            continue;
        }
        const in_addr address = AddressOf(*p);
        // Compared as bytes: Winsock spells s_addr as a macro.
        if (std::none_of(pAddresses->begin(), pAddresses->end(), [&](const in_addr& a) {
                return std::memcmp(&a, &address, sizeof(a)) == 0;
            })) {
            pAddresses->push_back(address);
        }
    }
    ::freeaddrinfo(pList);
    return !pAddresses->empty();
}

}  // namespace net::system
