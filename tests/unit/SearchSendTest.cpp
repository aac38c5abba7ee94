// The queries of a search: where they go, and what a send that fails does.
#include <gtest/gtest.h>

#include <string>

#include "SearchFixture.h"

namespace {

// --- Failures: each ends the search with its error line and location line, closes the socket,
//     and leaves out the done line. ---

TEST_F(Search, SocketThatCannotBeCreated) {
    m_net.m_nSocketError = net::WSAEMFILE;
    Reply(10, "192.168.1.20", "TVK,lorixA,B,1");
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(Text(), std::string(kEnglishBanner) +
                          "\r\nSearching lorix devices (please wait) ...\r\n"
                          "\r\nERROR: Could not create IPv4 socket\r\n\r\n" +
                          Location(270));
    EXPECT_EQ(info.m_nDevices, 0);
    EXPECT_EQ(m_net.m_nSocketsClosed, 0);
    EXPECT_EQ(m_report.m_nErrors, 1);
}

TEST_F(Search, SendErrorTexts) {
    struct Case {
        int nError;
        const char* pszLine;
    };
    const Case cases[] = {
        {net::WSAECONNABORTED, "ERROR: sendto(UDP) returned ABORTED.\r\n"},
        {net::WSAECONNRESET, "ERROR: sendto(UDP) returned RESET.\r\n"},
        {net::WSAESHUTDOWN, "ERROR: sendto(UDP) returned SHUTDOWN.\r\n"},
        {net::WSAENETUNREACH, "ERROR: sendto(UDP) returned 10051.\r\n"},
    };
    for (const Case& c : cases) {
        net::ScriptedSocketLayer layer;
        net::InstallSocketLayer(&layer);
        layer.m_nFailingSend = 0;
        layer.m_nSendError = c.nError;
        layer.AddDatagram(10, "192.168.1.20", 9959, "TVK,lorixA,B,1");
        info.SearchDevices(m_report, nullptr);
        EXPECT_EQ(AfterStart(), std::string(c.pszLine) + "\r\n" + Location(518));
        EXPECT_EQ(layer.m_nSocketsClosed, 1);
        EXPECT_EQ(info.m_nDevices, 0) << "no reply is received after a failed send";
    }
}

TEST_F(Search, ShortSendToTheLimitedBroadcast) {
    m_net.m_nShortSend = 0;
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(AfterStart(), "ERROR in sendto(): Sent 3 instead of 5 bytes.\r\n" + Location(528));
    ExpectSocketClosedOnce();
}

TEST_F(Search, ShortSendToAnInterface) {
    m_net.AddInterface("192.168.1.5", "255.255.255.0");
    m_net.m_nShortSend = 1;
    m_net.m_nShortSendBytes = 0;
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(AfterStart(), "ERROR in sendto(): Sent 0 instead of 5 bytes.\r\n" + Location(611));
    ExpectSocketClosedOnce();
}

// --- Sends that fail for some networks only (no route, a firewall, a VPN) ---

TEST_F(Search, AFailedSendIsAWarningAndTheSearchGoesOn) {
    m_net.AddInterface("192.168.1.5", "255.255.255.0");
    m_net.AddInterface("10.99.0.1", "255.255.255.0");
    m_net.AddInterface("192.168.2.5", "255.255.255.0");
    m_net.FailSendsTo("10.99.0.255", net::WSAEACCES);
    Reply(300, "192.168.2.20", "TVK,lorixA,B,S2");
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(AfterStart(),
              "WARNING: sendto(UDP) to 10.99.0.255 returned 10013 (permission denied).\r\n"
              "\r\n"
              "Found lorixA B device\r\n"
              "  at IPv4 address 192.168.2.20\r\n"
              "  serial number = S2\r\n"
              "  firmware version = \r\n"
              "\r\n"
              "... done.\r\n");
    ASSERT_EQ(m_net.m_aSent.size(), 3u);
    EXPECT_EQ(SentTo(2), "192.168.2.255") << "the networks after the failed one get the query";
    EXPECT_EQ(m_report.m_nWarnings, 1);
    EXPECT_EQ(m_report.m_nErrors, 0);
    ExpectSocketClosedOnce();
}

TEST_F(Search, AFailedLimitedBroadcastIsAWarningInGermanToo) {
    UseLanguage("de-DE");
    m_net.AddInterface("192.168.1.5", "255.255.255.0");
    m_net.FailSendsTo("255.255.255.255", net::WSAENETUNREACH);
    Reply(300, "192.168.1.20", "TVK,lorixA,B,S1");
    info.SearchDevices(m_report, nullptr);
    EXPECT_NE(Text().find("\r\n\r\nWARNING: sendto(UDP) an 255.255.255.255 lieferte 10051 (Netz "
                          "nicht erreichbar).\r\n\r\n"),
              std::string::npos)
        << Text();
    EXPECT_EQ(info.m_nDevices, 1);
    EXPECT_NE(Text().find("... fertig.\r\n"), std::string::npos);
}

TEST_F(Search, WhenNoQueryGoesOutTheLastFailureEndsTheSearch) {
    m_net.AddInterface("192.168.1.5", "255.255.255.0");
    m_net.AddInterface("192.168.2.5", "255.255.255.0");
    m_net.FailSendsTo("255.255.255.255", net::WSAENETUNREACH);
    m_net.FailSendsTo("192.168.1.255", net::WSAENETUNREACH);
    m_net.FailSendsTo("192.168.2.255", net::WSAEACCES);
    Reply(10, "192.168.1.20", "TVK,lorixA,B,1");
    info.m_nVerbosity = 1;
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(AfterStart(),
              "IPv4 broadcast onto '255.255.255.255'.\r\n"
              "\r\n"
              "WARNING: sendto(UDP) to 255.255.255.255 returned 10051 (network unreachable).\r\n"
              "\r\n"
              "IPv4 broadcast onto '192.168.1.255'.\r\n"
              "\r\n"
              "WARNING: sendto(UDP) to 192.168.1.255 returned 10051 (network unreachable).\r\n"
              "\r\n"
              "IPv4 broadcast onto '192.168.2.255'.\r\n"
              "\r\n"
              "ERROR: sendto(UDP) returned 10013.\r\n"
              "\r\n" +
                  Location(601));
    EXPECT_EQ(info.m_nDevices, 0) << "nothing is received when no query went out";
    EXPECT_EQ(m_report.m_nErrors, 1);
    ExpectSocketClosedOnce();
}

// --- Broadcast targets ---

TEST_F(Search, EachBroadcastAddressGetsTheQueryOnce) {
    // Several addresses on one network (as on a host with aliases), and a /0 network whose
    // directed broadcast is the limited one.
    m_net.AddInterface("10.77.0.1", "255.255.255.0");
    m_net.AddInterface("10.77.0.20", "255.255.255.0");
    m_net.AddInterface("10.78.0.1", "255.255.255.0");
    m_net.AddInterface("10.77.0.21", "255.255.255.0");
    m_net.AddInterface("10.5.0.1", "0.0.0.0");
    info.m_nVerbosity = 1;
    info.SearchDevices(m_report, nullptr);
    ASSERT_EQ(m_net.m_aSent.size(), 3u);
    EXPECT_EQ(SentTo(0), "255.255.255.255");
    EXPECT_EQ(SentTo(1), "10.77.0.255");
    EXPECT_EQ(SentTo(2), "10.78.0.255");
    EXPECT_EQ(AfterStart(),
              "IPv4 broadcast onto '255.255.255.255'.\r\n"
              "\r\n"
              "IPv4 broadcast onto '10.77.0.255'.\r\n"
              "IPv4 broadcast onto '10.78.0.255'.\r\n"
              "\r\n"
              "... done.\r\n");
}

TEST_F(Search, MoreThanSixtyFourAddressesAreAllQueried) {
    for (int i = 0; i < 150; ++i) {
        const std::string address = "10." + std::to_string(i) + ".0.1";
        m_net.AddInterface(address.c_str(), "255.255.0.0");
    }
    info.SearchDevices(m_report, nullptr);
    ASSERT_EQ(m_net.m_aSent.size(), 151u);
    EXPECT_EQ(SentTo(150), "10.149.255.255");
    EXPECT_EQ(m_report.m_nWarnings, 0);
}

}  // namespace
