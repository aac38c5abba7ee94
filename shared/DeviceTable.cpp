// The device table and the report lines that describe its devices.
#include <cstring>

#include "DeviceInfo.h"
#include "DeviceReportLines.h"
#include "DeviceText.h"

CDeviceInfo g_DeviceInfo;

namespace {
constexpr const char kDefaultModelPrefix[] = "lorix";
}  // namespace

using discovery::EnsureBlankLine;
using discovery::Text;

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
