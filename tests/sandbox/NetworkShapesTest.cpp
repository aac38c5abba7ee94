// The finder on networks shaped like real ones: a prefix behind a router, a prefix on the
// computer's own link, a VPN tunnel, a logger at a foreign address, a plant with many loggers,
// names in UTF-8, and a report stream whose reader goes away.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "NetworkFixture.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t i = text.find(what); i != std::string::npos; i = text.find(what, i + 1)) {
        ++n;
    }
    return n;
}

// Devices at the start of a routed prefix and far into it both answer, and nothing but the query
// ever reaches a device: a reply that came in never goes out again as a "query". (Sweeps run at
// the default pace, one at a time: the kernel's neighbour table is the machine's.)
TEST_F(Routed, ASweepFindsDevicesAtItsStartAndFarIntoIt) {
    const std::string log = "/tmp/lorixlog-sim-sweep-" + std::to_string(getpid()) + ".log";
    {
        sandbox::Simulator sim({"--netns", Net().DevicesNamespace(), "--device", "10.88.0.20",
                                "--serial", "START", "--device", "10.88.3.200", "--serial", "FAR"},
                               log.c_str());
        ASSERT_TRUE(sim.IsReady());
        const auto result =
            sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--csv", "--target", "10.88.0.0/22"});
        EXPECT_EQ(result.nExitStatus, 0) << result.err;
        EXPECT_NE(result.out.find("\r\n10.88.0.20,9959,"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("\r\n10.88.3.200,9959,"), std::string::npos) << result.out;
        EXPECT_EQ(result.err.find("WARNING"), std::string::npos) << result.err;
    }
    const std::string text = ReadFile(log);
    std::remove(log.c_str());
    EXPECT_GE(Count(text, "lorixlog-sim: query from"), 11u) << text;
    EXPECT_EQ(Count(text, "lorixlog-sim: datagram from"), 0u) << "only *IDN? is sent:\n" << text;
}

// On a terminal the progress line of a sweep shows how far it is, rewritten in place.
TEST_F(Routed, TheProgressOfASweepMovesOnATerminal) {
    const std::string command = std::string(LORIXLOG_FIND_PATH) + " --target 10.88.0.0/22";
    const auto result = sandbox::RunProgram("/usr/bin/script", {"-qfec", command, "/dev/null"});
    EXPECT_EQ(result.nExitStatus, 1) << result.out;
    std::size_t nProgress = 0;
    std::string last;
    for (std::size_t i = result.out.find("\rQuerying 10.88.0.0/22: "); i != std::string::npos;
         i = result.out.find("\rQuerying 10.88.0.0/22: ", i + 1)) {
        const std::string shown = result.out.substr(i, result.out.find(" of ", i) - i);
        EXPECT_NE(shown, last) << "the count moves";
        last = shown;
        ++nProgress;
    }
    EXPECT_GE(nProgress, 2u) << result.out;
    EXPECT_NE(result.out.find("\rQueried 10.88.0.0/22: 1023 addresses."), std::string::npos)
        << result.out;
}

// A VPN tunnel is a point-to-point link with a single address: it has no broadcast, and the
// query does not go to the tunnel's own address.
TEST_F(Finder, APointToPointInterfaceIsNotBroadcastTo) {
    ASSERT_TRUE(
        sandbox::Shell("ip tuntap add tun0 mode tun && "
                       "ip addr add 10.99.0.2 peer 10.99.0.1 dev tun0 && "
                       "ip link set tun0 up"));
    sandbox::Simulator sim({"--device", "10.77.0.20"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"-v"});
    EXPECT_EQ(result.nExitStatus, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("IPv4 interface 'tun0': 10.99.0.2/32 cannot broadcast"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("IPv4 interface 'fnd0': 10.77.0.1/24, broadcast 10.77.0.255."),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("onto '10.99.0."), std::string::npos) << result.out;
}

// A logger left at its factory address on the computer's own cable answers the limited
// broadcast, but the computer has no route to it: it is listed, and the report and the JSON say
// that its page cannot open and what to do. The other device came in on fnd9.
TEST_F(Linked, ALoggerAtAForeignAddressIsFoundAndFlagged) {
    sandbox::Simulator sim({"--netns", Net().DevicesNamespace(), "--device", "192.168.0.50",
                            "--serial", "FOREIGN", "--device", "10.60.0.20", "--serial", "HOME"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--json"});
    EXPECT_EQ(result.nExitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("  serial number = FOREIGN\n  firmware version = 3.1.4\n\n"
                              "WARNING: This computer has no route "
                              "to 192.168.0.50: the device answered, but its page cannot be "
                              "opened. Give this computer an address in the device's network, "
                              "or a route to it.\n"),
              std::string::npos)
        << result.err;
    const auto checked = sandbox::RunProgram(
        "/usr/bin/env",
        {"python3", "-c",
         "import json,sys; d={x['serial_number']: x for x in json.loads(sys.argv[1])}\n"
         "assert d['FOREIGN']['reachable'] is False, d\n"
         "assert d['HOME']['reachable'] is True, d\n"
         "assert d['HOME']['local_interface'] == 'fnd9', d\n"
         "assert d['HOME']['local_address'] == '10.60.0.1', d",
         result.out});
    EXPECT_EQ(checked.nExitStatus, 0) << checked.err;
}

// The hosts of a prefix on the computer's own link are reached by that network's directed
// broadcast: they are not queried one by one (which made the sends stall while every absent
// host was being resolved), and the device on it is found all the same.
TEST_F(Linked, APrefixOnTheOwnLinkIsLeftToItsBroadcast) {
    sandbox::Simulator sim(
        {"--netns", Net().DevicesNamespace(), "--device", "10.60.0.21", "--serial", "ONLINK"});
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"-v", "--target", "10.60.0.0/20"});
    EXPECT_EQ(result.nExitStatus, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("IPv4 sweep of '10.60.0.0/20' (4094 addresses).\n  4095 of its "
                              "addresses are on a network of this computer"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("serial number = ONLINK"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("Querying"), std::string::npos) << result.out;
}

// A plant: 500 loggers on one switch answer the broadcast at the same moment (the simulator hands
// all replies to the system at once). Every one of them is listed, also on a computer whose
// receive buffer holds a few hundred replies at most, as a desktop user's does; and a loss the
// finder could not make up for is never silent.
TEST_F(Plant, LoggersThatAnswerInOneBurstAreAllListed) {
    std::vector<std::string> options{"--netns", Net().DevicesNamespace(), "--shuffle"};
    for (const std::string& address : sandbox::PlantAddresses(sandbox::PlantNetwork::kLoggers)) {
        options.insert(options.end(), {"--device", address, "--no-http"});
    }
    sandbox::Simulator sim(options);
    ASSERT_TRUE(sim.IsReady());
    const std::vector<std::vector<std::string>> environments = {
        {}, {"LD_PRELOAD=" LORIXLOG_DESKTOP_BUFFER_SHIM, "ASAN_OPTIONS=verify_asan_link_order=0"}};
    for (const auto& environment : environments) {
        const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--csv"}, environment);
        const std::size_t nListed = Count(result.out, "\r\n10.60.");
        const bool bLossNamed = result.err.find(
                                    " replies to the last query were lost: they came "
                                    "faster than this computer took them in.") != std::string::npos;
        EXPECT_EQ(result.nExitStatus, 0) << result.err;
        if (environment.empty()) {
            EXPECT_EQ(nListed, 500u) << result.err;
            EXPECT_EQ(result.err.find("WARNING"), std::string::npos) << result.err;
        } else {
            EXPECT_TRUE(nListed == 500u || bLossNamed) << nListed << " listed\n" << result.err;
            EXPECT_GE(nListed, 490u) << result.err;
        }
    }
}

// A plant network: more loggers than the table used to hold are all listed.
TEST_F(Finder, APlantWithSixtyLoggersListsThemAll) {
    std::string addresses;
    std::vector<std::string> options;
    for (int n = 20; n < 80; ++n) {
        const std::string address = "10.77.0." + std::to_string(n);
        if (n >= 30) {
            addresses += "ip addr add " + address + "/24 dev dev0 && ";
        }
        options.insert(options.end(), {"--device", address, "--no-http"});
    }
    ASSERT_TRUE(sandbox::Shell(addresses + "true"));
    sandbox::Simulator sim(options);
    ASSERT_TRUE(sim.IsReady());
    const auto result = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--csv"});
    EXPECT_EQ(result.nExitStatus, 0) << result.err;
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 61) << result.out;
    EXPECT_EQ(result.err.find("WARNING"), std::string::npos) << result.err;
}

// A name sent in UTF-8 is that text in the report and in the exports.
TEST_F(Finder, NamesInUtf8AreShownAsTheirText) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--name", "K\\xc3\\xbchlhaus-3"});
    ASSERT_TRUE(sim.IsReady());
    const auto report = sandbox::RunProgram(LORIXLOG_FIND_PATH, {});
    EXPECT_NE(report.out.find("  host name = 'K\xc3\xbchlhaus-3'\n"), std::string::npos)
        << report.out;
    const auto json = sandbox::RunProgram(LORIXLOG_FIND_PATH, {"--json"});
    EXPECT_NE(json.out.find("\"host_name\": \"K\xc3\xbchlhaus-3\""), std::string::npos) << json.out;
    EXPECT_NE(json.err.find("  host name = 'K\xc3\xbchlhaus-3'\n"), std::string::npos) << json.err;
}

// Reading only the first line of the report must not cost the data: the report stream's reader
// goes away, the JSON is written whole.
TEST_F(Finder, AClosedReportStreamKeepsTheData) {
    sandbox::Simulator sim({"--device", "10.77.0.20", "--serial", "KEPT"});
    ASSERT_TRUE(sim.IsReady());
    const std::string out = "/tmp/lorixlog-find-" + std::to_string(getpid()) + ".json";
    const auto result =
        sandbox::RunProgram("/bin/bash", {"-c", std::string(LORIXLOG_FIND_PATH) + " --json 2>&1 >" +
                                                    out + " | head -1; exit ${PIPESTATUS[0]}"});
    const std::string json = ReadFile(out);
    std::remove(out.c_str());
    EXPECT_EQ(result.nExitStatus, 0) << result.out << result.err;
    EXPECT_EQ(result.out.substr(0, 8), "This is ") << result.out;
    EXPECT_NE(json.find("\"serial_number\": \"KEPT\""), std::string::npos) << json;
    EXPECT_EQ(json.substr(json.size() - 2), "]\n") << json;
}

}  // namespace
