// Replies that come in one burst: what the system dropped for a full receive buffer is asked for
// again, a loss that remains is named, and taking a reply in costs no system call of its own.
#include <gtest/gtest.h>

#include <string>

#include "SearchFixture.h"

namespace {

class Burst : public Search {
protected:
    /// Devices on the computer's link that hear the limited broadcast, all answering at once.
    void AddDevices(int nCount, const char* pszNetwork = "192.168.1.") {
        for (int i = 0; i < nCount; ++i) {
            const std::string address = pszNetwork + std::to_string(10 + i % 240);
            m_net.AddResponder(address.c_str(), "255.255.255.0",
                               "TVK,lorixA,B,S" + std::to_string(i), 1);
        }
    }
    std::size_t Sent(const char* pszTo) const {
        std::size_t n = 0;
        for (const auto& sent : m_net.m_aSent) {
            n += net::ScriptedSocketLayer::DottedText(sent.to) == pszTo ? 1 : 0;
        }
        return n;
    }
};

// The system dropped replies: once the burst is over the broadcast goes out again, and the devices
// whose replies were lost answer once more. A loss that lasts through every round is a warning
// with its count, never silent.
TEST_F(Burst, LostRepliesAreAskedForAgainAndALastingLossIsNamed) {
    AddDevices(3);
    m_net.m_nRepliesToDrop = 2;
    SearchOutcome outcome = info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 3) << Text();
    EXPECT_EQ(Sent("255.255.255.255"), 2u);
    EXPECT_NE(Text().find("\r\n2 replies came faster than this computer took them in; the query "
                          "goes out again (round 2 of at most 4).\r\n"),
              std::string::npos)
        << Text();
    EXPECT_EQ(outcome.result, SearchOutcome::Completed);
    EXPECT_EQ(Text().find("WARNING"), std::string::npos) << Text();

    // Every reply of every round is lost.
    net::ScriptedSocketLayer lossy;
    net::InstallSocketLayer(&lossy);
    lossy.AddInterface("192.168.1.5", "255.255.255.0");
    lossy.AddResponder("192.168.1.20", "255.255.255.0", "TVK,lorixA,B,GONE", 1);
    lossy.AddResponder("192.168.1.21", "255.255.255.0", "TVK,lorixA,B,GONE2", 1);
    lossy.m_nRepliesToDrop = 1000;
    outcome = info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 0);
    EXPECT_EQ(lossy.m_aSent.size(), 2u * 4u) << "two broadcasts, four rounds";
    EXPECT_NE(Text().find("\r\n\r\nWARNING: 4 replies to the last query were lost: they came "
                          "faster than this computer took them in. Some devices may be missing; "
                          "search again.\r\n\r\n... done.\r\n"),
              std::string::npos)
        << Text();
    EXPECT_EQ(outcome.result, SearchOutcome::CompletedWithWarnings);
}

// Where the system does not count what it drops (Windows), a burst larger than a small receive
// buffer holds is asked for once more, a small one is not.
TEST_F(Burst, WithoutADropCountALargeBurstIsAskedForOnceMore) {
    m_net.m_bDropsUnknown = true;
    AddDevices(130);
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 130);
    EXPECT_EQ(Sent("255.255.255.255"), 2u);
    EXPECT_NE(Text().find("130 replies came in one burst, and this computer may have dropped some; "
                          "the query goes out again (round 2).\r\n"),
              std::string::npos)
        << Text();

    net::ScriptedSocketLayer quiet;
    net::InstallSocketLayer(&quiet);
    quiet.m_bDropsUnknown = true;
    quiet.AddResponder("192.168.1.20", "255.255.255.0", "TVK,lorixA,B,ONE", 1);
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(quiet.m_aSent.size(), 1u);
}

// Taking a reply in costs no call of its own: the interfaces are listed once per search, a device
// on the computer's own network needs no route lookup, and one beyond is looked up once per /24.
TEST_F(Burst, AReplyCostsNoSystemCallOfItsOwn) {
    m_net.AddInterface("192.168.1.5", "255.255.255.0", "lan0");
    AddDevices(200);
    for (const char* pszRemote : {"10.88.0.7", "10.88.0.8", "10.88.1.9"}) {
        m_net.AddDatagramTo(50, pszRemote, 9959, std::string("TVK,lorixA,B,R") + pszRemote,
                            "192.168.1.5");
    }
    info.SearchDevices(m_report, nullptr);
    EXPECT_EQ(info.m_nDevices, 203) << Text();
    EXPECT_EQ(m_net.m_nInterfaceListings, 1);
    EXPECT_EQ(m_net.m_nHasRouteCalls, 2) << "10.88.0.0/24 and 10.88.1.0/24";
    EXPECT_EQ(m_net.m_nReceiveBuffer, 8 * 1024 * 1024) << "room for a plant's burst";
    EXPECT_STREQ(info.m_aArrivals[0].szInterface, "lan0");
}

}  // namespace
