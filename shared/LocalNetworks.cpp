#include "LocalNetworks.h"

#include <algorithm>

#include "DeviceReportLines.h"

namespace discovery {

namespace {
// The interface list: room for this many entries first, growing to at most the second.
constexpr std::size_t kInterfaceEntries = 64;
constexpr std::size_t kMostInterfaceEntries = 4096;
}  // namespace

std::string DottedText(std::uint32_t nAddress) {
    char szAddress[20] = {};
    net::in_addr addr{nAddress};
    net::inet_ntop(net::AF_INET, &addr, szAddress, sizeof(szAddress));
    return szAddress;
}

std::size_t ReadInterfaceList(net::SOCKET s, std::vector<net::INTERFACE_INFO>* pEntries,
                              SearchOutcome* pOutcome) {
    for (std::size_t nRoom = kInterfaceEntries; nRoom <= kMostInterfaceEntries; nRoom *= 4) {
        pEntries->assign(nRoom, net::INTERFACE_INFO{});
        unsigned long nBytes = 0;
        const unsigned long nBufferBytes =
            static_cast<unsigned long>(nRoom * sizeof(net::INTERFACE_INFO));
        if (net::WSAIoctl(s, net::SIO_GET_INTERFACE_LIST, nullptr, 0, pEntries->data(),
                          nBufferBytes, &nBytes, nullptr, nullptr) != net::SOCKET_ERROR) {
            pEntries->resize(std::min<std::size_t>(nBytes, nBufferBytes) /
                             sizeof(net::INTERFACE_INFO));
            return pEntries->size();
        }
        const int nError = net::WSAGetLastError();
        if (nError != net::WSAEFAULT) {
            break;
        }
        if (nRoom * 4 > kMostInterfaceEntries) {
            ++pOutcome->nWarnings;
            ReportPrintf(Text("WARNING: The list of network interfaces is too long (%d); the "
                              "query goes to 255.255.255.255 only.\r\n",
                              "WARNING: Die Liste der Netzwerk-Schnittstellen ist zu lang (%d); "
                              "die Anfrage geht nur an 255.255.255.255.\r\n"),
                         nError);
        }
    }
    pEntries->clear();
    return 0;
}

std::vector<std::uint32_t> BroadcastTargets(const std::vector<net::INTERFACE_INFO>& entries) {
    std::vector<std::uint32_t> targets{net::htonl(net::INADDR_BROADCAST)};
    for (const net::INTERFACE_INFO& entry : entries) {
        if (entry.iiAddress.AddressIn.sin_family != net::AF_INET) {
            continue;
        }
        const std::uint32_t nAddress = entry.iiAddress.AddressIn.sin_addr.s_addr;
        const std::uint32_t nMask = entry.iiNetmask.AddressIn.sin_addr.s_addr;
        if (reinterpret_cast<const unsigned char*>(&nAddress)[0] == 127 && entries.size() != 1) {
            continue;
        }
        const std::uint32_t nTarget = nAddress | ~nMask;
        if (std::find(targets.begin(), targets.end(), nTarget) == targets.end()) {
            targets.push_back(nTarget);
        }
    }
    return targets;
}

}  // namespace discovery
