#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "DeviceInfo.h"
#include "ReportFixture.h"
#include "ScriptedSocketLayer.h"
#include "TestTable.h"

namespace {

DeviceRecord MakeRecord(const char* pszSerial, const char* pszFirmware = "1.0",
                        std::uint16_t nPort = 9959, const char* pszAddress = "192.168.1.20") {
    DeviceRecord record{};
    record.addrIPv4 = net::MakeAddress(pszAddress, nPort);
    std::strcpy(record.szIPv4, pszAddress);
    std::strcpy(record.szMaker, "TVK");
    std::strcpy(record.szModel, "lorixLOG");
    std::strcpy(record.szModelDetail, "X2");
    std::strcpy(record.szSerialNumber, pszSerial);
    std::strcpy(record.szFirmwareVersion, pszFirmware);
    return record;
}

bool IsAllZero(const DeviceRecord& record) {
    const auto* p = reinterpret_cast<const unsigned char*>(&record);
    for (std::size_t i = 0; i < sizeof(record); ++i) {
        if (p[i] != 0) {
            return false;
        }
    }
    return true;
}

std::string Serials(const CDeviceInfo& info) {
    std::string s;
    for (int i = 0; i < info.m_nDevices; ++i) {
        s += std::string(i ? "," : "") + info.m_aDevices[i].szSerialNumber;
    }
    return s;
}

class DeviceTable : public ::testing::Test {
protected:
    // The table lives in a block with guard bytes on both sides, to see that nothing is written
    // outside it.
    struct Guarded {
        unsigned char before[64];
        CDeviceInfo info;
        unsigned char after[64];
    };
    void SetUp() override {
        std::memset(m_block.before, 0xA5, sizeof(m_block.before));
        std::memset(m_block.after, 0x5A, sizeof(m_block.after));
    }
    void TearDown() override {
        for (unsigned char c : m_block.before) {
            ASSERT_EQ(c, 0xA5);
        }
        for (unsigned char c : m_block.after) {
            ASSERT_EQ(c, 0x5A);
        }
        for (int i = m_block.info.m_nDevices; i < kMaxDevices; ++i) {
            ASSERT_TRUE(IsAllZero(m_block.info.m_aDevices[i]))
                << "slot " << i << " beyond the count";
        }
    }
    Guarded m_block;
    CDeviceInfo& info = m_block.info;
};

TEST_F(DeviceTable, StartsEmptyWithTheModelPrefix) {
    EXPECT_EQ(info.m_nDevices, 0);
    EXPECT_EQ(info.m_nVerbosity, 0);
    EXPECT_STREQ(info.m_szModelPrefix, "lorix");
    EXPECT_TRUE(IsAllZero(info.m_aDevices[0]));
}

TEST_F(DeviceTable, RepeatIsDetectedOverAllBytes) {
    const DeviceRecord record = MakeRecord("A1");
    EXPECT_EQ(info.AddDevice(record), 0);
    EXPECT_EQ(info.AddDevice(record), CDeviceInfo::ADD_REPEAT);
    EXPECT_EQ(info.m_nDevices, 1);

    // Only the source port differs: a second device.
    EXPECT_EQ(info.AddDevice(MakeRecord("A1", "1.0", 50000)), 1);
    // Only a byte that no text covers differs: still a different record.
    DeviceRecord padded = record;
    padded.szModel[30] = 'z';
    EXPECT_EQ(info.AddDevice(padded), 2);
    EXPECT_EQ(info.m_nDevices, 3);
}

TEST_F(DeviceTable, SortsBySerialNumberKeepingArrivalOrderForEqualNumbers) {
    const DeviceArrival first{"10.0.0.1", "eth0", true};
    EXPECT_EQ(info.AddDevice(MakeRecord("B", "first"), &first), 0);
    EXPECT_EQ(info.AddDevice(MakeRecord("A", "1.0", 9959, "192.168.1.21")), 0);
    EXPECT_EQ(info.AddDevice(MakeRecord("C", "1.0", 9959, "192.168.1.22")), 2);
    EXPECT_EQ(info.AddDevice(MakeRecord("B", "second", 9959, "192.168.1.23")), 2);
    EXPECT_EQ(Serials(info), "A,B,B,C");
    EXPECT_STREQ(info.m_aDevices[1].szFirmwareVersion, "first");
    EXPECT_STREQ(info.m_aDevices[2].szFirmwareVersion, "second");
    EXPECT_STREQ(info.m_aArrivals[1].szInterface, "eth0") << "arrivals move with their records";
    EXPECT_STREQ(info.m_aArrivals[0].szInterface, "");
}

TEST_F(DeviceTable, SortsInByteOrder) {
    int nAddress = 0;
    for (const char* psz : {"9", "a", "10", "Z", "", "\xe4", "A1"}) {
        const std::string address = "192.168.2." + std::to_string(++nAddress);
        info.AddDevice(MakeRecord(psz, "1.0", 9959, address.c_str()));
    }
    EXPECT_EQ(Serials(info), ",10,9,A1,Z,a,\xe4");
}

TEST_F(DeviceTable, StoresAThousandAndRefusesTheNext) {
    auto address = [](int i) {
        return "10.1." + std::to_string(i / 200) + "." + std::to_string(i % 200);
    };
    for (int i = 0; i < kMaxDevices; ++i) {
        char szSerial[8];
        std::snprintf(szSerial, sizeof(szSerial), "S%04d", kMaxDevices - 1 - i);
        ASSERT_GE(info.AddDevice(MakeRecord(szSerial, "1.0", 9959, address(i).c_str())), 0);
    }
    EXPECT_EQ(info.m_nDevices, 1000);
    EXPECT_EQ(info.AddDevice(MakeRecord("S0000-extra")), CDeviceInfo::ADD_TABLE_FULL);
    EXPECT_EQ(info.AddDevice(MakeRecord("A-before-all")), CDeviceInfo::ADD_TABLE_FULL);
    EXPECT_EQ(info.AddDevice(MakeRecord("S0994", "1.0", 9959, address(5).c_str())),
              CDeviceInfo::ADD_REPEAT);
    EXPECT_EQ(info.m_nDevices, kMaxDevices);
    EXPECT_STREQ(info.m_aDevices[0].szSerialNumber, "S0000");
    EXPECT_STREQ(info.m_aDevices[999].szSerialNumber, "S0999");
}

TEST_F(DeviceTable, OneAddressTakesAFewRecordsAtMost) {
    for (int i = 0; i < kMaxRecordsPerAddress; ++i) {
        char szSerial[8];
        std::snprintf(szSerial, sizeof(szSerial), "V%d", i);
        ASSERT_GE(info.AddDevice(MakeRecord(szSerial)), 0);
    }
    EXPECT_EQ(info.AddDevice(MakeRecord("V-next")), CDeviceInfo::ADD_ADDRESS_FULL);
    EXPECT_EQ(info.AddDevice(MakeRecord("V-port", "1.0", 50000)), CDeviceInfo::ADD_ADDRESS_FULL)
        << "another port of the same host is the same host";
    EXPECT_EQ(info.AddDevice(MakeRecord("V0")), CDeviceInfo::ADD_REPEAT);
    EXPECT_GE(info.AddDevice(MakeRecord("W", "1.0", 9959, "192.168.1.99")), 0);
    EXPECT_EQ(info.m_nDevices, kMaxRecordsPerAddress + 1);
}

TEST_F(DeviceTable, ClearDevicesEmptiesEverything) {
    info.AddDevice(MakeRecord("A"));
    info.AddDevice(MakeRecord("B"));
    info.ClearDevices();
    EXPECT_EQ(info.m_nDevices, 0);
    EXPECT_TRUE(IsAllZero(info.m_aDevices[0]));
    EXPECT_TRUE(IsAllZero(info.m_aDevices[1]));
}

// --- Descriptions in the report ---

using DeviceDescription = WithReport;

TEST_F(DeviceDescription, WritesEveryLineOfAFullRecordInEnglish) {
    DeviceRecord record = MakeRecord("A1234");
    std::strcpy(record.szHostName, "dev1");
    std::strcpy(record.szDnsName, "dev1.lan");
    std::strcpy(record.szIPv6, "fe80::1");
    m_report.m_strText.clear();
    TestTable().ReportDevice(record, m_report);
    EXPECT_EQ(Text(),
              "Found lorixLOG X2 device\r\n"
              "  at IPv4 address 192.168.1.20\r\n"
              "  at IPv6 address fe80::1\r\n"
              "  host name = 'dev1'\r\n"
              "  DNS name = 'dev1.lan'\r\n"
              "  serial number = A1234\r\n"
              "  firmware version = 1.0\r\n"
              "\r\n");
}

TEST_F(DeviceDescription, WritesEveryLineOfAFullRecordInGerman) {
    UseLanguage("de-DE");
    DeviceRecord record = MakeRecord("A1234");
    std::strcpy(record.szHostName, "dev1");
    std::strcpy(record.szDnsName, "dev1.lan");
    std::strcpy(record.szIPv6, "fe80::1");
    m_report.m_strText.clear();
    TestTable().ReportDevice(record, m_report);
    EXPECT_EQ(Text(),
              "lorixLOG X2 Ger\xe4t gefunden\r\n"
              "  an IPv4 Adresse 192.168.1.20\r\n"
              "  an IPv6 Adresse fe80::1\r\n"
              "  Host-Name = 'dev1'\r\n"
              "  DNS-Name = 'dev1.lan'\r\n"
              "  Serien-Nummer = A1234\r\n"
              "  Firmware-Version = 1.0\r\n"
              "\r\n");
}

TEST_F(DeviceDescription, LeavesOutLinesOfMissingFields) {
    DeviceRecord record{};
    std::strcpy(record.szModel, "lorixA");
    std::strcpy(record.szModelDetail, "B");
    m_report.m_strText.clear();
    TestTable().ReportDevice(record, m_report);
    EXPECT_EQ(Text(),
              "Found lorixA B device\r\n"
              "  serial number = \r\n"
              "  firmware version = \r\n"
              "\r\n");
}

TEST_F(DeviceDescription, HostNameLineOnlyWhenItDiffersFromTheDnsName) {
    DeviceRecord record = MakeRecord("7");
    std::strcpy(record.szHostName, "same.lan");
    std::strcpy(record.szDnsName, "same.lan");
    m_report.m_strText.clear();
    TestTable().ReportDevice(record, m_report);
    EXPECT_EQ(Text().find("host name"), std::string::npos);
    EXPECT_NE(Text().find("  DNS name = 'same.lan'\r\n"), std::string::npos);

    record.szDnsName[0] = '\0';
    m_report.m_strText.clear();
    TestTable().ReportDevice(record, m_report);
    EXPECT_NE(Text().find("  host name = 'same.lan'\r\n"), std::string::npos);
    EXPECT_EQ(Text().find("DNS name"), std::string::npos);
}

TEST_F(DeviceDescription, SearchStartOnEmptyTableWritesBannerEmptyLineAndSearchingLine) {
    // A table is too large for a thread's stack on Windows.
    auto pInfo = std::make_unique<CDeviceInfo>();
    CDeviceInfo& info = *pInfo;
    info.ReportSearchStart(m_report);
    EXPECT_EQ(Text(),
              std::string(kEnglishBanner) + "\r\nSearching lorix devices (please wait) ...\r\n");

    UseLanguage("de-DE");
    info.ReportSearchStart(m_report);
    EXPECT_EQ(Text(),
              std::string(kGermanBanner) + "\r\nSuche lorix Ger\xe4te (bitte warten) ...\r\n");
}

TEST_F(DeviceDescription, SearchStartDescribesStoredRecords) {
    // A table is too large for a thread's stack on Windows.
    auto pInfo = std::make_unique<CDeviceInfo>();
    CDeviceInfo& info = *pInfo;
    info.AddDevice(MakeRecord("A"));
    info.ReportSearchStart(m_report);
    EXPECT_EQ(Text(), std::string(kEnglishBanner) +
                          "\r\nSearching lorix devices (please wait) ...\r\n"
                          "\r\nFound lorixLOG X2 device\r\n"
                          "  at IPv4 address 192.168.1.20\r\n"
                          "  serial number = A\r\n"
                          "  firmware version = 1.0\r\n\r\n");
}

TEST(DeviceDescriptionWithoutWindow, WritesNothingAndChangesNothing) {
    auto pInfo = std::make_unique<CDeviceInfo>();
    CDeviceInfo& info = *pInfo;
    info.AddDevice(MakeRecord("A"));
    CNullReport none;
    info.ReportSearchStart(none);
    info.ReportDevice(info.m_aDevices[0], none);
    EXPECT_EQ(info.m_nDevices, 1);
    EXPECT_STREQ(info.m_aDevices[0].szSerialNumber, "A");
}

}  // namespace
