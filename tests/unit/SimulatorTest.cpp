// The simulator's options, replies and pages (its sockets are exercised in the sandbox tests).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Simulator.h"

namespace {

// --- The simulator's options and replies ---

sim::Options Parse(std::vector<std::string> args, std::string* pError = nullptr) {
    sim::Options options;
    bool bHelp = false;
    std::string error;
    const bool bOk = sim::ParseOptions(args, &options, &bHelp, &error);
    if (pError != nullptr) {
        *pError = bOk ? "" : error;
    }
    return options;
}

TEST(Simulator, ComposesRepliesFromTheOptions) {
    const sim::Options options =
        Parse({"--port", "9000", "--device", "10.77.0.20", "--device", "10.77.0.21", "--serial",
               "S1", "--name", "dev.lan", "--firmware", "1\\x2c5\\r\\n", "--twice"});
    ASSERT_EQ(options.devices.size(), 2u);
    EXPECT_EQ(options.nPort, 9000);
    EXPECT_EQ(sim::ComposeReply(options.devices[0], 0), "TVK,lorixLOG,LX-8,LX00020,LX00020,3.1.4");
    EXPECT_EQ(sim::ComposeReply(options.devices[1], 0), "TVK,lorixLOG,LX-8,S1,dev.lan,1,5\r\n");
    EXPECT_TRUE(options.devices[1].bTwice);
    EXPECT_FALSE(options.devices[0].bTwice);
}

TEST(Simulator, ReplyOverridesPaddingAndFloodCopies) {
    const sim::Options options =
        Parse({"--device", "10.77.0.20", "--reply", "TVK,lorixA,\\e\\xe4\\\\", "--pad-to", "20",
               "--device", "10.77.0.21", "--serial", "F", "--flood", "3", "--vary"});
    EXPECT_EQ(sim::ComposeReply(options.devices[0], 0), "TVK,lorixA,\x1b\xe4\\xxxxxx");
    EXPECT_EQ(sim::ComposeReply(options.devices[1], 0), "TVK,lorixLOG,LX-8,F,F,3.1.4");
    EXPECT_EQ(sim::ComposeReply(options.devices[1], 2), "TVK,lorixLOG,LX-8,F-2,F,3.1.4");
}

TEST(Simulator, RejectsWrongCommandLines) {
    std::string error;
    Parse({}, &error);
    EXPECT_EQ(error, "no --device given");
    Parse({"--serial", "x"}, &error);
    EXPECT_EQ(error, "option '--serial' must follow a --device");
    Parse({"--device", "10.0.0.300"}, &error);
    EXPECT_EQ(error, "'10.0.0.300' is no IPv4 address");
    Parse({"--device", "10.0.0.1", "--delay", "-1"}, &error);
    EXPECT_EQ(error, "option '--delay' needs a number from 0 to 600000");
    Parse({"--device", "10.0.0.1", "--name"}, &error);
    EXPECT_EQ(error, "option '--name' needs a value");
    for (const char* pszUp : {"5", "5-5", "9-3", "-3", "1-x", "100000-"}) {
        Parse({"--device", "10.0.0.1", "--up", pszUp}, &error);
        EXPECT_EQ(error,
                  "option '--up' needs FROM-[TO] in whole seconds (TO after FROM, UP above 0)")
            << pszUp;
    }
    Parse({"--device", "10.0.0.1", "--cycle", "0,5"}, &error);
    EXPECT_NE(error, "") << "a cycle that is never up";
    Parse({"--up", "0-5"}, &error);
    EXPECT_EQ(error, "option '--up' must follow a --device");
}

// A device that comes and goes: up in its windows (the end excluded), and in the up part of its
// cycle.
TEST(Simulator, SchedulesSayWhenADeviceAnswers) {
    const sim::Options options =
        Parse({"--device", "10.77.0.20", "--device", "10.77.0.21", "--up", "0-10", "--up", "30-",
               "--device", "10.77.0.22", "--cycle", "20,25", "--up", "10-"});
    ASSERT_EQ(options.devices.size(), 3u);
    const struct {
        std::int64_t nMs;
        bool bAlways, bWindows, bCycle;
    } cases[] = {
        {0, true, true, false},     {9999, true, true, false},   {10000, true, false, true},
        {19999, true, false, true}, {20000, true, false, false}, {29999, true, false, false},
        {30000, true, true, false}, {45000, true, true, true},   {3600000, true, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sim::IsUpAt(options.devices[0], c.nMs), c.bAlways) << c.nMs;
        EXPECT_EQ(sim::IsUpAt(options.devices[1], c.nMs), c.bWindows) << c.nMs;
        EXPECT_EQ(sim::IsUpAt(options.devices[2], c.nMs), c.bCycle) << c.nMs;
    }
}

TEST(Simulator, PageEscapesDeviceTexts) {
    sim::SimulatedDevice device;
    device.serial = "<script>";
    const std::string page = sim::ComposePage(device);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;"), std::string::npos);
}

}  // namespace
