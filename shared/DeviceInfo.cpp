#include "DeviceInfo.h"

#include <cstdio>
#include <cstring>

#include "ReportWindow.h"

CDeviceInfo g_DeviceInfo;

namespace {

constexpr const char kSearchFunction[] = "CDeviceInfo::SearchDevices";
constexpr const char kDefaultModelPrefix[] = "lorix";
constexpr const char kRequest[] = "*IDN?";
constexpr const char kMaker[] = "TVK";

constexpr int kDatagramBufferSize = 1472;
constexpr int kMaxDatagram = kDatagramBufferSize - 1;
constexpr int kInterfaceEntries = 64;
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
constexpr int kLineTooLarge = 728;
constexpr int kLineAddressText = 785;

const char* Text(const char* pszEnglish, const char* pszGerman) {
    return ReportIsGerman() ? pszGerman : pszEnglish;
}

void ReportLocation(int nLine) {
    if (g_pReportWindow != nullptr) {
        ReportErrorLocation(kSearchFunction, __FILE__, nLine);
    }
}

void EnsureBlankLine() {
    if (g_pReportWindow != nullptr) {
        g_pReportWindow->EnsureBlankLine();
    }
}

void UpdateDisplay() {
    if (g_pReportWindow != nullptr) {
        g_pReportWindow->UpdateDisplay();
    }
}

/// Copies at most nLength bytes into a field of nWidth bytes, cut to fit and zero-terminated.
template <std::size_t nWidth>
void CopyField(char (&szField)[nWidth], const char* pText, std::size_t nLength) {
    if (nLength > nWidth - 1) {
        nLength = nWidth - 1;
    }
    std::memcpy(szField, pText, nLength);
    szField[nLength] = '\0';
}

/// Splits like strtok with "," as the separator: runs of commas are one separator and there
/// are no empty fields.
class FieldSplitter {
public:
    explicit FieldSplitter(const char* pszText) : m_p(pszText) {}
    bool Next(const char** ppField, std::size_t* pnLength) {
        while (*m_p == ',') {
            ++m_p;
        }
        if (*m_p == '\0') {
            return false;
        }
        *ppField = m_p;
        while (*m_p != '\0' && *m_p != ',') {
            ++m_p;
        }
        *pnLength = static_cast<std::size_t>(m_p - *ppField);
        return true;
    }

private:
    const char* m_p;
};

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

void ReportTarget(const CDeviceInfo& info, const net::sockaddr_in& addrDest) {
    if (info.m_nVerbosity < 1) {
        return;
    }
    char szAddress[20] = {};
    net::inet_ntop(net::AF_INET, &addrDest.sin_addr, szAddress, sizeof(szAddress));
    ReportPrintf(Text("IPv4 broadcast onto '%s'.\r\n", "IPv4 broadcast auf '%s'.\r\n"), szAddress);
}

/// Sends the request text of the buffer to the destination. Returns false after reporting a
/// failure with the location line of nFailedLine or nShortLine.
bool SendRequest(net::SOCKET s, const char* achBuffer, const net::sockaddr_in& addrDest,
                 int nFailedLine, int nShortLine) {
    const int nLength = static_cast<int>(std::strlen(achBuffer));
    const int nSent =
        net::sendto(s, achBuffer, nLength, 0, reinterpret_cast<const net::sockaddr*>(&addrDest),
                    sizeof(addrDest));
    if (nSent == net::SOCKET_ERROR) {
        ReportSendError(net::WSAGetLastError());
        ReportLocation(nFailedLine);
        return false;
    }
    if (nSent != nLength) {
        ReportPrintf("ERROR in sendto(): Sent %d instead of %d bytes.\r\n", nSent, nLength);
        ReportLocation(nShortLine);
        return false;
    }
    return true;
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
    ReportPrintf(Text("Found %s %s device", "%s %s Ger\xe4t gefunden"), record.szModel,
                 record.szModelDetail);
    if (record.szIPv4[0] != '\0') {
        ReportPrintf(Text("\r\n  at IPv4 address %s", "\r\n  an IPv4 Adresse %s"), record.szIPv4);
    }
    if (record.szIPv6[0] != '\0') {
        ReportPrintf(Text("\r\n  at IPv6 address %s", "\r\n  an IPv6 Adresse %s"), record.szIPv6);
    }
    if (std::strcmp(record.szHostName, record.szDnsName) != 0) {
        ReportPrintf(Text("\r\n  host name = '%s'", "\r\n  Host-Name = '%s'"), record.szHostName);
    }
    if (record.szDnsName[0] != '\0') {
        ReportPrintf(Text("\r\n  DNS name = '%s'", "\r\n  DNS-Name = '%s'"), record.szDnsName);
    }
    ReportPrintf(Text("\r\n  serial number = %s", "\r\n  Serien-Nummer = %s"),
                 record.szSerialNumber);
    ReportPrintf(Text("\r\n  firmware version = %s", "\r\n  Firmware-Version = %s"),
                 record.szFirmwareVersion);
    EnsureBlankLine();
}

void CDeviceInfo::ReportSearchStart() {
    if (g_pReportWindow != nullptr) {
        g_pReportWindow->Reset();
        g_pReportWindow->EnsureBlankLine();
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

bool ParseDeviceReply(const char* pszReply, const char* pszExpectedPrefix,
                      const char* pszModelPrefix, DeviceRecord* pRecord) {
    if (std::strncmp(pszReply, pszExpectedPrefix, std::strlen(pszExpectedPrefix)) != 0) {
        return false;
    }
    std::memset(pRecord, 0, sizeof(DeviceRecord));
    FieldSplitter fields(pszReply);
    const char* pField = nullptr;
    std::size_t nLength = 0;

    if (!fields.Next(&pField, &nLength) || nLength != std::strlen(kMaker) ||
        std::memcmp(pField, kMaker, nLength) != 0) {
        return false;
    }
    CopyField(pRecord->szMaker, pField, nLength);

    const std::size_t nPrefixLength = std::strlen(pszModelPrefix);
    if (!fields.Next(&pField, &nLength) || nLength < nPrefixLength ||
        std::memcmp(pField, pszModelPrefix, nPrefixLength) != 0) {
        return false;
    }
    CopyField(pRecord->szModel, pField, nLength);

    if (!fields.Next(&pField, &nLength)) {
        return false;
    }
    CopyField(pRecord->szModelDetail, pField, nLength);

    if (!fields.Next(&pField, &nLength)) {
        return true;
    }
    CopyField(pRecord->szSerialNumber, pField, nLength);

    if (!fields.Next(&pField, &nLength)) {
        return true;
    }
    const void* pDot = std::memchr(pField, '.', nLength);
    if (pDot != nullptr) {
        CopyField(pRecord->szDnsName, pField, nLength);
        nLength = static_cast<std::size_t>(static_cast<const char*>(pDot) - pField);
    }
    CopyField(pRecord->szHostName, pField, nLength);

    if (fields.Next(&pField, &nLength)) {
        CopyField(pRecord->szFirmwareVersion, pField, nLength);
    }
    return true;
}

void CDeviceInfo::SearchDevices() {
    char szExpectedPrefix[48] = {};
    char achBuffer[kDatagramBufferSize];
    net::sockaddr_in addrDest{};
    alignas(8) unsigned char achInterfaces[kInterfaceEntries * sizeof(net::INTERFACE_INFO)];
    net::sockaddr_in addrFrom{};
    DeviceRecord record;

    std::snprintf(szExpectedPrefix, sizeof(szExpectedPrefix), "TVK,%s", m_szModelPrefix);
    ClearDevices();
    ReportSearchStart();
    EnsureBlankLine();

    net::SOCKET s = net::socket(net::AF_INET, net::SOCK_DGRAM, net::IPPROTO_UDP);
    if (s == net::INVALID_SOCKET) {
        ReportPrintf("ERROR: Could not create IPv4 socket\r\n");
        ReportLocation(kLineSocket);
    } else {
        const int bBroadcast = 1;
        net::setsockopt(s, net::SOL_SOCKET, net::SO_BROADCAST,
                        reinterpret_cast<const char*>(&bBroadcast), sizeof(bBroadcast));

        addrDest.sin_family = net::AF_INET;
        addrDest.sin_port = net::htons(kDiscoveryPort);
        addrDest.sin_addr.s_addr = net::htonl(net::INADDR_BROADCAST);
        std::memset(achBuffer, 0, sizeof(achBuffer));
        std::strncpy(achBuffer, kRequest, kMaxDatagram);

        EnsureBlankLine();
        ReportTarget(*this, addrDest);
        bool bSent =
            SendRequest(s, achBuffer, addrDest, kLineLimitedSendFailed, kLineLimitedSendShort);

        if (bSent) {
            EnsureBlankLine();
            unsigned long nBytes = 0;
            if (net::WSAIoctl(s, net::SIO_GET_INTERFACE_LIST, nullptr, 0, achInterfaces,
                              sizeof(achInterfaces), &nBytes, nullptr,
                              nullptr) == net::SOCKET_ERROR) {
                nBytes = 0;
            }
            if (nBytes > sizeof(achInterfaces)) {
                nBytes = sizeof(achInterfaces);
            }
            const std::size_t nEntries = nBytes / sizeof(net::INTERFACE_INFO);
            for (std::size_t i = 0; i < nEntries && bSent; ++i) {
                net::INTERFACE_INFO entry;
                std::memcpy(&entry, achInterfaces + i * sizeof(entry), sizeof(entry));
                if (entry.iiAddress.AddressIn.sin_family != net::AF_INET) {
                    continue;
                }
                const std::uint32_t nAddress = entry.iiAddress.AddressIn.sin_addr.s_addr;
                const std::uint32_t nMask = entry.iiNetmask.AddressIn.sin_addr.s_addr;
                if (reinterpret_cast<const unsigned char*>(&nAddress)[0] == 127 && nEntries != 1) {
                    continue;
                }
                addrDest.sin_addr.s_addr = nAddress | ~nMask;
                ReportTarget(*this, addrDest);
                bSent = SendRequest(s, achBuffer, addrDest, kLineDirectedSendFailed,
                                    kLineDirectedSendShort);
            }
        }

        if (bSent) {
            EnsureBlankLine();
            ReceiveReplies(s, szExpectedPrefix, achBuffer, &addrFrom, &record);
        }

        net::shutdown(s, net::SD_BOTH);
        net::closesocket(s);
    }

    if (g_pReportWindow != nullptr) {
        const std::string& text = g_pReportWindow->m_strText;
        if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) {
            g_pReportWindow->AppendText("\r\n");
        }
        g_pReportWindow->UpdateDisplay();
    }
}

void CDeviceInfo::ReceiveReplies(net::SOCKET s, const char* pszExpectedPrefix, char* achBuffer,
                                 net::sockaddr_in* pAddrFrom, DeviceRecord* pRecord) {
    const std::uint32_t nPhaseStart = net::GetTickCount();
    std::uint32_t nQuietStart = nPhaseStart;
    int nQuietPasses = 0;
    bool bTableFullReported = false;

    for (;;) {
        const std::uint32_t nNow = net::GetTickCount();
        if (nNow - nQuietStart >= kQuietMilliseconds && ++nQuietPasses >= kQuietPasses) {
            break;
        }
        if (nNow - nPhaseStart >= kLongestReceivePhase) {
            ReportPrintf(
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
            ReportPrintf("ERROR: select(UDP) returned %d.\r\n", net::WSAGetLastError());
            ReportLocation(kLineSelect);
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
            ReportLocation(kLineReceive);
            return;
        }
        if (nReceived > kMaxDatagram) {
            ReportPrintf("ERROR in recvfrom - received packet too large.\r\n");
            ReportLocation(kLineTooLarge);
            return;
        }
        achBuffer[nReceived < 0 ? 0 : nReceived] = '\0';
        nQuietStart = net::GetTickCount();
        nQuietPasses = 0;

        if (!ParseDeviceReply(achBuffer, pszExpectedPrefix, m_szModelPrefix, pRecord)) {
            continue;
        }
        std::memcpy(&pRecord->addrIPv4, pAddrFrom, sizeof(pRecord->addrIPv4));
        if (pAddrFrom->sin_family == net::AF_INET) {
            const char* pszAddress = net::inet_ntoa(pAddrFrom->sin_addr);
            if (pszAddress == nullptr) {
                ReportPrintf("ERROR in inet_ntoa.\r\n");
                ReportLocation(kLineAddressText);
                return;
            }
            CopyField(pRecord->szIPv4, pszAddress, std::strlen(pszAddress));
        }

        const int nIndex = AddDevice(*pRecord);
        if (nIndex >= 0) {
            EnsureBlankLine();
            ReportDevice(m_aDevices[nIndex]);
            UpdateDisplay();
        } else if (nIndex == ADD_TABLE_FULL && !bTableFullReported) {
            bTableFullReported = true;
            ReportPrintf(
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
    ReportPrintf(Text("... done.\r\n", "... fertig.\r\n"));
}
