#include "Interfaces.h"

#include "win32/WindowsApi.h"

#include <iphlpapi.h>

#include <cstring>
#include <vector>

namespace net::system {

bool ListInterfaceAddresses(std::vector<InterfaceAddress>* pAddresses) {
    pAddresses->clear();
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
        return false;
    }
    for (const auto* p = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); p != nullptr;
         p = p->Next) {
        if (p->OperStatus != IfOperStatusUp) {
            continue;
        }
        char szName[256] = {};
        if (p->FriendlyName != nullptr) {
            ::WideCharToMultiByte(1252, 0, p->FriendlyName, -1, szName, sizeof(szName) - 1, nullptr,
                                  nullptr);
        }
        for (const IP_ADAPTER_UNICAST_ADDRESS* a = p->FirstUnicastAddress; a != nullptr;
             a = a->Next) {
            const SOCKADDR* pAddress = a->Address.lpSockaddr;
            if (pAddress == nullptr || pAddress->sa_family != AF_INET) {
                continue;
            }
            InterfaceAddress entry{};
            // Winsock's s_addr is a macro: copy the four bytes.
            std::memcpy(&entry.address, &reinterpret_cast<const ::sockaddr_in*>(pAddress)->sin_addr,
                        sizeof(entry.address));
            entry.nIndex = p->IfIndex;
            entry.name = szName;
            pAddresses->push_back(entry);
        }
    }
    return true;
}

}  // namespace net::system
