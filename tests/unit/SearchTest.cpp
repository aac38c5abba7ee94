#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DeviceInfo.h"
#include "ReportFixture.h"
#include "ScriptedSocketLayer.h"
#include "Search.h"
#include "Texts.h"

#include "SearchFixture.h"

namespace {

TEST_F(Search, WithoutAnswerEndsAfterTheQuietPeriodWithTheDoneLine) {
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(AfterStart(), "... done.\r\n");
    EXPECT_EQ(info.m_nDevices, 0);
    EXPECT_EQ(m_net.Elapsed(), 3900u);
    ASSERT_EQ(m_net.m_aSent.size(), 1u);
    EXPECT_EQ(SentTo(0), "255.255.255.255");
    EXPECT_EQ(net::ntohs(m_net.m_aSent[0].to.sin_port), 9959);
    EXPECT_EQ(m_net.m_aSent[0].bytes, "*IDN?");
    EXPECT_TRUE(m_net.m_bBroadcastPermitted);
    ExpectSocketClosedOnce();
}

// Nothing found inside a virtual machine behind its host's NAT (WSL 2, VirtualBox's default
// network): the report says why, and only there.
TEST_F(Search, NothingFoundBehindAVirtualMachinesNatSaysWhy) {
    const struct {
        const char* pszRelease;
        std::vector<const char*> addresses;
        bool bHint;
    } cases[] = {
        {"6.1.0-28-amd64", {"192.168.1.5"}, false},
        {"5.15.153.1-microsoft-standard-WSL2", {"172.28.80.2"}, true},
        {"6.1.0-28-amd64", {"127.0.0.1", "10.0.2.15"}, true},
        {"6.1.0-28-amd64", {"10.0.2.15", "192.168.56.101"}, false},
        {"6.1.0-28-amd64", {}, false},
    };
    for (const auto& c : cases) {
        net::ScriptedSocketLayer layer;
        layer.m_systemRelease = c.pszRelease;
        for (const char* pszAddress : c.addresses) {
            layer.AddInterface(pszAddress,
                               pszAddress[0] == '1' && pszAddress[1] == '2' && pszAddress[2] == '7'
                                   ? "255.0.0.0"
                                   : "255.255.255.0");
        }
        net::InstallSocketLayer(&layer);
        m_report.Reset();
        const SearchOutcome outcome = info.SearchDevices(m_report, nullptr);
        ReportNoDeviceAnswered(m_report, info, outcome, texts::FindTargetsHint);
        EXPECT_EQ(outcome.bBehindVirtualNat, c.bHint) << c.pszRelease;
        EXPECT_EQ(Text().find("behind its host's NAT") != std::string::npos, c.bHint) << Text();
        net::InstallSocketLayer(&m_net);
    }
}

TEST_F(Search, DescribesAFoundDeviceInEnglishAndGerman) {
    Reply(250, "192.168.1.20", "TVK,lorixLOG,X2,A1234,lab-logger.lan,1.0.7");
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(AfterStart(),
              "Found lorixLOG X2 device\r\n"
              "  at IPv4 address 192.168.1.20\r\n"
              "  host name = 'lab-logger'\r\n"
              "  DNS name = 'lab-logger.lan'\r\n"
              "  serial number = A1234\r\n"
              "  firmware version = 1.0.7\r\n"
              "\r\n"
              "... done.\r\n");
    ASSERT_EQ(info.m_nDevices, 1);
    const DeviceRecord& d = info.m_aDevices[0];
    EXPECT_STREQ(d.szMaker, "TVK");
    EXPECT_EQ(d.addrIPv4.sin_family, net::AF_INET);
    EXPECT_EQ(net::ntohs(d.addrIPv4.sin_port), 9959);
    EXPECT_EQ(d.szIPv6[0], '\0');
    EXPECT_EQ(m_net.Elapsed(), 250u + 3900u);

    UseLanguage("de-DE");
    Reply(4300, "192.168.1.20", "TVK,lorixLOG,X2,A1234,lab-logger,1.0.7");
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(Text(), std::string(kGermanBanner) +
                          "\r\nSuche lorix Ger\xe4te (bitte warten) ...\r\n\r\n"
                          "lorixLOG X2 Ger\xe4t gefunden\r\n"
                          "  an IPv4 Adresse 192.168.1.20\r\n"
                          "  Host-Name = 'lab-logger'\r\n"
                          "  Serien-Nummer = A1234\r\n"
                          "  Firmware-Version = 1.0.7\r\n"
                          "\r\n"
                          "... fertig.\r\n");
}

TEST_F(Search, BroadcastsToEveryInterfaceButLoopback) {
    m_net.AddInterface("127.0.0.1", "255.0.0.0");
    m_net.AddInterface("192.168.1.5", "255.255.255.0");
    m_net.AddInterface("10.1.2.3", "255.255.0.0");
    info.m_nVerbosity = 1;
    info.SearchDevices(m_report, nullptr);
    ASSERT_EQ(m_net.m_aSent.size(), 3u);
    EXPECT_EQ(SentTo(0), "255.255.255.255");
    EXPECT_EQ(SentTo(1), "192.168.1.255");
    EXPECT_EQ(SentTo(2), "10.1.255.255");
    for (const auto& sent : m_net.m_aSent) {
        EXPECT_EQ(sent.bytes, "*IDN?");
        EXPECT_EQ(net::ntohs(sent.to.sin_port), 9959);
    }
    EXPECT_EQ(AfterStart(),
              "IPv4 broadcast onto '255.255.255.255'.\r\n"
              "\r\n"
              "IPv4 broadcast onto '192.168.1.255'.\r\n"
              "IPv4 broadcast onto '10.1.255.255'.\r\n"
              "\r\n"
              "... done.\r\n");
}

TEST_F(Search, UsesASoleLoopbackInterface) {
    m_net.AddInterface("127.0.0.1", "255.0.0.0");
    info.SearchDevices(m_report, nullptr);
    ASSERT_EQ(m_net.m_aSent.size(), 2u);
    EXPECT_EQ(SentTo(1), "127.255.255.255");
}

TEST_F(Search, WithoutInterfaceListSendsOnlyTheLimitedBroadcastAndReportsNothing) {
    m_net.AddInterface("192.168.1.5", "255.255.255.0");
    m_net.m_bInterfaceListFails = true;
    info.SearchDevices(m_report, nullptr);
    ASSERT_EQ(m_net.m_aSent.size(), 1u);
    EXPECT_EQ(AfterStart(), "... done.\r\n");
}

TEST_F(Search, GermanTargetLine) {
    UseLanguage("de-AT");
    info.m_nVerbosity = 2;
    info.SearchDevices(m_report, nullptr);
    EXPECT_NE(Text().find("IPv4 broadcast auf '255.255.255.255'.\r\n"), std::string::npos);
    EXPECT_NE(Text().find("... fertig.\r\n"), std::string::npos);
}

TEST_F(Search, RepeatedAnswersAreDescribedOnce) {
    const std::string reply = "TVK,lorixLOG,X2,A1,dev1,1.0";
    Reply(10, "192.168.1.20", reply);
    Reply(20, "192.168.1.20", reply);
    Reply(30, "192.168.1.20", reply, 40000);  // same device, other port: a record of its own
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 2);
    std::size_t nFound = 0;
    for (std::size_t p = Text().find("Found"); p != std::string::npos;
         p = Text().find("Found", p + 1)) {
        ++nFound;
    }
    EXPECT_EQ(nFound, 2u);
}

TEST_F(Search, QuietPeriodEndsWithTheTenthPassAfterThreeSeconds) {
    Reply(100, "192.168.1.20", "TVK,lorixA,B,1");
    Reply(3999, "192.168.1.21", "TVK,lorixA,B,2");         // in the wait of the ninth counted pass
    Reply(3999 + 3901, "192.168.1.22", "TVK,lorixA,B,3");  // after the tenth
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 2);
    EXPECT_EQ(m_net.Elapsed(), 3999u + 3900u);
}

TEST_F(Search, QuietPeriodSurvivesTheClockWrapping) {
    net::ScriptedSocketLayer wrapping(0xFFFFFFFFu - 1000u);
    net::InstallSocketLayer(&wrapping);
    wrapping.AddDatagram(500, "192.168.1.20", 9959, "TVK,lorixA,B,1");
    wrapping.AddDatagram(1500, "192.168.1.21", 9959, "TVK,lorixA,B,2");  // after the wrap
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 2);
    EXPECT_EQ(wrapping.Elapsed(), 1500u + 3900u);
    EXPECT_LT(wrapping.m_nNow, 10000u) << "the tick count wrapped";
}

TEST_F(Search, InvalidRepliesAreDroppedSilentlyButRestartTheQuietPeriod) {
    Reply(1000, "192.168.1.20", "TVK,lorixA");                       // too few fields
    Reply(2000, "192.168.1.21", "tvk,lorixA,B,1");                   // maker case
    Reply(3000, "192.168.1.22", "TVK,LorixA,B,1");                   // model prefix case
    Reply(4000, "192.168.1.23", "XYZ,lorixA,B,1");                   // no prefix
    Reply(5000, "192.168.1.24", "TVK,lorix");                        // prefix only
    Reply(6000, "192.168.1.25", "");                                 // empty datagram
    Reply(7000, "192.168.1.26", std::string("TVK,lorixA\0,B", 13));  // zero byte ends the text
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 0);
    EXPECT_EQ(AfterStart(), "... done.\r\n");
    EXPECT_EQ(m_net.Elapsed(), 7000u + 3900u);
}

TEST_F(Search, SplitsFieldsLikeStrtok) {
    Reply(10, "192.168.1.20", "TVK,lorixA,B");
    Reply(20, "192.168.1.21", "TVK,lorixC,,B,123");
    Reply(30, "192.168.1.22", "TVK,lorixD,B,124,dev1.lan,1.0,extra,fields");
    Reply(40, "192.168.1.23", "TVK,lorixE,B,125,host,2.0\r\n");
    Reply(50, "192.168.1.24", "TVK,lorixF, spaced ,126,a.b.c, 3 ");
    Reply(60, "192.168.1.25", "TVK,lorixG,B,127,h\r,\n\r\n\n");
    Reply(70, "192.168.1.26", "TVK,lorixH,B,128\n");
    info.SearchDevices(m_report, nullptr);
    ASSERT_EQ(info.m_nDevices, 7);
    const DeviceRecord* d = info.m_aDevices;
    // Three fields only: empty serial number, sorted first.
    EXPECT_STREQ(d[0].szModel, "lorixA");
    EXPECT_STREQ(d[0].szSerialNumber, "");
    EXPECT_STREQ(d[0].szHostName, "");
    EXPECT_STREQ(d[0].szFirmwareVersion, "");
    EXPECT_STREQ(d[1].szModelDetail, "B");
    EXPECT_STREQ(d[1].szSerialNumber, "123");
    EXPECT_STREQ(d[2].szHostName, "dev1");
    EXPECT_STREQ(d[2].szDnsName, "dev1.lan");
    EXPECT_STREQ(d[2].szFirmwareVersion, "1.0");
    EXPECT_STREQ(d[3].szHostName, "host");
    EXPECT_STREQ(d[3].szDnsName, "");
    EXPECT_STREQ(d[3].szFirmwareVersion, "2.0") << "the line end of a reply is no field's";
    EXPECT_STREQ(d[4].szModelDetail, " spaced ");
    EXPECT_STREQ(d[4].szHostName, "a");
    EXPECT_STREQ(d[4].szDnsName, "a.b.c");
    EXPECT_STREQ(d[4].szFirmwareVersion, " 3 ");
    EXPECT_STREQ(d[5].szHostName, "h\r") << "control bytes inside a reply stay";
    EXPECT_STREQ(d[5].szFirmwareVersion, "") << "a field of line ends only is no field";
    EXPECT_STREQ(d[6].szSerialNumber, "128");
    EXPECT_EQ(Text().find("1.0\\x0d"), std::string::npos);
}

TEST_F(Search, CutsOverlongFieldsToTheirWidth) {
    const std::string serial(60, 'S');
    const std::string host(100, 'h');
    const std::string dns = host + "." + std::string(1200, 'd');
    Reply(10, "192.168.1.20",
          "TVK,lorix" + std::string(50, 'M') + ",D," + serial + "," + dns + ",F");
    info.SearchDevices(m_report, nullptr);
    ASSERT_EQ(info.m_nDevices, 1);
    const DeviceRecord& d = info.m_aDevices[0];
    EXPECT_EQ(std::strlen(d.szModel), 39u);
    EXPECT_EQ(std::string(d.szSerialNumber), serial.substr(0, 39));
    EXPECT_EQ(std::string(d.szHostName), host.substr(0, 79));
    EXPECT_EQ(std::string(d.szDnsName), dns.substr(0, 1027));
    EXPECT_STREQ(d.szFirmwareVersion, "F");
}

TEST_F(Search, StopsReceivingAfterThirtySecondsOfTraffic) {
    for (std::uint32_t t = 0; t < 60000; t += 500) {
        Reply(t, "192.168.1.20", "TVK,lorixA,B,1,dev,1.0");
    }
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 1);
    EXPECT_LE(m_net.Elapsed(), 30100u);
    EXPECT_GE(m_net.Elapsed(), 30000u);
    const std::string tail =
        "\r\n\r\nWARNING: Replies kept arriving for 30 seconds; the search stops here.\r\n"
        "\r\n... done.\r\n";
    ASSERT_GE(Text().size(), tail.size());
    EXPECT_EQ(Text().substr(Text().size() - tail.size()), tail);
    EXPECT_EQ(m_report.m_nWarnings, 1);
}

// A plant network: more devices than fit the table are all accounted for, and the warning that
// sums up the rest stands just before the end of the report.
TEST_F(Search, ReportsAFullTableOnceAtTheEndWithWhatWasLeftOut) {
    for (int i = 0; i < kMaxDevices + 5; ++i) {
        char szReply[64];
        std::snprintf(szReply, sizeof(szReply), "TVK,lorixA,B,%04d", kMaxDevices + 4 - i);
        const std::string from =
            "10.1." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1);
        Reply(static_cast<std::uint32_t>(i), from.c_str(), szReply);
        Reply(static_cast<std::uint32_t>(i), from.c_str(), szReply);  // the directed broadcast's
    }
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, kMaxDevices);
    EXPECT_STREQ(info.m_aDevices[0].szSerialNumber, "0005");
    EXPECT_STREQ(info.m_aDevices[kMaxDevices - 1].szSerialNumber, "1004");
    EXPECT_EQ(m_report.m_nWarnings, 1);
    const std::string tail =
        "WARNING: The device table is full (1000 devices); 5 further devices "
        "are not listed.\r\n\r\n... done.\r\n";
    ASSERT_GE(Text().size(), tail.size());
    EXPECT_EQ(Text().substr(Text().size() - tail.size()), tail);
}

// A host that answers with ever-new serial numbers keeps a few records, and the devices that
// answer after it are all stored.
TEST_F(Search, OneAddressCannotFillTheTable) {
    for (int i = 0; i < 200; ++i) {
        Reply(static_cast<std::uint32_t>(i), "10.0.0.66", "TVK,lorixA,B,F" + std::to_string(i));
    }
    Reply(300, "10.0.0.7", "TVK,lorixA,B,REAL7");
    Reply(301, "10.0.0.8", "TVK,lorixA,B,REAL8");
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, kMaxRecordsPerAddress + 2);
    EXPECT_NE(Text().find("REAL7"), std::string::npos);
    EXPECT_NE(Text().find("REAL8"), std::string::npos);
    EXPECT_NE(Text().find("WARNING: 10.0.0.66 answered as more than 4 different devices; 196 "
                          "further answers from it are not listed.\r\n"),
              std::string::npos)
        << Text();
    EXPECT_EQ(m_report.m_nWarnings, 1);
}

// --- Failures while receiving: each ends the search with its error line and location line,
//     closes the socket, and leaves out the done line. ---

TEST_F(Search, WaitThatFails) {
    Reply(10, "192.168.1.20", "TVK,lorixA,B,1");
    m_net.m_nFailingSelect = 1;
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 1) << "devices stored before the failure stay";
    const std::string tail = "ERROR: select(UDP) returned 10038.\r\n\r\n" + Location(650);
    EXPECT_EQ(Text().substr(Text().size() - tail.size()), tail);
    EXPECT_EQ(Text().find("... done."), std::string::npos);
    ExpectSocketClosedOnce();
}

// A signal that interrupts the wait (a watch's handler) is no failure: the search goes on.
TEST_F(Search, AnInterruptedWaitGoesOn) {
    Reply(10, "192.168.1.20", "TVK,lorixA,B,1");
    m_net.m_nFailingSelect = 1;
    m_net.m_nSelectError = net::WSAEINTR;
    const SearchOutcome outcome = info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(outcome.result, SearchOutcome::Completed) << Text();
    EXPECT_EQ(info.m_nDevices, 1);
    EXPECT_NE(Text().find("... done."), std::string::npos);
}

TEST_F(Search, ReceiveErrors) {
    struct Case {
        int nError;
        const char* pszLine;  // null: ignored
    };
    const Case cases[] = {
        {net::WSAEINTR, nullptr},
        {net::WSAEINVAL, nullptr},
        {net::WSAECONNRESET, nullptr},
        {net::WSAECONNABORTED, "ERROR: recvfrom(UDP) returned ABORTED.\r\n"},
        {net::WSAESHUTDOWN, "ERROR: recvfrom(UDP) returned SHUTDOWN.\r\n"},
        {net::WSAEHOSTUNREACH, "ERROR: recvfrom(UDP) returned 10065.\r\n"},
    };
    for (const Case& c : cases) {
        net::ScriptedSocketLayer layer;
        net::InstallSocketLayer(&layer);
        layer.AddReceiveError(100, c.nError);
        layer.AddDatagram(200, "192.168.1.20", 9959, "TVK,lorixA,B,1");
        info.SearchDevices(m_report, nullptr);
        if (c.pszLine == nullptr) {
            EXPECT_EQ(info.m_nDevices, 1) << c.nError;
            EXPECT_EQ(layer.Elapsed(), 200u + 3900u) << c.nError;
            EXPECT_NE(Text().find("... done.\r\n"), std::string::npos) << c.nError;
        } else {
            EXPECT_EQ(info.m_nDevices, 0) << c.nError;
            EXPECT_EQ(AfterStart(), std::string(c.pszLine) + "\r\n" + Location(719));
        }
        EXPECT_EQ(layer.m_nSocketsClosed, 1);
    }
}

TEST_F(Search, IgnoredReceiveErrorDoesNotRestartTheQuietPeriod) {
    m_net.AddReceiveError(2000, net::WSAECONNRESET);
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(m_net.Elapsed(), 3900u);
}

// A datagram too long for the buffer may come from any host that saw the query; it must not end
// the search for everybody. A sender that answers every broadcast is warned of once.
TEST_F(Search, OversizedDatagramIsDroppedWithAWarningAndCountsAsTraffic) {
    for (std::uint32_t nAt : {10u, 20u, 30u}) {
        Reply(nAt, "192.168.1.99", "TVK,lorixA,B," + std::string(1500, 'x'), 4444);
    }
    Reply(2500, "192.168.1.20", "TVK,lorixA,B,S1");
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(AfterStart(),
              "WARNING: recvfrom(UDP) returned 10040: a datagram from 192.168.1.99:4444 was too "
              "long and is dropped.\r\n"
              "\r\n"
              "Found lorixA B device\r\n"
              "  at IPv4 address 192.168.1.20\r\n"
              "  serial number = S1\r\n"
              "  firmware version = \r\n"
              "\r\n"
              "... done.\r\n");
    EXPECT_EQ(info.m_nDevices, 1);

    // A layer that reports the truncated datagram by its whole length; the oversized datagram
    // restarts the quiet period.
    net::ScriptedSocketLayer layer;
    net::InstallSocketLayer(&layer);
    layer.m_bReportTruncatedLength = true;
    layer.AddDatagram(2000, "192.168.1.98", 9959, std::string(1472, 'x'));
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(AfterStart(),
              "WARNING: recvfrom(UDP) returned 10040: a datagram from 192.168.1.98:9959 was too "
              "long and is dropped.\r\n"
              "\r\n"
              "... done.\r\n");
    EXPECT_EQ(layer.Elapsed(), 2000u + 3900u);
}

TEST_F(Search, AFloodOfOversizedDatagramsGetsFewReportLines) {
    for (std::uint32_t i = 0; i < 500; ++i) {
        const std::string from =
            "192.168." + std::to_string(i / 250) + "." + std::to_string(1 + i % 250);
        Reply(10 + i, from.c_str(), std::string(2000, 'x'));
    }
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(m_report.m_nWarnings, 11);
    EXPECT_NE(Text().find("WARNING: Further oversized datagrams are dropped without a report."),
              std::string::npos);
    EXPECT_NE(Text().find("... done.\r\n"), std::string::npos);
}

TEST_F(Search, DatagramOfExactly1471BytesIsAccepted) {
    std::string reply = "TVK,lorixA,B,1,";
    reply += std::string(1471 - reply.size(), 'h');
    Reply(10, "192.168.1.20", reply);
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 1);
}

TEST_F(Search, AddressThatCannotBeConvertedToText) {
    m_net.m_bNtoaFails = true;
    Reply(10, "192.168.1.20", "TVK,lorixA,B,1");
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(AfterStart(), "ERROR in inet_ntoa.\r\n" + Location(785));
    EXPECT_EQ(info.m_nDevices, 0);
    ExpectSocketClosedOnce();
}

TEST_F(Search, HostileRepliesAreStoredLiterallyAndShownEscaped) {
    Reply(10, "192.168.1.20", "TVK,lorix%s%n,%x%x,%s%n%d,\x1b[2J\xe4\xff.lan,%%");
    info.SearchDevices(m_report, nullptr);
    ASSERT_EQ(info.m_nDevices, 1);
    EXPECT_STREQ(info.m_aDevices[0].szDnsName, "\x1b[2J\xe4\xff.lan");
    EXPECT_NE(Text().find("Found lorix%s%n %x%x device\r\n"), std::string::npos);
    EXPECT_NE(Text().find("  serial number = %s%n%d\r\n"), std::string::npos);
    EXPECT_NE(Text().find("  DNS name = '\\x1b[2J\xe4\xff.lan'\r\n"), std::string::npos);
    EXPECT_NE(Text().find("  firmware version = %%\r\n"), std::string::npos);
}

// Line ends inside a field would let a device write lines that look like the program's own.
TEST_F(Search, DeviceTextCannotForgeReportLines) {
    Reply(10, "192.168.1.20",
          "TVK,lorixA,B\r\nERROR: x,S1,evil\r\nFound lorixA B device\r\n  at IPv4 address "
          "10.0.0.9,\rWARNING: y");
    info.SearchDevices(m_report, nullptr);
    ASSERT_EQ(info.m_nDevices, 1);
    EXPECT_EQ(AfterStart(),
              "Found lorixA B\\x0d\\x0aERROR: x device\r\n"
              "  at IPv4 address 192.168.1.20\r\n"
              "  host name = 'evil\\x0d\\x0aFound lorixA B device\\x0d\\x0a  at IPv4 "
              "address 10'\r\n"
              "  DNS name = 'evil\\x0d\\x0aFound lorixA B device\\x0d\\x0a  at IPv4 "
              "address 10.0.0.9'\r\n"
              "  serial number = S1\r\n"
              "  firmware version = \\x0dWARNING: y\r\n"
              "\r\n"
              "... done.\r\n");
    EXPECT_EQ(m_report.m_nErrors + m_report.m_nWarnings, 0);
}

// --- How the search ended, as a value for its caller ---

TEST_F(Search, TellsItsCallerHowItEnded) {
    Reply(10, "192.168.1.20", "TVK,lorixA,B,1");
    SearchOutcome outcome = info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(outcome.result, SearchOutcome::Completed);
    EXPECT_EQ(outcome.nError, 0);
    EXPECT_EQ(outcome.nLine, 0);
    EXPECT_EQ(outcome.nWarnings, 0);

    struct Case {
        const char* pszWhat;
        void (*arrange)(net::ScriptedSocketLayer&);
        SearchOutcome::Result result;
        int nError;
        int nLine;
        int nWarnings;
    };
    const Case cases[] = {
        {"socket", [](net::ScriptedSocketLayer& l) { l.m_nSocketError = net::WSAEMFILE; },
         SearchOutcome::Failed, net::WSAEMFILE, 270, 0},
        {"every send",
         [](net::ScriptedSocketLayer& l) {
             l.AddInterface("192.168.1.5", "255.255.255.0");
             l.FailSendsTo("255.255.255.255", net::WSAENETUNREACH);
             l.FailSendsTo("192.168.1.255", net::WSAEACCES);
         },
         SearchOutcome::Failed, net::WSAEACCES, 601, 1},
        {"short send", [](net::ScriptedSocketLayer& l) { l.m_nShortSend = 0; },
         SearchOutcome::Failed, 0, 528, 0},
        {"select", [](net::ScriptedSocketLayer& l) { l.m_nFailingSelect = 0; },
         SearchOutcome::Failed, net::WSAENOTSOCK, 650, 0},
        {"receive",
         [](net::ScriptedSocketLayer& l) { l.AddReceiveError(10, net::WSAECONNABORTED); },
         SearchOutcome::Failed, net::WSAECONNABORTED, 719, 0},
        {"one send",
         [](net::ScriptedSocketLayer& l) {
             l.AddInterface("192.168.1.5", "255.255.255.0");
             l.FailSendsTo("192.168.1.255", net::WSAEACCES);
         },
         SearchOutcome::CompletedWithWarnings, 0, 0, 1},
        {"oversized",
         [](net::ScriptedSocketLayer& l) {
             l.AddDatagram(10, "10.0.0.1", 1, std::string(1600, 'x'));
             l.AddDatagram(20, "10.0.0.2", 1, std::string(1600, 'x'));
         },
         SearchOutcome::CompletedWithWarnings, 0, 0, 2},
    };
    for (const Case& c : cases) {
        net::ScriptedSocketLayer layer;
        c.arrange(layer);
        net::InstallSocketLayer(&layer);
        outcome = info.SearchDevices(m_report, nullptr);
        EXPECT_EQ(outcome.result, c.result) << c.pszWhat;
        EXPECT_EQ(outcome.nError, c.nError) << c.pszWhat;
        EXPECT_EQ(outcome.nLine, c.nLine) << c.pszWhat;
        EXPECT_EQ(outcome.nWarnings, c.nWarnings) << c.pszWhat;
        EXPECT_EQ(outcome.nWarnings, m_report.m_nWarnings) << c.pszWhat;
        EXPECT_EQ(outcome.result == SearchOutcome::Failed,
                  Text().find("... done.") == std::string::npos)
            << c.pszWhat;
    }
    // The outcome does not depend on the report: without one it is the same.
    net::ScriptedSocketLayer layer;
    layer.m_nFailingSelect = 0;
    net::InstallSocketLayer(&layer);
    CNullReport none;
    outcome = info.SearchDevices(none, nullptr);
    EXPECT_EQ(outcome.result, SearchOutcome::Failed);
    EXPECT_EQ(outcome.nLine, 650);
}

// A search handed a report that keeps nothing works just the same.
TEST_F(Search, ANullReportTakesTheSearchWithoutAWord) {
    m_net.m_nFailingSelect = 3;
    Reply(10, "192.168.1.20", "TVK,lorixA,B,1");
    CNullReport none;
    info.SearchDevices(none, nullptr);
    EXPECT_EQ(info.m_nDevices, 1);
    ExpectSocketClosedOnce();
}

}  // namespace
