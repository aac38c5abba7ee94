// Searches on real sockets, inside a network namespace that this test process makes for itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "../unit/ReportFixture.h"
#include "DeviceInfo.h"
#include "Sandbox.h"

namespace {

bool g_bInSandbox = false;
std::string g_why;

std::string Location(int nLine) {
    return " in ::SearchDevices() in \"DeviceInfo.cpp\" line " + std::to_string(nLine) + "\r\n";
}

/// The system socket layer without its interface list, so that only the limited broadcast goes
/// out.
class NoInterfaceListLayer final : public net::SocketLayer {
public:
    net::SocketLayer& s = net::SystemSocketLayer();
    int WSAStartup(std::uint16_t v, net::WSADATA* d) override { return s.WSAStartup(v, d); }
    int WSACleanup() override { return s.WSACleanup(); }
    net::SOCKET socket(int a, int t, int p) override { return s.socket(a, t, p); }
    int setsockopt(net::SOCKET k, int l, int n, const char* v, int len) override {
        return s.setsockopt(k, l, n, v, len);
    }
    int sendto(net::SOCKET k, const char* b, int l, int f, const net::sockaddr* to,
               int tl) override {
        return s.sendto(k, b, l, f, to, tl);
    }
    int recvfrom(net::SOCKET k, char* b, int l, int f, net::sockaddr* from, int* fl) override {
        return s.recvfrom(k, b, l, f, from, fl);
    }
    int WSAIoctl(net::SOCKET, unsigned long, void*, unsigned long, void*, unsigned long,
                 unsigned long*) override {
        m_nLastError = net::WSAEINVAL;
        return net::SOCKET_ERROR;
    }
    int select(int n, net::fd_set* r, net::fd_set* w, net::fd_set* e,
               const net::timeval* t) override {
        return s.select(n, r, w, e, t);
    }
    int shutdown(net::SOCKET k, int h) override { return s.shutdown(k, h); }
    int closesocket(net::SOCKET k) override { return s.closesocket(k); }
    int WSAGetLastError() override { return m_nLastError ? m_nLastError : s.WSAGetLastError(); }
    std::uint32_t GetTickCount() override { return s.GetTickCount(); }
    int m_nLastError = 0;
};

class Network : public RegisteredReport {
protected:
    void SetUp() override {
        if (!g_bInSandbox) {
            GTEST_SKIP() << "no private network namespace: " << g_why;
        }
        RegisteredReport::SetUp();
        g_DeviceInfo.ClearDevices();
    }
    void TearDown() override {
        net::InstallSocketLayer(nullptr);
        RegisteredReport::TearDown();
    }
    std::string Block(const char* pszModel, const char* pszDetail, const char* pszAddress,
                      const char* pszHost, const char* pszDns, const char* pszSerial,
                      const char* pszFirmware) {
        std::string block = std::string("Found ") + pszModel + " " + pszDetail + " device\r\n" +
                            "  at IPv4 address " + pszAddress + "\r\n";
        if (std::strcmp(pszHost, pszDns) != 0) {
            block += std::string("  host name = '") + pszHost + "'\r\n";
        }
        if (*pszDns) {
            block += std::string("  DNS name = '") + pszDns + "'\r\n";
        }
        return block + "  serial number = " + pszSerial +
               "\r\n  firmware version = " + pszFirmware + "\r\n\r\n";
    }
};

TEST_F(Network, FindsAndDescribesTheSimulatedDevices) {
    sandbox::Simulator sim({"--device", "10.77.0.21", "--serial", "B2", "--name", "lab.example.lan",
                            "--device", "10.77.0.20", "--serial", "A1", "--name", "A1", "--detail",
                            "X", "--firmware", "1.0"});
    ASSERT_TRUE(sim.IsReady());
    g_DeviceInfo.SearchDevices();
    EXPECT_EQ(Text(),
              std::string(kEnglishBanner) +
                  "\r\nSearching lorix devices (please wait) ...\r\n\r\n" +
                  Block("lorixLOG", "LX-8", "10.77.0.21", "lab", "lab.example.lan", "B2", "3.1.4") +
                  Block("lorixLOG", "X", "10.77.0.20", "A1", "", "A1", "1.0") + "... done.\r\n")
        << "devices are described in the order they answer";
    ASSERT_EQ(g_DeviceInfo.m_nDevices, 2);
    EXPECT_STREQ(g_DeviceInfo.m_aDevices[0].szSerialNumber, "A1") << "the table is sorted";
    EXPECT_EQ(net::ntohs(g_DeviceInfo.m_aDevices[0].addrIPv4.sin_port), 9959);
}

TEST_F(Network, LimitedBroadcastWithoutRouteReachesTheDevices) {
    ASSERT_NE(std::system("ip route show default | grep -q ."), 0)
        << "the sandbox has a default route";
    sandbox::Simulator sim({"--device", "10.77.0.20"});
    ASSERT_TRUE(sim.IsReady());
    NoInterfaceListLayer layer;
    net::InstallSocketLayer(&layer);
    g_DeviceInfo.SearchDevices();
    EXPECT_EQ(m_report.m_nErrors, 0) << Text();
    EXPECT_EQ(g_DeviceInfo.m_nDevices, 1);
    EXPECT_NE(Text().find("... done.\r\n"), std::string::npos);
}

TEST_F(Network, AnswersToTheLimitedAndTheDirectedBroadcastAreDescribedOnce) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--twice"});
    ASSERT_TRUE(sim.IsReady());
    g_DeviceInfo.m_nVerbosity = 1;
    g_DeviceInfo.SearchDevices();
    g_DeviceInfo.m_nVerbosity = 0;
    EXPECT_NE(Text().find("IPv4 broadcast onto '10.77.0.255'.\r\n"), std::string::npos);
    EXPECT_EQ(g_DeviceInfo.m_nDevices, 1);
    EXPECT_EQ(Text().find("Found"), Text().rfind("Found"));
}

TEST_F(Network, SearchesTwoSubnets) {
    sandbox::Simulator sim(
        {"--device", "10.77.0.25", "--serial", "N77", "--device", "10.78.0.25", "--serial", "N78"});
    ASSERT_TRUE(sim.IsReady());
    g_DeviceInfo.SearchDevices();
    ASSERT_EQ(g_DeviceInfo.m_nDevices, 2) << Text();
    EXPECT_STREQ(g_DeviceInfo.m_aDevices[0].szIPv4, "10.77.0.25");
    EXPECT_STREQ(g_DeviceInfo.m_aDevices[1].szIPv4, "10.78.0.25");
}

TEST_F(Network, OversizedReplyEndsTheSearch) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--pad-to", "1600"});
    ASSERT_TRUE(sim.IsReady());
    g_DeviceInfo.SearchDevices();
    const std::string tail = "ERROR: recvfrom(UDP) returned 10040.\r\n\r\n" + Location(719);
    ASSERT_GE(Text().size(), tail.size());
    EXPECT_EQ(Text().substr(Text().size() - tail.size()), tail);
    EXPECT_EQ(g_DeviceInfo.m_nDevices, 0);
}

// --- The command-line finder ---

class Finder : public Network {};

TEST_F(Finder, PrintsHostileRepliesLiterallyAndSafely) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--reply",
                            "TVK,lorix%s%n,%x%d,S\\e[31m1,h\\xe4st\\x07.lan,1.0\\r\\n"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {});
    EXPECT_EQ(result.nExitStatus, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("Found lorix%s%n %x%d device\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("  serial number = S\\x1b[31m1\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("  host name = 'h\xc3\xa4st\\x07'\n"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("  firmware version = 1.0\n\n"), std::string::npos) << result.out;
    for (char c : result.out) {
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20)
            << "raw control byte " << int(c);
    }
}

TEST_F(Finder, WritesJsonThatParsesAndTheReportToStandardError) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--serial", "A\"1", "--name", "dev.lan"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--json"});
    EXPECT_EQ(result.nExitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("Found lorixLOG LX-8 device\n"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("\"url\": \"http://10.77.0.20/\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\"serial_number\": \"A\\\"1\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\"port\": 9959"), std::string::npos) << result.out;
    const auto parsed = sandbox::RunProgram(
        "/usr/bin/env",
        {"python3", "-c",
         "import json,sys; d=json.loads(sys.argv[1]); assert d[0]['dns_name']=='dev.lan', d",
         result.out});
    EXPECT_EQ(parsed.nExitStatus, 0) << parsed.err;
}

TEST_F(Finder, ExitStatusOneWhenNoDeviceAnswersAndGermanReport) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--reply", "TVK,other,1,2"});
    ASSERT_TRUE(sim.IsReady());
    const auto result =
        sandbox::RunProgram(LORIXLOG_FIND_PATH, {}, {"LANG=de_DE.UTF-8", "LC_ALL=", "LANGUAGE="});
    EXPECT_EQ(result.nExitStatus, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("Suche lorix Ger\xc3\xa4te (bitte warten) ...\n\n... fertig.\n"),
              std::string::npos)
        << result.out;
}

TEST_F(Finder, ExitStatusTwoWhenTheSearchFails) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--pad-to", "2000"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--csv"});
    EXPECT_EQ(result.nExitStatus, 2) << result.out << result.err;
    EXPECT_EQ(result.out,
              "ipv4,port,ipv6,dns_name,maker,model,model_detail,serial_number,host_name,"
              "firmware_version,url\r\n");
    EXPECT_NE(result.err.find("ERROR: recvfrom(UDP) returned 10040.\n"), std::string::npos)
        << result.err;
}

TEST_F(Network, SimulatedDeviceServesItsPage) {
    sandbox::Simulator sim({"--device", "10.77.0.23", "--serial", "P42", "--model", "lorixLOG"});
    ASSERT_TRUE(sim.IsReady());
    const auto page =
        sandbox::RunProgram("/usr/bin/env", {"curl", "-s", "-m", "5", "http://10.77.0.23/"});
    EXPECT_EQ(page.nExitStatus, 0) << page.err;
    EXPECT_NE(page.out.find("<title>lorixLOG P42</title>"), std::string::npos) << page.out;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    bool bListing = false;
    for (int i = 1; i < argc; ++i) {
        bListing = bListing || std::strstr(argv[i], "list_tests") != nullptr;
    }
    if (!bListing) {
        g_bInSandbox = sandbox::EnterPrivateNetwork(2, &g_why);
        if (!g_bInSandbox && geteuid() == 0) {
            std::fprintf(stderr, "cannot make the private test network: %s\n", g_why.c_str());
            return 1;
        }
    }
    return RUN_ALL_TESTS();
}
