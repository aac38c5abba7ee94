#include "DeviceInfo.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DeviceText.h"
#include "ReportText.h"

CDeviceInfo g_DeviceInfo;

namespace {

constexpr const char kSearchFunction[] = "CDeviceInfo::SearchDevices";
constexpr const char kDefaultModelPrefix[] = "lorix";
constexpr const char kRequest[] = "*IDN?";

constexpr int kDatagramBufferSize = 1472;
constexpr int kMaxDatagram = kDatagramBufferSize - 1;
constexpr std::size_t kInterfaceEntries = 64;
constexpr std::size_t kMostInterfaceEntries = 4096;
// Oversized datagrams reported one by one before the rest are dropped quietly.
constexpr int kOversizedReports = 10;
constexpr std::uint32_t kQuietMilliseconds = 3000;
constexpr int kQuietPasses = 10;
constexpr long kWaitMicroseconds = 100000;
constexpr std::uint32_t kLongestReceivePhase = 30000;

// The numbers that the location lines of search failures carry.
constexpr int kLineSocket = 270;
constexpr int kLineLimitedSendFailed = 518;
constexpr int kLineLimitedSendShort = 528;
constexpr int kLineDirectedSendFailed = 601;
constexpr int kLineDirectedSendShort = 611;
constexpr int kLineSelect = 650;
constexpr int kLineReceive = 719;
constexpr int kLineAddressText = 785;

const char* Text(const char* pszEnglish, const char* pszGerman) {
    return ReportIsGerman() ? pszGerman : pszEnglish;
}

void ReportLocation(int nLine) {
    if (g_pReportText != nullptr) {
        ReportErrorLocation(kSearchFunction, __FILE__, nLine);
    }
}

/// Records the failure that ends the search and writes its location line (the error line has
/// been written).
void Fail(SearchOutcome* pOutcome, int nError, int nLine) {
    pOutcome->result = SearchOutcome::Failed;
    pOutcome->nError = nError;
    pOutcome->nLine = nLine;
    ReportLocation(nLine);
}

void EnsureBlankLine() {
    if (g_pReportText != nullptr) {
        g_pReportText->EnsureBlankLine();
    }
}

void UpdateDisplay() {
    if (g_pReportText != nullptr) {
        g_pReportText->UpdateDisplay();
    }
}

void ReportSendError(int nError) {
    switch (nError) {
        case net::WSAECONNABORTED:
            ReportPrintf("ERROR: sendto(UDP) returned ABORTED.\r\n");
            break;
        case net::WSAECONNRESET:
            ReportPrintf("ERROR: sendto(UDP) returned RESET.\r\n");
            break;
        case net::WSAESHUTDOWN:
            ReportPrintf("ERROR: sendto(UDP) returned SHUTDOWN.\r\n");
            break;
        default:
            ReportPrintf("ERROR: sendto(UDP) returned %d.\r\n", nError);
            break;
    }
}

std::string DottedText(std::uint32_t nAddress) {
    char szAddress[20] = {};
    net::in_addr addr{nAddress};
    net::inet_ntop(net::AF_INET, &addr, szAddress, sizeof(szAddress));
    return szAddress;
}

void ReportTarget(const CDeviceInfo& info, std::uint32_t nAddress) {
    if (info.m_nVerbosity >= 1) {
        ReportPrintf(Text("IPv4 broadcast onto '%s'.\r\n", "IPv4 broadcast auf '%s'.\r\n"),
                     DottedText(nAddress).c_str());
    }
}

/// The interface list into the buffer, which grows when the list does not fit (WSAEFAULT).
/// Returns the number of entries; 0 when there is no list. Only a list too long for the largest
/// buffer is reported, since the search then misses networks.
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

/// The broadcast addresses the query goes to, each once, in order: the limited broadcast, then
/// the directed broadcast of every IPv4 interface. Loopback is left out unless it is the only
/// entry. Several addresses on one network share a directed broadcast, which goes out once.
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

enum class SendResult { Sent, Failed, Short };

/// Sends the request text of the buffer to one target. A failure is reported as a warning and
/// left to the caller (*pnError) unless bLastChance: then, with no query sent before, it ends the
/// search with the error line and nFailedLine. A short send always ends the search (nShortLine).
SendResult SendRequest(net::SOCKET s, const char* achBuffer, std::uint32_t nTarget,
                       bool bLastChance, int nFailedLine, int nShortLine, SearchOutcome* pOutcome) {
    net::sockaddr_in addrDest{};
    addrDest.sin_family = net::AF_INET;
    addrDest.sin_port = net::htons(kDiscoveryPort);
    addrDest.sin_addr.s_addr = nTarget;
    const int nLength = static_cast<int>(std::strlen(achBuffer));
    const int nSent =
        net::sendto(s, achBuffer, nLength, 0, reinterpret_cast<const net::sockaddr*>(&addrDest),
                    sizeof(addrDest));
    if (nSent == net::SOCKET_ERROR) {
        const int nError = net::WSAGetLastError();
        if (bLastChance) {
            ReportSendError(nError);
            Fail(pOutcome, nError, nFailedLine);
        } else {
            ++pOutcome->nWarnings;
            ReportPrintf(Text("WARNING: sendto(UDP) to %s returned %d.\r\n",
                              "WARNING: sendto(UDP) an %s lieferte %d.\r\n"),
                         DottedText(nTarget).c_str(), nError);
        }
        return SendResult::Failed;
    }
    if (nSent != nLength) {
        ReportPrintf("ERROR in sendto(): Sent %d instead of %d bytes.\r\n", nSent, nLength);
        Fail(pOutcome, 0, nShortLine);
        return SendResult::Short;
    }
    return SendResult::Sent;
}

/// Sends the query to every target. Returns whether at least one query went out; otherwise, or
/// after a short send, the failure has been reported and the search ends.
bool SendQueries(const CDeviceInfo& info, net::SOCKET s, const char* achBuffer,
                 const std::vector<std::uint32_t>& targets, SearchOutcome* pOutcome) {
    int nQueries = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const bool bLimited = i == 0;
        if (bLimited) {
            EnsureBlankLine();
        }
        ReportTarget(info, targets[i]);
        const bool bLastChance = nQueries == 0 && i + 1 == targets.size();
        const SendResult result =
            SendRequest(s, achBuffer, targets[i], bLastChance,
                        bLimited ? kLineLimitedSendFailed : kLineDirectedSendFailed,
                        bLimited ? kLineLimitedSendShort : kLineDirectedSendShort, pOutcome);
        if (result == SendResult::Short || (result == SendResult::Failed && bLastChance)) {
            return false;
        }
        if (result == SendResult::Sent) {
            ++nQueries;
        }
        if (bLimited) {
            EnsureBlankLine();
        }
    }
    return nQueries > 0;
}

/// Reports a datagram that was too long for the buffer and so dropped. A stream of them gets a
/// line each for the first few only, so that they cannot flood the report.
void ReportOversizedDatagram(int nError, const net::sockaddr_in& addrFrom, int* pnReported,
                             SearchOutcome* pOutcome) {
    if (*pnReported > kOversizedReports) {
        return;
    }
    ++pOutcome->nWarnings;
    if (++*pnReported > kOversizedReports) {
        ReportPrintf("%s", Text("WARNING: Further oversized datagrams are dropped without a "
                                "report.\r\n",
                                "WARNING: Weitere zu gro\xdf"
                                "e Datagramme werden ohne Meldung verworfen.\r\n"));
        return;
    }
    ReportPrintf(Text("WARNING: recvfrom(UDP) returned %d: a datagram from %s:%u was too long "
                      "and is dropped.\r\n",
                      "WARNING: recvfrom(UDP) lieferte %d: ein Datagramm von %s:%u war zu lang "
                      "und wird verworfen.\r\n"),
                 nError, DottedText(addrFrom.sin_addr.s_addr).c_str(),
                 static_cast<unsigned>(net::ntohs(addrFrom.sin_port)));
}

}  // namespace

CDeviceInfo::CDeviceInfo() : m_nVerbosity(0), m_nDevices(0) {
    std::memset(m_szModelPrefix, 0, sizeof(m_szModelPrefix));
    std::strncpy(m_szModelPrefix, kDefaultModelPrefix, sizeof(m_szModelPrefix));
    m_szModelPrefix[sizeof(m_szModelPrefix) - 1] = '\0';
    std::memset(m_aDevices, 0, sizeof(m_aDevices));
}

void CDeviceInfo::ClearDevices() {
    std::memset(m_aDevices, 0, sizeof(m_aDevices));
    m_nDevices = 0;
}

int CDeviceInfo::AddDevice(const DeviceRecord& record) {
    for (int i = 0; i < m_nDevices; ++i) {
        if (std::memcmp(&m_aDevices[i], &record, sizeof(DeviceRecord)) == 0) {
            return ADD_REPEAT;
        }
    }
    if (m_nDevices >= kMaxDevices) {
        return ADD_TABLE_FULL;
    }
    int i = m_nDevices;
    while (i > 0 && std::strcmp(m_aDevices[i - 1].szSerialNumber, record.szSerialNumber) > 0) {
        std::memcpy(&m_aDevices[i], &m_aDevices[i - 1], sizeof(DeviceRecord));
        std::memset(&m_aDevices[i - 1], 0, sizeof(DeviceRecord));
        --i;
    }
    std::memcpy(&m_aDevices[i], &record, sizeof(DeviceRecord));
    ++m_nDevices;
    return i;
}

void CDeviceInfo::ReportDevice(const DeviceRecord& record) {
    // The fields are the device's words: shown escaped, they never make lines of their own.
    ReportPrintf(Text("Found %s %s device", "%s %s Ger\xe4t gefunden"),
                 ShownDeviceText(record.szModel).c_str(),
                 ShownDeviceText(record.szModelDetail).c_str());
    if (record.szIPv4[0] != '\0') {
        ReportPrintf(Text("\r\n  at IPv4 address %s", "\r\n  an IPv4 Adresse %s"),
                     ShownDeviceText(record.szIPv4).c_str());
    }
    if (record.szIPv6[0] != '\0') {
        ReportPrintf(Text("\r\n  at IPv6 address %s", "\r\n  an IPv6 Adresse %s"),
                     ShownDeviceText(record.szIPv6).c_str());
    }
    if (std::strcmp(record.szHostName, record.szDnsName) != 0) {
        ReportPrintf(Text("\r\n  host name = '%s'", "\r\n  Host-Name = '%s'"),
                     ShownDeviceText(record.szHostName).c_str());
    }
    if (record.szDnsName[0] != '\0') {
        ReportPrintf(Text("\r\n  DNS name = '%s'", "\r\n  DNS-Name = '%s'"),
                     ShownDeviceText(record.szDnsName).c_str());
    }
    ReportPrintf(Text("\r\n  serial number = %s", "\r\n  Serien-Nummer = %s"),
                 ShownDeviceText(record.szSerialNumber).c_str());
    ReportPrintf(Text("\r\n  firmware version = %s", "\r\n  Firmware-Version = %s"),
                 ShownDeviceText(record.szFirmwareVersion).c_str());
    EnsureBlankLine();
}

void CDeviceInfo::ReportSearchStart() {
    if (g_pReportText != nullptr) {
        g_pReportText->Reset();
        g_pReportText->EnsureBlankLine();
    }
    ReportPrintf(Text("Searching %s devices (please wait) ...\r\n",
                      "Suche %s Ger\xe4"
                      "te (bitte warten) ...\r\n"),
                 m_szModelPrefix);
    for (int i = 0; i < m_nDevices; ++i) {
        EnsureBlankLine();
        ReportDevice(m_aDevices[i]);
    }
}

SearchOutcome CDeviceInfo::SearchDevices() {
    SearchOutcome outcome;
    char szExpectedPrefix[48] = {};
    char achBuffer[kDatagramBufferSize];
    net::sockaddr_in addrFrom{};
    DeviceRecord record;

    std::snprintf(szExpectedPrefix, sizeof(szExpectedPrefix), "TVK,%s", m_szModelPrefix);
    ClearDevices();
    ReportSearchStart();
    EnsureBlankLine();

    net::SOCKET s = net::socket(net::AF_INET, net::SOCK_DGRAM, net::IPPROTO_UDP);
    if (s == net::INVALID_SOCKET) {
        ReportPrintf("ERROR: Could not create IPv4 socket\r\n");
        Fail(&outcome, net::WSAGetLastError(), kLineSocket);
    } else {
        const int bBroadcast = 1;
        net::setsockopt(s, net::SOL_SOCKET, net::SO_BROADCAST,
                        reinterpret_cast<const char*>(&bBroadcast), sizeof(bBroadcast));
        std::memset(achBuffer, 0, sizeof(achBuffer));
        std::strncpy(achBuffer, kRequest, kMaxDatagram);

        std::vector<net::INTERFACE_INFO> interfaces;
        ReadInterfaceList(s, &interfaces, &outcome);
        if (SendQueries(*this, s, achBuffer, BroadcastTargets(interfaces), &outcome)) {
            EnsureBlankLine();
            ReceiveReplies(s, szExpectedPrefix, achBuffer, &addrFrom, &record, &outcome);
        }

        net::shutdown(s, net::SD_BOTH);
        net::closesocket(s);
    }

    if (g_pReportText != nullptr) {
        const std::string& text = g_pReportText->m_strText;
        if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) {
            g_pReportText->AppendText("\r\n");
        }
        g_pReportText->UpdateDisplay();
    }
    if (outcome.result != SearchOutcome::Failed && outcome.nWarnings > 0) {
        outcome.result = SearchOutcome::CompletedWithWarnings;
    }
    return outcome;
}

void CDeviceInfo::ReceiveReplies(net::SOCKET s, const char* pszExpectedPrefix, char* achBuffer,
                                 net::sockaddr_in* pAddrFrom, DeviceRecord* pRecord,
                                 SearchOutcome* pOutcome) {
    const std::uint32_t nPhaseStart = net::GetTickCount();
    std::uint32_t nQuietStart = nPhaseStart;
    int nQuietPasses = 0;
    bool bTableFullReported = false;
    int nOversizedReported = 0;

    for (;;) {
        const std::uint32_t nNow = net::GetTickCount();
        if (nNow - nQuietStart >= kQuietMilliseconds && ++nQuietPasses >= kQuietPasses) {
            break;
        }
        if (nNow - nPhaseStart >= kLongestReceivePhase) {
            ++pOutcome->nWarnings;
            ReportPrintf("%s",
                         Text("WARNING: Replies kept arriving for 30 seconds; the search stops "
                              "here.\r\n",
                              "WARNING: 30 Sekunden lang kamen ununterbrochen Antworten; die Suche "
                              "endet hier.\r\n"));
            break;
        }

        net::fd_set readSet;
        net::FD_ZERO_SET(&readSet);
        net::FD_ADD(s, &readSet);
        const net::timeval wait = {0, kWaitMicroseconds};
        const int nReady = net::select(0, &readSet, nullptr, nullptr, &wait);
        if (nReady == 0) {
            continue;
        }
        if (nReady == net::SOCKET_ERROR) {
            const int nError = net::WSAGetLastError();
            ReportPrintf("ERROR: select(UDP) returned %d.\r\n", nError);
            Fail(pOutcome, nError, kLineSelect);
            return;
        }
        if (!net::WSAFDIsSet(s, &readSet)) {
            continue;
        }

        std::memset(achBuffer, 0, kDatagramBufferSize);
        std::memset(pAddrFrom, 0, sizeof(*pAddrFrom));
        int nFromLength = sizeof(*pAddrFrom);
        const int nReceived =
            net::recvfrom(s, achBuffer, kMaxDatagram, 0,
                          reinterpret_cast<net::sockaddr*>(pAddrFrom), &nFromLength);
        if (nReceived == net::SOCKET_ERROR) {
            const int nError = net::WSAGetLastError();
            switch (nError) {
                case net::WSAEINTR:
                case net::WSAEINVAL:
                case net::WSAECONNRESET:
                    continue;
                case net::WSAEMSGSIZE:
                    // Anybody who sees the query can send an oversized datagram: drop it, and
                    // count it as traffic like any other.
                    ReportOversizedDatagram(nError, *pAddrFrom, &nOversizedReported, pOutcome);
                    nQuietStart = net::GetTickCount();
                    nQuietPasses = 0;
                    continue;
                case net::WSAECONNABORTED:
                    ReportPrintf("ERROR: recvfrom(UDP) returned ABORTED.\r\n");
                    break;
                case net::WSAESHUTDOWN:
                    ReportPrintf("ERROR: recvfrom(UDP) returned SHUTDOWN.\r\n");
                    break;
                default:
                    ReportPrintf("ERROR: recvfrom(UDP) returned %d.\r\n", nError);
                    break;
            }
            Fail(pOutcome, nError, kLineReceive);
            return;
        }
        nQuietStart = net::GetTickCount();
        nQuietPasses = 0;
        if (nReceived > kMaxDatagram) {
            // A layer that reports a truncated datagram by its whole length.
            ReportOversizedDatagram(net::WSAEMSGSIZE, *pAddrFrom, &nOversizedReported, pOutcome);
            continue;
        }
        achBuffer[nReceived < 0 ? 0 : nReceived] = '\0';

        if (!ParseDeviceReply(achBuffer, pszExpectedPrefix, m_szModelPrefix, pRecord)) {
            continue;
        }
        std::memcpy(&pRecord->addrIPv4, pAddrFrom, sizeof(pRecord->addrIPv4));
        if (pAddrFrom->sin_family == net::AF_INET) {
            const char* pszAddress = net::inet_ntoa(pAddrFrom->sin_addr);
            if (pszAddress == nullptr) {
                ReportPrintf("ERROR in inet_ntoa.\r\n");
                Fail(pOutcome, 0, kLineAddressText);
                return;
            }
            std::snprintf(pRecord->szIPv4, sizeof(pRecord->szIPv4), "%s", pszAddress);
        }

        const int nIndex = AddDevice(*pRecord);
        if (nIndex >= 0) {
            EnsureBlankLine();
            ReportDevice(m_aDevices[nIndex]);
            UpdateDisplay();
        } else if (nIndex == ADD_TABLE_FULL && !bTableFullReported) {
            bTableFullReported = true;
            ++pOutcome->nWarnings;
            ReportPrintf("%s",
                         Text("WARNING: The device table is full (40 devices); further devices "
                              "are not listed.\r\n",
                              "WARNING: Die Ger\xe4tetabelle ist voll (40 Ger\xe4"
                              "te); weitere "
                              "Ger\xe4te werden nicht aufgef\xfchrt.\r\n"));
        }
        nQuietStart = net::GetTickCount();
        nQuietPasses = 0;
    }

    EnsureBlankLine();
    ReportPrintf("%s", Text("... done.\r\n", "... fertig.\r\n"));
}
