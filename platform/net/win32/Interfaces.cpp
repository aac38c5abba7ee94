#include "Interfaces.h"

#include "win32/WindowsApi.h"

#include <iphlpapi.h>

#include <cstring>
#include <vector>

namespace net::system {

namespace {

/// The friendly name of the first IPv4 adapter that matches, in Windows-1252.
template <typename Match>
std::string AdapterName(Match match) {
    ULONG nBytes = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG nResult = ERROR_BUFFER_OVERFLOW;
    for (int nTry = 0; nTry < 3 && nResult == ERROR_BUFFER_OVERFLOW; ++nTry) {
        buffer.resize(nBytes);
        nResult = ::GetAdaptersAddresses(
            AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
            nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &nBytes);
    }
    if (nResult != NO_ERROR) {
        return std::string();
    }
    for (const auto* p = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); p != nullptr;
         p = p->Next) {
        if (match(*p) && p->FriendlyName != nullptr) {
            char szName[256] = {};
            ::WideCharToMultiByte(1252, 0, p->FriendlyName, -1, szName, sizeof(szName) - 1, nullptr,
                                  nullptr);
            return szName;
        }
    }
    return std::string();
}

}  // namespace

std::string InterfaceName(in_addr localAddress) {
    return AdapterName([&](const IP_ADAPTER_ADDRESSES& adapter) {
        for (const IP_ADAPTER_UNICAST_ADDRESS* p = adapter.FirstUnicastAddress; p != nullptr;
             p = p->Next) {
            const SOCKADDR* pAddress = p->Address.lpSockaddr;
            if (pAddress != nullptr && pAddress->sa_family == AF_INET &&
                std::memcmp(&reinterpret_cast<const ::sockaddr_in*>(pAddress)->sin_addr,
                            &localAddress, sizeof(localAddress)) == 0) {
                return true;
            }
        }
        return false;
    });
}

std::string InterfaceNameOfIndex(std::uint32_t nIndex) {
    if (nIndex == 0) {
        return std::string();
    }
    return AdapterName(
        [&](const IP_ADAPTER_ADDRESSES& adapter) { return adapter.IfIndex == nIndex; });
}

}  // namespace net::system
