// Queries to hosts and prefixes beyond the local networks, added to the local search.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "DeviceInfo.h"
#include "NameResolution.h"
#include "ReportFixture.h"
#include "ScriptedSocketLayer.h"
#include "TestTable.h"

namespace {

class TargetSearch : public WithReport {
protected:
    void SetUp() override {
        net::InstallSocketLayer(&m_net);
        m_net.AddInterface("10.77.0.1", "255.255.255.0");
    }
    void TearDown() override {
        net::InstallSocketLayer(nullptr);
        info.m_nVerbosity = 0;
        info.ClearDevices();
    }
    void Target(const std::string& text) {
        SearchTarget target;
        std::string error;
        ASSERT_TRUE(ParseSearchTarget(text, &target, &error, Language::English)) << error;
        settings.targets.push_back(target);
    }
    std::vector<std::string> SentTo() const {
        std::vector<std::string> out;
        for (const auto& sent : m_net.m_aSent) {
            out.push_back(net::ScriptedSocketLayer::DottedText(sent.to));
        }
        return out;
    }

    net::ScriptedSocketLayer m_net;
    CDeviceInfo& info = TestTable();
    /// What each search of a case is handed: its targets, pace and bound.
    SearchSettings settings;
};

TEST_F(TargetSearch, AHostIsQueriedAfterTheBroadcastsAndItsReplyCounts) {
    Target("10.88.0.20");
    m_net.AddDatagram(150, "10.88.0.20", 9959, "TVK,lorixLOG,LX-8,R1,remote,1.0");
    info.SearchDevices(settings, m_report, nullptr);
    EXPECT_EQ(SentTo(), (std::vector<std::string>{"255.255.255.255", "10.77.0.255", "10.88.0.20"}));
    ASSERT_EQ(info.m_nDevices, 1);
    EXPECT_STREQ(info.m_aDevices[0].szIPv4, "10.88.0.20");
    EXPECT_NE(Text().find("... done.\r\n"), std::string::npos);
}

TEST_F(TargetSearch, APrefixIsSweptHostByHostThenItsBroadcast) {
    Target("10.88.0.0/24");
    info.SearchDevices(settings, m_report, nullptr);
    const std::vector<std::string> sent = SentTo();
    ASSERT_EQ(sent.size(), 2u + 254u + 1u);
    EXPECT_EQ(sent[2], "10.88.0.1");
    EXPECT_EQ(sent[255], "10.88.0.254");
    EXPECT_EQ(sent[256], "10.88.0.255");
    for (const auto& s : m_net.m_aSent) {
        EXPECT_EQ(s.bytes, "*IDN?");
        EXPECT_EQ(net::ntohs(s.to.sin_port), 9959);
    }
}

// Devices at the start and far into a prefix both answer: replies that come while the sweep is
// still sending are taken in, every datagram sent is the query itself, and the quiet period
// begins only after the last query.
TEST_F(TargetSearch, ASweepFindsDevicesAtItsStartAndFarIntoIt) {
    Target("10.88.0.0/20");  // 4094 hosts and the broadcast: 4095 queries, 2 a millisecond
    settings.nQueriesPerSecond = 2000;
    // Behind a router: they hear no broadcast, only the queries to their own addresses.
    m_net.AddResponder("10.88.0.1", "0.0.0.0", "TVK,lorixLOG,LX-8,FIRST,first,1.0");
    m_net.AddResponder("10.88.15.200", "0.0.0.0", "TVK,lorixLOG,LX-8,FAR,far,1.0");
    info.SearchDevices(settings, m_report, nullptr);
    EXPECT_EQ(m_net.m_aSent.size(), 2u + 4094u + 1u);
    for (const auto& sent : m_net.m_aSent) {
        ASSERT_EQ(sent.bytes, "*IDN?") << "to " << net::ScriptedSocketLayer::DottedText(sent.to);
    }
    ASSERT_EQ(info.m_nDevices, 2) << Text();
    EXPECT_EQ(Text().find("WARNING"), std::string::npos) << Text();
    const std::uint32_t nLastQuery = m_net.m_aSent.back().nAt - m_net.m_nStartTick;
    EXPECT_EQ(nLastQuery, 4094u / 2u) << "query n goes n / rate seconds after the first";
    EXPECT_EQ(m_net.Elapsed(), nLastQuery + 3900u);
}

// At the default pace a router never holds more addresses that it is still resolving (each for
// about 3 s) than three quarters of what its neighbour table takes by default (1024).
TEST_F(TargetSearch, TheDefaultPaceStaysWithinARoutersNeighbourTable) {
    Target("10.88.0.0/16");
    info.SearchDevices(settings, m_report, nullptr);
    ASSERT_EQ(m_net.m_aSent.size(), 2u + 65534u + 1u);
    std::size_t nMost = 0;
    for (std::size_t i = 0, j = 0; i < m_net.m_aSent.size(); ++i) {
        while (m_net.m_aSent[i].nAt - m_net.m_aSent[j].nAt >= 3000) {
            ++j;
        }
        nMost = std::max(nMost, i - j + 1);
    }
    EXPECT_LE(nMost, 768u) << "queries within 3 seconds: under three quarters of the table";
    EXPECT_GE(nMost, 500u) << "a pace that still sweeps a /16 in minutes";
}

// A full send buffer (queries waiting for addresses to be resolved) is no failure: the replies
// are taken in meanwhile and the same query goes out again.
TEST_F(TargetSearch, AFullSendBufferDelaysButDropsNoQuery) {
    Target("10.88.0.0/24");
    m_net.m_nBlockedSends = 40;
    m_net.AddResponder("10.88.0.9", "0.0.0.0", "TVK,lorixLOG,LX-8,N9,n9,1.0");
    const SearchOutcome outcome = info.SearchDevices(settings, m_report, nullptr);
    EXPECT_TRUE(m_net.m_bNonBlocking) << "the socket never blocks a send";
    EXPECT_EQ(m_net.m_nWouldBlocks, 40);
    EXPECT_EQ(m_net.m_aSent.size(), 2u + 254u + 1u) << "every address once";
    EXPECT_EQ(outcome.result, SearchOutcome::Completed) << Text();
    EXPECT_EQ(info.m_nDevices, 1);
}

TEST_F(TargetSearch, ALongSweepShowsItsProgressOnOneLine) {
    Target("10.88.0.0/19");  // 8190 hosts: more than a second
    settings.nVerbosity = 1;
    info.SearchDevices(settings, m_report, nullptr);
    EXPECT_NE(Text().find("IPv4 sweep of '10.88.0.0/19' (8190 addresses).\r\n"), std::string::npos);
    EXPECT_NE(Text().find("\r\nQueried 10.88.0.0/19: 8191 addresses.\r\n"), std::string::npos)
        << Text();
    EXPECT_EQ(Text().find("Querying"), std::string::npos) << "the progress line is rewritten";
    EXPECT_EQ(Text().find("the sweep takes about"), std::string::npos) << "half a minute";
    EXPECT_EQ(std::count(Text().begin(), Text().end(), '\r'),
              std::count(Text().begin(), Text().end(), '\n'))
        << "no line is left unfinished";
}

// A sweep of more than a minute says how long beforehand; targets beyond the bound of a search
// (a list of /16 prefixes by the hundred) are refused before anything is sent, and the bound can
// be raised.
TEST_F(TargetSearch, ALongSweepIsAnnouncedAndAnEndlessOneRefused) {
    Target("10.88.0.0/16");
    settings.nQueriesPerSecond = 1000;
    settings.nMostTargetAddresses = 65535;
    info.SearchDevices(settings, m_report, nullptr);
    EXPECT_NE(Text().find("\r\nThe targets hold 65,535 addresses: at 1,000 a second, the sweep "
                          "takes about 1 min 5 s.\r\n"),
              std::string::npos)
        << Text().substr(0, 600);

    m_report.Reset();
    m_net.m_aSent.clear();
    settings.nMostTargetAddresses = 65534;
    const SearchOutcome outcome = info.SearchDevices(settings, m_report, nullptr);
    EXPECT_EQ(outcome.result, SearchOutcome::Failed);
    EXPECT_EQ(outcome.nLine, 0);
    EXPECT_TRUE(m_net.m_aSent.empty()) << "nothing is sent";
    EXPECT_NE(Text().find("\r\nERROR: The search targets hold 65535 addresses, more than the 65534 "
                          "a search queries at most; give smaller prefixes, or raise the bound "
                          "(--max-addresses).\r\n\r\n"),
              std::string::npos)
        << Text();
    EXPECT_EQ(Text().find(" in ::SearchDevices()"), std::string::npos) << "no location line";
}

TEST_F(TargetSearch, NamesAreResolvedAndOneThatIsNotIsAWarning) {
    m_net.m_aHosts = {{"logger.plant.example", "10.88.0.31"},
                      {"logger.plant.example", "10.88.0.32"},
                      {"twin.plant.example", "10.88.0.32"},
                      {"twin.plant.example", "224.0.0.251"},
                      {"twin.plant.example", "0.0.0.0"}};
    Target("logger.plant.example");
    Target("missing.plant.example");
    Target("twin.plant.example");
    Target("10.88.0.31");
    settings.nVerbosity = 1;
    const SearchOutcome outcome = info.SearchDevices(settings, m_report, nullptr);
    EXPECT_EQ(SentTo(), (std::vector<std::string>{"255.255.255.255", "10.77.0.255", "10.88.0.31",
                                                  "10.88.0.32"}))
        << "every address of a name, each address once";
    EXPECT_NE(Text().find("IPv4 query to 'logger.plant.example' (10.88.0.31, 10.88.0.32).\r\n"),
              std::string::npos);
    EXPECT_NE(Text().find("IPv4 query to 'twin.plant.example' (10.88.0.32).\r\n"
                          "  1 of its addresses are queried already.\r\n"),
              std::string::npos)
        << Text();
    EXPECT_NE(Text().find("WARNING: The name 'missing.plant.example' could not be resolved; it "
                          "is not queried.\r\n"),
              std::string::npos);
    // A name is no way around the rules of an address: what no host can have is not queried.
    EXPECT_NE(
        Text().find("WARNING: The name 'twin.plant.example' resolves to 224.0.0.251, which is "
                    "no host address (0.0.0.0/8, multicast or reserved); it is not "
                    "queried.\r\n"),
        std::string::npos)
        << Text();
    EXPECT_NE(Text().find("WARNING: The name 'twin.plant.example' resolves to 0.0.0.0,"),
              std::string::npos);
    EXPECT_EQ(outcome.result, SearchOutcome::CompletedWithWarnings);
    EXPECT_NE(Text().find("... done.\r\n"), std::string::npos);
}

TEST_F(TargetSearch, ANetworkWithoutRouteGivesOneWarningPerTarget) {
    for (int i = 1; i <= 254; ++i) {
        m_net.FailSendsTo(("10.99.0." + std::to_string(i)).c_str(), net::WSAENETUNREACH);
    }
    m_net.FailSendsTo("10.99.0.255", net::WSAENETUNREACH);
    Target("10.99.0.0/24");
    const SearchOutcome outcome = info.SearchDevices(settings, m_report, nullptr);
    EXPECT_EQ(m_report.m_nWarnings, 1) << Text();
    EXPECT_NE(
        Text().find("WARNING: sendto(UDP) to 10.99.0.1 returned 10051 (network unreachable).\r\n"),
        std::string::npos);
    EXPECT_EQ(outcome.result, SearchOutcome::CompletedWithWarnings);
    // The count says what went out and what did not, with the reason.
    EXPECT_NE(Text().find("\r\nQueried 10.99.0.0/24: 0 of 255 addresses; 255 failed: 10051 "
                          "(network unreachable).\r\n"),
              std::string::npos)
        << Text();
    EXPECT_EQ(outcome.queried.back(),
              "10.99.0.0/24 (0 of 255 addresses; 255 failed: 10051 (network unreachable))");
}

TEST_F(TargetSearch, WhenNothingAtAllGoesOutTheSearchFails) {
    m_net.FailSendsTo("255.255.255.255", net::WSAENETUNREACH);
    m_net.FailSendsTo("10.77.0.255", net::WSAENETUNREACH);
    m_net.FailSendsTo("10.99.0.5", net::WSAENETUNREACH);
    Target("10.99.0.5");
    const SearchOutcome outcome = info.SearchDevices(settings, m_report, nullptr);
    EXPECT_EQ(outcome.result, SearchOutcome::Failed);
    EXPECT_EQ(Text().find("... done."), std::string::npos);
    EXPECT_EQ(m_report.m_nErrors, 1);
}

}  // namespace

namespace {

// A name server that does not answer: the names of every round wait on the same few threads,
// a name still waiting is not asked again, and its answer, once it comes, serves the next round.
TEST(NameResolution, ASlowNameServerPilesUpNeitherThreadsNorQuestions) {
    net::ScriptedSocketLayer layer;
    net::InstallSocketLayer(&layer);
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) {
        names.push_back("n" + std::to_string(i) + ".slow.example");
        layer.m_aHosts.emplace_back(names.back(), "10.88.5." + std::to_string(i + 1));
    }
    layer.m_aSlowNames = names;
    for (int nRound = 0; nRound < 3; ++nRound) {
        for (const discovery::ResolvedName& result : discovery::ResolveNames(names, 30, {})) {
            EXPECT_FALSE(result.bAnswered);
        }
    }
    EXPECT_LE(layer.ResolveCalls(), static_cast<int>(discovery::kMostResolvers));
    EXPECT_LE(discovery::ResolverThreads(), discovery::kMostResolvers);

    layer.ReleaseSlowNames();
    const auto results = discovery::ResolveNames(names, 5000, {});
    ASSERT_EQ(results.size(), 40u);
    EXPECT_TRUE(results[39].bAnswered);
    EXPECT_EQ(results[39].addresses, std::vector<std::uint32_t>{0x0A580528u});
    EXPECT_EQ(layer.ResolveCalls(), 40) << "each name asked once";
    discovery::ResolveNames(names, 5000, {});
    EXPECT_EQ(layer.ResolveCalls(), 80) << "an answer taken is asked for anew";
    net::InstallSocketLayer(nullptr);
}

}  // namespace
