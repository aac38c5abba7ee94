// Targets beyond the local networks, as the user writes them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SearchTarget.h"
#include "TargetList.h"

namespace {

SearchTarget Parse(const std::string& text) {
    SearchTarget target;
    std::string error;
    EXPECT_TRUE(ParseSearchTarget(text, &target, &error, Language::English))
        << text << ": " << error;
    return target;
}

std::string Refused(const std::string& text) {
    SearchTarget target;
    std::string error;
    EXPECT_FALSE(ParseSearchTarget(text, &target, &error, Language::English)) << text;
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
    EXPECT_TRUE(Parse("lab_logger").bName) << "as resolvers and browsers take it";
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
    for (const char* psz : {"", "a b", "host name", "-x.lan", "1.2.3.4:80", "http://10.0.0.1/"}) {
        EXPECT_EQ(Refused(psz),
                  std::string("'") + psz + "' is no IPv4 address, host name or prefix")
            << psz;
    }
}

// Numbers in the old forms that resolvers still take would reach a broadcast or loopback address
// behind the user's back; addresses that are no host's are no target.
TEST(SearchTarget, OnlyDottedDecimalHostAddresses) {
    for (const char* psz : {"0xffffffff", "0x7f000001", "2130706433", "010.0.0.1", "10.0.0.01",
                            "127.1", "0x0a.0.0.1", "10.0.0.256", "1.2.3.4.5", "host.123"}) {
        EXPECT_NE(Refused(psz).find("is no IPv4 address"), std::string::npos) << psz;
    }
    for (const char* psz : {"0.0.0.0", "0.1.2.3", "224.0.0.1", "239.255.255.250", "240.0.0.1",
                            "255.255.255.255", "224.0.0.0/16", "0.0.0.0/24", "255.255.0.0/16"}) {
        EXPECT_NE(Refused(psz).find("'" + std::string(psz) + "'"), std::string::npos) << psz;
    }
    EXPECT_EQ(Parse("1.2.3.4").nFirst, 0x01020304u);
    EXPECT_EQ(Parse("223.255.255.254").nFirst, 0xDFFFFFFEu);
    EXPECT_TRUE(Parse("0x-logger.lan").bName) << "a name may begin with digits and letters";
    EXPECT_TRUE(Parse("10x.example").bName);
}

std::vector<TargetRange> Plan(const std::vector<std::string>& texts,
                              const std::vector<OnLinkNetwork>& onLink,
                              std::vector<TargetShare>* pShares,
                              const std::vector<std::vector<std::uint32_t>>& names = {}) {
    std::vector<SearchTarget> targets;
    for (const std::string& text : texts) {
        targets.push_back(Parse(text));
    }
    return PlanTargets(targets, names, onLink, {0x0A4D00FFu}, pShares);
}

std::uint32_t Total(const std::vector<TargetRange>& plan) {
    std::uint32_t n = 0;
    for (const TargetRange& r : plan) {
        n += r.Count();
    }
    return n;
}

// Each address is queried once however the targets overlap, in the order of the targets.
TEST(TargetPlan, EveryAddressOnceInTheTargetsOrder) {
    std::vector<TargetShare> shares;
    const auto plan = Plan(
        {"10.88.0.7", "10.88.0.0/24", "10.88.0.0/23", "10.88.0.7", "10.88.1.1", "name.example"}, {},
        &shares, {{0x0A580107u, 0x0A590001u}});
    EXPECT_EQ(Total(plan), 1u + 254u + 256u + 1u) << "the /23 adds 10.88.1.0 to 10.88.1.255";
    EXPECT_EQ(plan.front().nFirst, 0x0A580007u);
    EXPECT_EQ(plan.back().nFirst, 0x0A590001u) << "the name's second address";
    ASSERT_EQ(shares.size(), 6u);
    EXPECT_EQ(shares[1].nRepeated, 1u);
    EXPECT_EQ(shares[2].nQueried, 256u) << "its hosts and its broadcast that are new";
    EXPECT_EQ(shares[3].nRepeated, 1u);
    EXPECT_EQ(shares[3].nQueried, 0u);
    EXPECT_EQ(shares[4].nRepeated, 1u);
    EXPECT_EQ(shares[5].nQueried, 1u) << "10.88.1.7 was planned already, 10.89.0.1 was not";
}

// Hosts on the computer's own link are left to that network's directed broadcast; so is the
// broadcast address the local search sends anyway.
TEST(TargetPlan, OnLinkHostsAreLeftToTheBroadcast) {
    std::vector<TargetShare> shares;
    const auto plan = Plan({"10.77.0.0/22", "10.77.0.255", "10.77.0.0/24"},
                           {{0x0A4D0001u, 0xFFFFFF00u}}, &shares);
    EXPECT_EQ(Total(plan), 1022u + 1u - 255u) << "10.77.1.0 to 10.77.3.254, and 10.77.3.255";
    EXPECT_EQ(shares[0].nOnLink, 256u - 1u) << "10.77.0.1-255 of the /22's hosts";
    EXPECT_EQ(shares[1].nOnLink, 1u);
    EXPECT_EQ(shares[2].nOnLink, 254u + 1u);
    EXPECT_EQ(shares[2].nQueried, 0u);
}

}  // namespace

// --- Target lists ---

std::vector<std::string> Listed(const std::string& text, std::vector<TargetListError>* pErrors) {
    std::vector<SearchTarget> targets{Parse("10.1.1.1")};  // kept, whatever the list holds
    const bool bOk = ParseTargetList(text, &targets, pErrors, nullptr, Language::English);
    EXPECT_EQ(bOk, pErrors->empty());
    std::vector<std::string> texts;
    for (const SearchTarget& target : targets) {
        texts.push_back(target.text);
    }
    return texts;
}

TEST(TargetList, OneTargetALineWithBlankLinesAndComments) {
    using V = std::vector<std::string>;
    std::vector<TargetListError> errors;
    EXPECT_EQ(Listed("\xef\xbb\xbf# the plant\r\n\r\n  10.88.0.0/24 \r\nlogger7.plant.example\n"
                     "\t# 10.0.0.9\n10.88.3.200",
                     &errors),
              (V{"10.1.1.1", "10.88.0.0/24", "logger7.plant.example", "10.88.3.200"}));
    EXPECT_EQ(Listed("", &errors), V{"10.1.1.1"});
    EXPECT_EQ(TargetListText({Parse("10.0.0.1"), Parse("h.lan")}), "10.0.0.1\nh.lan\n");

    // Every malformed line is named by its number, and nothing of the list is taken.
    EXPECT_EQ(Listed("10.0.0.1\n10.0.0.300\n\n10.0.0.0/8\n", &errors), V{"10.1.1.1"});
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].nLine, 2);
    EXPECT_NE(errors[0].message.find("'10.0.0.300'"), std::string::npos) << errors[0].message;
    EXPECT_EQ(errors[1].nLine, 4);
}

// A zero byte or another control character is no part of any target: the line is malformed, as
// a whole (a reader that stops at the zero byte would query 224.0.0.1 or 127.0.0.1), and the
// message shows it escaped.
TEST(TargetList, ControlBytesMakeALineMalformed) {
    std::vector<TargetListError> errors;
    const std::string list("224.0.0.1\0x\n0x7f000001\0\nplant\x1b[2J.lan\nlab\x7f\n10.0.0.1\t\n",
                           53);
    EXPECT_EQ(Listed(list, &errors), std::vector<std::string>{"10.1.1.1"});
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0].message, "'224.0.0.1\\x00x' holds a control character");
    EXPECT_EQ(errors[1].message, "'0x7f000001\\x00' holds a control character");
    EXPECT_EQ(errors[2].message, "'plant\\x1b[2J.lan' holds a control character");
    EXPECT_EQ(errors[3].nLine, 4);
    EXPECT_EQ(Refused("10.0.0.1\tx"), "'10.0.0.1\\x09x' is no IPv4 address, host name or prefix");
}

// However many lines are wrong and however long they are, the first twenty are named, each
// quoted short, and the rest counted.
TEST(TargetList, ManyMalformedLinesAreCountedBeyondTwenty) {
    std::vector<TargetListError> errors;
    std::vector<SearchTarget> targets;
    std::size_t nUnlisted = 0;
    std::string list;
    for (int i = 0; i < 1000; ++i) {
        list += "bad line " + std::to_string(i) + "\n";
    }
    list += std::string(100000, 'x') + "!\n";
    EXPECT_FALSE(ParseTargetList(list, &targets, &errors, &nUnlisted, Language::English));
    ASSERT_EQ(errors.size(), kMostListedErrors);
    EXPECT_EQ(errors.back().nLine, 20);
    EXPECT_EQ(nUnlisted, 1001u - kMostListedErrors);
    EXPECT_EQ(Refused(std::string(100000, 'x') + "!"),
              "'" + std::string(64, 'x') + "...' is no IPv4 address, host name or prefix");
}

// The JSON array of --json: its "ipv4" fields, whatever else it holds; anything else that
// starts with '[' is refused with the line of the fault, and no input runs away with the stack.
TEST(TargetList, TheJsonOfFindIsATargetList) {
    using V = std::vector<std::string>;
    std::vector<TargetListError> errors;
    EXPECT_EQ(Listed("[\n  {\"ipv4\": \"10.0.0.2\", \"port\": 9959, \"x\": [1, {\"ipv4\": 7}],"
                     " \"dns_name\": \"a\\\"b\\u00e4\"},\n  {\"ipv4\": \"\", \"reachable\": true},"
                     "\n  {\"serial_number\": null, \"ipv4\": \"10.0.0.3\"}\n]\n",
                     &errors),
              (V{"10.1.1.1", "10.0.0.2", "10.0.0.3"}));
    EXPECT_EQ(Listed(" []", &errors), V{"10.1.1.1"});
    const struct {
        const char* pszJson;
        int nLine;
    } wrong[] = {
        {"[\n{\"ipv4\": \"10.0.0.2\"}\n{\"ipv4\": \"10.0.0.3\"}]", 3},
        {"[{\"ipv4\": 10}]", 1},
        {"[{\"ipv4\": \"10.0.0.0/24\"}]", 1},
        {"[{\"ipv4\": \"host.lan\"}]", 1},
        {"[\n\n{\"ipv4\": \"10.0.0.1\"}", 3},
        {"[{\"ipv4\": \"10.0.0.1\"}] x", 1},
        {"[\"10.0.0.1\"]", 1},
        {"[{\"ipv4\": \"10.0.0.1\\x\"}]", 1},
        {"[{\"ipv4\": \"10.0.0.1", 1},
    };
    for (const auto& w : wrong) {
        EXPECT_EQ(Listed(w.pszJson, &errors), V{"10.1.1.1"}) << w.pszJson;
        ASSERT_EQ(errors.size(), 1u) << w.pszJson;
        EXPECT_EQ(errors[0].nLine, w.nLine) << w.pszJson << ": " << errors[0].message;
    }
    const std::string deep = "[{\"a\": " + std::string(100000, '[') + "}]";
    EXPECT_EQ(Listed(deep, &errors), V{"10.1.1.1"});
    EXPECT_EQ(errors.at(0).message, "JSON nested too deeply");
    EXPECT_EQ(Listed(std::string(kLargestTargetList + 1, '\n'), &errors), V{"10.1.1.1"});
}
