// Targets beyond the local networks, as the user writes them.
#include <gtest/gtest.h>

#include <string>

#include "SearchTarget.h"

namespace {

SearchTarget Parse(const std::string& text) {
    SearchTarget target;
    std::string error;
    EXPECT_TRUE(ParseSearchTarget(text, &target, &error)) << text << ": " << error;
    return target;
}

std::string Refused(const std::string& text) {
    SearchTarget target;
    std::string error;
    EXPECT_FALSE(ParseSearchTarget(text, &target, &error)) << text;
    return error;
}

TEST(SearchTarget, HostsAndNames) {
    const SearchTarget host = Parse("10.88.0.20");
    EXPECT_FALSE(host.bName);
    EXPECT_EQ(host.nFirst, 0x0A580014u);
    EXPECT_EQ(host.Count(), 1u);
    EXPECT_FALSE(host.IsSweep());
    EXPECT_EQ(host.nBroadcast, 0u);
    const SearchTarget name = Parse("logger-3.plant.example");
    EXPECT_TRUE(name.bName);
    EXPECT_EQ(name.text, "logger-3.plant.example");
}

TEST(SearchTarget, PrefixesSweepTheirHostsAndEndWithTheirBroadcast) {
    const SearchTarget net24 = Parse("10.88.0.77/24");
    EXPECT_TRUE(net24.IsSweep());
    EXPECT_EQ(net24.nFirst, 0x0A580001u) << "the network address is left out";
    EXPECT_EQ(net24.nLast, 0x0A5800FEu) << "the broadcast address is left out";
    EXPECT_EQ(net24.nBroadcast, 0x0A5800FFu);
    EXPECT_EQ(net24.Count(), 254u);
    EXPECT_EQ(Parse("172.16.0.0/16").Count(), 65534u);
    EXPECT_EQ(Parse("10.0.0.4/30").Count(), 2u);
    const SearchTarget net31 = Parse("10.0.0.4/31");
    EXPECT_EQ(net31.Count(), 2u) << "a /31 has no network or broadcast address";
    EXPECT_EQ(net31.nBroadcast, 0u);
    EXPECT_EQ(Parse("10.0.0.9/32").Count(), 1u);
}

TEST(SearchTarget, MalformedTargetsAreRefusedWithTheirName) {
    EXPECT_EQ(Refused("10.0.0.0/8"), "the prefix length of '10.0.0.0/8' is not from 16 to 32");
    EXPECT_EQ(Refused("10.0.0.0/33"), "the prefix length of '10.0.0.0/33' is not from 16 to 32");
    for (const char* psz : {"10.0.0.0/", "10.0.0.0/x", "10.0.0.0/24/1", "10.0.0.0/-1",
                            "10.0.0.0/+24", "10.0.0.0/024"}) {
        EXPECT_NE(Refused(psz).find(std::string("'") + psz + "' is no IPv4 prefix"),
                  std::string::npos)
            << psz;
    }
    for (const char* psz :
         {"", "10.0.0.256", "a b", "host_name", "-x.lan", "1.2.3.4:80", "http://10.0.0.1/"}) {
        EXPECT_EQ(Refused(psz),
                  std::string("'") + psz + "' is no IPv4 address, host name or prefix")
            << psz;
    }
}

}  // namespace
