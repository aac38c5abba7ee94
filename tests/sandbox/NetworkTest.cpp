// Searches on real sockets, inside a network namespace that this test process makes for itself.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "NetworkFixture.h"

bool g_bInSandbox = false;
std::string g_why;

namespace {

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
    int ioctlsocket(net::SOCKET k, long c, unsigned long* a) override {
        return s.ioctlsocket(k, c, a);
    }
    int sendto(net::SOCKET k, const char* b, int l, int f, const net::sockaddr* to,
               int tl) override {
        return s.sendto(k, b, l, f, to, tl);
    }
    int recvfrom(net::SOCKET k, char* b, int l, int f, net::sockaddr* from, int* fl) override {
        return s.recvfrom(k, b, l, f, from, fl);
    }
    int RecvFromWithPacketInfo(net::SOCKET k, char* b, int l, net::sockaddr* from, int* fl,
                               net::in_pktinfo* i) override {
        return s.RecvFromWithPacketInfo(k, b, l, from, fl, i);
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
    bool ResolveIPv4(const char* n, std::vector<net::in_addr>* a) override {
        return s.ResolveIPv4(n, a);
    }
    int m_nLastError = 0;
};

TEST_F(Network, FindsAndDescribesTheSimulatedDevices) {
    sandbox::Simulator sim({"--device", "10.77.0.21", "--serial", "B2", "--name", "lab.example.lan",
                            "--device", "10.77.0.20", "--serial", "A1", "--name", "A1", "--detail",
                            "X", "--firmware", "1.0"});
    ASSERT_TRUE(sim.IsReady());
    TestTable().SearchDevices(m_report, nullptr);
    EXPECT_EQ(Text(),
              std::string(kEnglishBanner) +
                  "\r\nSearching lorix devices (please wait) ...\r\n\r\n" +
                  Block("lorixLOG", "LX-8", "10.77.0.21", "lab", "lab.example.lan", "B2", "3.1.4") +
                  Block("lorixLOG", "X", "10.77.0.20", "A1", "", "A1", "1.0") + "... done.\r\n")
        << "devices are described in the order they answer";
    ASSERT_EQ(TestTable().m_nDevices, 2);
    EXPECT_STREQ(TestTable().m_aDevices[0].szSerialNumber, "A1") << "the table is sorted";
    EXPECT_EQ(net::ntohs(TestTable().m_aDevices[0].addrIPv4.sin_port), 9959);
}

TEST_F(Network, LimitedBroadcastWithoutRouteReachesTheDevices) {
    ASSERT_NE(std::system("ip route show default | grep -q ."), 0)
        << "the sandbox has a default route";
    sandbox::Simulator sim({"--device", "10.77.0.20"});
    ASSERT_TRUE(sim.IsReady());
    NoInterfaceListLayer layer;
    net::InstallSocketLayer(&layer);
    TestTable().SearchDevices(m_report, nullptr);
    EXPECT_EQ(m_report.m_nErrors, 0) << Text();
    EXPECT_EQ(TestTable().m_nDevices, 1);
    EXPECT_NE(Text().find("... done.\r\n"), std::string::npos);
}

TEST_F(Network, AnswersToTheLimitedAndTheDirectedBroadcastAreDescribedOnce) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--twice"});
    ASSERT_TRUE(sim.IsReady());
    TestTable().m_nVerbosity = 1;
    TestTable().SearchDevices(m_report, nullptr);
    TestTable().m_nVerbosity = 0;
    EXPECT_NE(Text().find("IPv4 broadcast onto '10.77.0.255'.\r\n"), std::string::npos);
    EXPECT_EQ(TestTable().m_nDevices, 1);
    EXPECT_EQ(Text().find("Found"), Text().rfind("Found"));
}

TEST_F(Network, SearchesTwoSubnets) {
    sandbox::Simulator sim(
        {"--device", "10.77.0.25", "--serial", "N77", "--device", "10.78.0.25", "--serial", "N78"});
    ASSERT_TRUE(sim.IsReady());
    TestTable().SearchDevices(m_report, nullptr);
    ASSERT_EQ(TestTable().m_nDevices, 2) << Text();
    EXPECT_STREQ(TestTable().m_aDevices[0].szIPv4, "10.77.0.25");
    EXPECT_STREQ(TestTable().m_aDevices[1].szIPv4, "10.78.0.25");
}

TEST_F(Network, OversizedReplyIsDroppedAndTheOthersAreFound) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--pad-to", "1600", "--device", "10.77.0.21",
                            "--serial", "OK1", "--delay", "300"});
    ASSERT_TRUE(sim.IsReady());
    TestTable().SearchDevices(m_report, nullptr);
    EXPECT_NE(Text().find("WARNING: recvfrom(UDP) returned 10040: a datagram from 10.77.0.20:9959 "
                          "was too long and is dropped.\r\n"),
              std::string::npos)
        << Text();
    ASSERT_EQ(TestTable().m_nDevices, 1) << Text();
    EXPECT_STREQ(TestTable().m_aDevices[0].szSerialNumber, "OK1");
    EXPECT_NE(Text().find("... done.\r\n"), std::string::npos);
    EXPECT_EQ(m_report.m_nErrors, 0);
}

// An offline computer: only loopback is up, and the limited broadcast has no route.
class OnlyLoopback : public Network {
protected:
    void SetUp() override {
        Network::SetUp();
        if (!IsSkipped()) {
            ASSERT_TRUE(sandbox::Shell("ip link del fnd0 && ip link del fnd1"));
        }
    }
};

TEST_F(OnlyLoopback, TheQueryGoesToLoopback) {
    TestTable().m_nVerbosity = 1;
    TestTable().SearchDevices(m_report, nullptr);
    TestTable().m_nVerbosity = 0;
    EXPECT_EQ(m_report.m_nErrors + m_report.m_nWarnings, 0) << Text();
    EXPECT_NE(Text().find("IPv4 broadcast onto '127.255.255.255'.\r\n"), std::string::npos)
        << Text();
    EXPECT_NE(Text().find("... done.\r\n"), std::string::npos) << Text();

    const auto none = sandbox::RunProgram(LORIXLOG_FIND_PATH, {});
    EXPECT_EQ(none.nExitStatus, 1) << none.out << none.err;
    EXPECT_NE(none.out.find("... done.\n"), std::string::npos) << none.out;
}

// A device on this computer answers both queries and is found once.
TEST_F(OnlyLoopback, ADeviceOnThisComputerIsFoundOnce) {
    sandbox::Simulator sim({"--device", "127.0.0.1", "--serial", "LOCAL", "--no-http"});
    ASSERT_TRUE(sim.IsReady());
    const auto local = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--csv"});
    EXPECT_EQ(local.nExitStatus, 0) << local.out << local.err;
    EXPECT_NE(local.out.find("\r\n127.0.0.1,"), std::string::npos) << local.out;
    EXPECT_EQ(std::count(local.out.begin(), local.out.end(), '\n'), 2) << local.out;
}

// A network whose broadcast cannot be sent (no route, as on a VPN or a firewalled bridge) must
// not keep the query from the others.
TEST_F(Network, ANetworkWithoutRouteIsAWarning) {
    ASSERT_TRUE(
        sandbox::Shell("ip link add bad0 type veth peer name bad1 && "
                       "ip addr add 10.99.0.1/24 dev bad0 && ip link set bad0 up && "
                       "ip link set bad1 up && ip route del 10.99.0.0/24 dev bad0 && "
                       "ip route del broadcast 10.99.0.255 dev bad0 table local"));
    sandbox::Simulator sim({"--device", "10.78.0.22", "--serial", "BEHIND"});
    ASSERT_TRUE(sim.IsReady());
    TestTable().SearchDevices(m_report, nullptr);
    EXPECT_NE(Text().find(
                  "WARNING: sendto(UDP) to 10.99.0.255 returned 10051 (network unreachable).\r\n"),
              std::string::npos)
        << Text();
    EXPECT_EQ(m_report.m_nErrors, 0) << Text();
    ASSERT_EQ(TestTable().m_nDevices, 1) << Text();
    EXPECT_STREQ(TestTable().m_aDevices[0].szSerialNumber, "BEHIND");
    EXPECT_NE(Text().find("... done.\r\n"), std::string::npos);
}

// --- The command-line finder ---

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

TEST_F(Finder, DeviceTextCannotForgeLinesOfTheReport) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--serial", "A1", "--name",
                            "printer\\r\\nERROR: forged\\r\\nFound lorixLOG X device"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {});
    EXPECT_EQ(result.nExitStatus, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("  host name = 'printer\\x0d\\x0aERROR: forged\\x0d\\x0aFound "
                              "lorixLOG X device'\n"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("\nERROR"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("Found"), result.out.rfind("\nFound") + 1) << result.out;
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
    // Nobody answered: which networks were queried, and what to check.
    EXPECT_NE(result.out.find("... fertig.\n\nKein lorix-Ger\xc3\xa4t hat geantwortet. Die "
                              "Anfrage ging an:\n  255.255.255.255\n  10.77.0.255 ("),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(" 10.77.0."), std::string::npos) << "with its interface";
    EXPECT_NE(result.out.find("\n  10.78.0.255 ("), std::string::npos) << result.out;
    // What to check, a short line each (the report window does not wrap).
    EXPECT_NE(result.out.find("\nBitte pr\xc3\xbc"
                              "fen Sie:\n  - Sind die Ger\xc3\xa4te eingeschaltet"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\n  - Sperrt eine Firewall auf diesem Computer UDP-Port 9959?\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("nur als Suchziele\n    (--target, --targets-from).\n"),
              std::string::npos)
        << result.out;
}

TEST_F(Finder, ExitStatusTwoWhenTheSearchFails) {
    // No interface up at all: no query can go out.
    ASSERT_TRUE(sandbox::Shell("ip link del fnd0 && ip link del fnd1 && ip link set lo down"));
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--csv"});
    EXPECT_EQ(result.nExitStatus, 2) << result.out << result.err;
    EXPECT_EQ(result.out,
              "ipv4,port,ipv6,dns_name,maker,model,model_detail,serial_number,host_name,"
              "firmware_version,url,local_interface,local_address,reachable\r\n");
    EXPECT_NE(result.err.find("ERROR: sendto(UDP) returned 10051.\n"), std::string::npos)
        << result.err;
}

TEST_F(Finder, SendsEachBroadcastAddressOnce) {
    // Eleven addresses of the sandbox lie on 10.77.0.0/24.
    sandbox::Simulator sim({"--device", "10.77.0.20"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"-v"});
    EXPECT_EQ(result.nExitStatus, 0) << result.out << result.err;
    const std::string line = "IPv4 broadcast onto '10.77.0.255'.";
    EXPECT_NE(result.out.find(line), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find(line), result.out.rfind(line)) << result.out;
}

// Every output that cannot be written is a failure, whichever stream carries what (one search
// each, so that they run side by side).
class UnwritableOutput : public Finder, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnwritableOutput, IsAFailure) {
    sandbox::Simulator sim({"--device", "10.77.0.20"});
    ASSERT_TRUE(sim.IsReady());
    const pid_t pid = sandbox::StartProgram(LORIXLOG_FIND_PATH, {GetParam()}, "/dev/full");
    EXPECT_EQ(sandbox::WaitForProgram(pid), 2) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Formats, UnwritableOutput, ::testing::Values("--json", "--csv", "-v"));

TEST_F(Finder, AnOutputThatCannotBeWrittenIsNamed) {
    sandbox::Simulator sim({"--device", "10.77.0.20"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(
        "/bin/sh", {"-c", std::string(LORIXLOG_FIND_PATH) + " --json >/dev/full"});
    EXPECT_EQ(result.nExitStatus, 2);
    EXPECT_NE(result.err.find("lorixlog-find: cannot write the output: No space left on device"),
              std::string::npos)
        << result.err;
}

// Standard output is where the results go: closed, nothing is searched and the run fails, with
// a word on standard error, instead of writing the devices to the null device and succeeding.
TEST_F(Finder, AClosedStandardOutputIsAnErrorBeforeAnythingIsSent) {
    const std::string log = "/tmp/lorixlog-sim-closed-" + std::to_string(getpid()) + ".log";
    {
        sandbox::Simulator sim({"--device", "10.77.0.20"}, log.c_str());
        ASSERT_TRUE(sim.IsReady());
        for (const char* pszFormat : {"--csv", "--json", "-v"}) {
            const auto result = sandbox::RunProgram(
                "/bin/sh",
                {"-c", std::string("exec \"$0\" ") + pszFormat + " >&-", LORIXLOG_FIND_PATH});
            EXPECT_EQ(result.nExitStatus, 2) << pszFormat;
            EXPECT_EQ(result.err,
                      "lorixlog-find: standard output is closed: there is nowhere to "
                      "write the results\n")
                << pszFormat;
        }
    }
    std::ifstream file(log);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    std::remove(log.c_str());
    EXPECT_EQ(text.find("query"), std::string::npos) << text;
}

TEST_F(Finder, EchoedArgumentsCannotDriveTheTerminal) {
    const auto find =
        sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--\x1b]0;pwned\x07\x1b[2J\xc2\x9b"});
    EXPECT_EQ(find.nExitStatus, 2);
    EXPECT_NE(find.err.find("unknown option '--\\x1b]0;pwned\\x07\\x1b[2J\\xc2\\x9b'"),
              std::string::npos)
        << find.err;
    const auto sim =
        sandbox::RunProgram(LORIXLOG_SIM_PATH, {"--device", "10.77.0.20", "--\x1b[31mred\xff"});
    EXPECT_EQ(sim.nExitStatus, 2);
    EXPECT_NE(sim.err.find("unknown option '--\\x1b[31mred\\xff'"), std::string::npos) << sim.err;
    for (const std::string* pText : {&find.err, &sim.err}) {
        for (char c : *pText) {
            EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
        }
    }
    // Text in other scripts stays readable.
    const auto utf8 = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--gr\xc3\xb6\xc3\x9f"
                                                               "e"});
    EXPECT_NE(utf8.err.find("'--gr\xc3\xb6\xc3\x9f"
                            "e'"),
              std::string::npos)
        << utf8.err;
}

// --- Devices behind a router: --target ---

TEST_F(Routed, ASweepFindsTheDevicesBehindTheRouterOnceEach) {
    sandbox::Simulator sim({"--netns", Net().DevicesNamespace(), "--device", "10.88.0.20",
                            "--serial", "R20", "--device", "10.88.0.21", "--serial", "R21"});
    ASSERT_TRUE(sim.IsReady());
    const auto result =
        sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--csv", "--target", "10.88.0.0/24"});
    EXPECT_EQ(result.nExitStatus, 0) << result.err;
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 3) << result.out;
    EXPECT_NE(result.out.find("\r\n10.88.0.20,9959,"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\r\n10.88.0.21,9959,"), std::string::npos) << result.out;
}

TEST_F(Routed, OneAddressFindsThatDeviceOnly) {
    sandbox::Simulator sim({"--netns", Net().DevicesNamespace(), "--device", "10.88.0.20",
                            "--device", "10.88.0.21", "--serial", "ONLY"});
    ASSERT_TRUE(sim.IsReady());
    const auto result =
        sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--json", "-v", "--target=10.88.0.21"});
    EXPECT_EQ(result.nExitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("IPv4 query to '10.88.0.21' (10.88.0.21)."), std::string::npos)
        << result.err;
    EXPECT_NE(result.out.find("\"serial_number\": \"ONLY\""), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("10.88.0.20"), std::string::npos) << result.out;
}

TEST_F(Routed, WithoutTargetsTheDevicesBehindTheRouterAreNotFound) {
    sandbox::Simulator sim({"--netns", Net().DevicesNamespace(), "--device", "10.88.0.20"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"-v"});
    EXPECT_EQ(result.nExitStatus, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("... done."), std::string::npos);
}

TEST_F(Routed, MalformedTargetsAreRefusedBeforeTheSearch) {
    for (const char* pszTarget : {"10.88.0.0/8", "10.88.0.0/33", "10.88.0.300", "a b"}) {
        const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--target", pszTarget});
        EXPECT_EQ(result.nExitStatus, 2) << pszTarget;
        EXPECT_EQ(result.out, "") << "nothing was searched for " << pszTarget;
        EXPECT_NE(result.err.find(std::string("'") + pszTarget + "'"), std::string::npos)
            << result.err;
    }
}

// --- The simulator ---

TEST_F(Network, AFloodingSimulatorStopsAtOnce) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--flood", "10000000"});
    ASSERT_TRUE(sim.IsReady());
    ASSERT_TRUE(sandbox::SendDatagram("10.77.0.20", 9959, "*IDN?"));
    usleep(300 * 1000);  // ten million replies take far longer than this
    const long nMs = sim.StopAndMeasure();
    EXPECT_LT(nMs, 3000) << "the simulator ignored SIGTERM while flooding";
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
