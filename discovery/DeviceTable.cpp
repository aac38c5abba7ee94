// The device table and the report lines that describe its devices.
#include <cstdlib>
#include <cstring>
#include <new>

#include "DeviceTable.h"
#include "DeviceText.h"
#include "ReportSink.h"

namespace {}  // namespace

namespace {

/// Zero-filled room for the table from the system: pages that no record has used yet are not
/// touched (a search that finds forty devices costs the memory of forty, not of the whole table).
template <typename T>
T& ZeroFilled() {
    void* p = std::calloc(1, sizeof(T));
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return *static_cast<T*>(p);
}

}  // namespace

CDeviceInfo::CDeviceInfo()
    : m_nVerbosity(0),
      m_nDevices(0),
      m_aDevices(ZeroFilled<DeviceRecord[kMaxDevices]>()),
      m_aArrivals(ZeroFilled<DeviceArrival[kMaxDevices]>()) {
    std::memset(m_szModelPrefix, 0, sizeof(m_szModelPrefix));
    std::strncpy(m_szModelPrefix, kDefaultModelPrefix, sizeof(m_szModelPrefix));
    m_szModelPrefix[sizeof(m_szModelPrefix) - 1] = '\0';
}

CDeviceInfo::~CDeviceInfo() {
    std::free(m_aDevices);
    std::free(m_aArrivals);
}

void CDeviceInfo::ClearDevices() {
    // The records past the count are all zero already (the table's invariant).
    std::memset(m_aDevices, 0, sizeof(DeviceRecord) * static_cast<std::size_t>(m_nDevices));
    std::memset(m_aArrivals, 0, sizeof(DeviceArrival) * static_cast<std::size_t>(m_nDevices));
    m_nDevices = 0;
}

int CDeviceInfo::AddDevice(const DeviceRecord& record, const DeviceArrival* pArrival) {
    int nSameAddress = 0;
    for (int i = 0; i < m_nDevices; ++i) {
        if (std::memcmp(&m_aDevices[i], &record, sizeof(DeviceRecord)) == 0) {
            return ADD_REPEAT;
        }
        if (m_aDevices[i].addrIPv4.sin_addr.s_addr == record.addrIPv4.sin_addr.s_addr) {
            ++nSameAddress;
        }
    }
    if (m_nDevices >= kMaxDevices) {
        return ADD_TABLE_FULL;
    }
    if (nSameAddress >= kMaxRecordsPerAddress) {
        return ADD_ADDRESS_FULL;
    }
    // After the last record whose serial number is not greater; the records behind it move up
    // one slot in one move (the same as moving them one by one from the end).
    int i = m_nDevices;
    while (i > 0 && std::strcmp(m_aDevices[i - 1].szSerialNumber, record.szSerialNumber) > 0) {
        --i;
    }
    const auto nBehind = static_cast<std::size_t>(m_nDevices - i);
    std::memmove(&m_aDevices[i + 1], &m_aDevices[i], nBehind * sizeof(DeviceRecord));
    std::memmove(&m_aArrivals[i + 1], &m_aArrivals[i], nBehind * sizeof(DeviceArrival));
    std::memcpy(&m_aDevices[i], &record, sizeof(DeviceRecord));
    m_aArrivals[i] = pArrival != nullptr ? *pArrival : DeviceArrival{};
    ++m_nDevices;
    return i;
}

void CDeviceInfo::ReportDevice(const DeviceRecord& record, CReportSink& report) {
    // The fields are the device's words: shown escaped, they never make lines of their own.
    report.Printf(report.Say(texts::DeviceFound), ShownDeviceText(record.szModel).c_str(),
                  ShownDeviceText(record.szModelDetail).c_str());
    if (record.szIPv4[0] != '\0') {
        report.Printf(report.Say(texts::DeviceAtIPv4), ShownDeviceText(record.szIPv4).c_str());
    }
    if (record.szIPv6[0] != '\0') {
        report.Printf(report.Say(texts::DeviceAtIPv6), ShownDeviceText(record.szIPv6).c_str());
    }
    if (std::strcmp(record.szHostName, record.szDnsName) != 0) {
        report.Printf(report.Say(texts::DeviceHostName),
                      ShownDeviceText(record.szHostName).c_str());
    }
    if (record.szDnsName[0] != '\0') {
        report.Printf(report.Say(texts::DeviceDnsName), ShownDeviceText(record.szDnsName).c_str());
    }
    report.Printf(report.Say(texts::DeviceSerialNumber),
                  ShownDeviceText(record.szSerialNumber).c_str());
    report.Printf(report.Say(texts::DeviceFirmwareVersion),
                  ShownDeviceText(record.szFirmwareVersion).c_str());
    report.EnsureBlankLine();
}

void CDeviceInfo::ReportSearchStart(CReportSink& report) {
    report.Reset();
    report.EnsureBlankLine();
    report.Printf(report.Say(texts::SearchStart), m_szModelPrefix);
    for (int i = 0; i < m_nDevices; ++i) {
        report.EnsureBlankLine();
        ReportDevice(m_aDevices[i], report);
    }
}
