// Queries to hosts and prefixes beyond the local networks, added to the local search.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "DeviceInfo.h"
#include "ReportFixture.h"
#include "ScriptedSocketLayer.h"

namespace {

class TargetSearch : public RegisteredReport {
protected:
    void SetUp() override {
        RegisteredReport::SetUp();
        net::InstallSocketLayer(&m_net);
        m_net.AddInterface("10.77.0.1", "255.255.255.0");
    }
    void TearDown() override {
        net::InstallSocketLayer(nullptr);
        info.m_aTargets.clear();
        info.m_nVerbosity = 0;
        info.ClearDevices();
        RegisteredReport::TearDown();
    }
    void Target(const std::string& text) {
        SearchTarget target;
        std::string error;
        ASSERT_TRUE(ParseSearchTarget(text, &target, &error)) << error;
        info.m_aTargets.push_back(target);
    }
    std::vector<std::string> SentTo() const {
        std::vector<std::string> out;
        for (const auto& sent : m_net.m_aSent) {
            out.push_back(net::ScriptedSocketLayer::DottedText(sent.to));
        }
        return out;
    }

    net::ScriptedSocketLayer m_net;
    CDeviceInfo& info = g_DeviceInfo;
};

TEST_F(TargetSearch, AHostIsQueriedAfterTheBroadcastsAndItsReplyCounts) {
    Target("10.88.0.20");
    m_net.AddDatagram(150, "10.88.0.20", 9959, "TVK,lorixLOG,LX-8,R1,remote,1.0");
    info.SearchDevices();
    EXPECT_EQ(SentTo(), (std::vector<std::string>{"255.255.255.255", "10.77.0.255", "10.88.0.20"}));
    ASSERT_EQ(info.m_nDevices, 1);
    EXPECT_STREQ(info.m_aDevices[0].szIPv4, "10.88.0.20");
    EXPECT_NE(Text().find("... done.\r\n"), std::string::npos);
}

TEST_F(TargetSearch, APrefixIsSweptHostByHostThenItsBroadcast) {
    Target("10.88.0.0/24");
    info.SearchDevices();
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

// Replies that come while a long sweep is still sending are taken in, and the quiet period
// begins only after the last query.
TEST_F(TargetSearch, TheQuietPeriodBeginsAfterTheLastQuery) {
    Target("10.88.0.0/20");  // 4094 hosts: 17 batches, 16 pauses of 50 ms
    m_net.AddDatagram(20, "10.88.3.7", 9959, "TVK,lorixLOG,LX-8,EARLY,early,1.0");
    info.SearchDevices();
    EXPECT_EQ(m_net.m_aSent.size(), 2u + 4094u + 1u);
    ASSERT_EQ(info.m_nDevices, 1) << Text();
    const std::uint32_t nLastQuery = m_net.m_aSent.back().nAt - m_net.m_nStartTick;
    EXPECT_EQ(nLastQuery, 16u * 50u);
    EXPECT_EQ(m_net.Elapsed(), nLastQuery + 3900u);
}

TEST_F(TargetSearch, ALongSweepShowsItsProgressOnOneLine) {
    Target("10.88.0.0/19");  // 8190 hosts: more than a second
    info.m_nVerbosity = 1;
    info.SearchDevices();
    EXPECT_NE(Text().find("IPv4 sweep of '10.88.0.0/19' (8190 addresses).\r\n"), std::string::npos);
    EXPECT_NE(Text().find("\r\nQueried 10.88.0.0/19: 8190 addresses.\r\n"), std::string::npos)
        << Text();
    EXPECT_EQ(Text().find("Querying"), std::string::npos) << "the progress line is rewritten";
    EXPECT_EQ(std::count(Text().begin(), Text().end(), '\r'),
              std::count(Text().begin(), Text().end(), '\n'))
        << "no line is left unfinished";
}

TEST_F(TargetSearch, NamesAreResolvedAndOneThatIsNotIsAWarning) {
    m_net.m_aHosts = {{"logger.plant.example", "10.88.0.31"}};
    Target("logger.plant.example");
    Target("missing.plant.example");
    info.m_nVerbosity = 1;
    const SearchOutcome outcome = info.SearchDevices();
    EXPECT_EQ(SentTo().back(), "10.88.0.31");
    EXPECT_NE(Text().find("IPv4 query to 'logger.plant.example' (10.88.0.31).\r\n"),
              std::string::npos);
    EXPECT_NE(Text().find("WARNING: The name 'missing.plant.example' could not be resolved; it "
                          "is not queried.\r\n"),
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
    const SearchOutcome outcome = info.SearchDevices();
    EXPECT_EQ(m_report.m_nWarnings, 1) << Text();
    EXPECT_NE(Text().find("WARNING: sendto(UDP) to 10.99.0.1 returned 10051.\r\n"),
              std::string::npos);
    EXPECT_EQ(outcome.result, SearchOutcome::CompletedWithWarnings);
}

TEST_F(TargetSearch, WhenNothingAtAllGoesOutTheSearchFails) {
    m_net.FailSendsTo("255.255.255.255", net::WSAENETUNREACH);
    m_net.FailSendsTo("10.77.0.255", net::WSAENETUNREACH);
    m_net.FailSendsTo("10.99.0.5", net::WSAENETUNREACH);
    Target("10.99.0.5");
    const SearchOutcome outcome = info.SearchDevices();
    EXPECT_EQ(outcome.result, SearchOutcome::Failed);
    EXPECT_EQ(Text().find("... done."), std::string::npos);
    EXPECT_EQ(m_report.m_nErrors, 1);
}

}  // namespace
