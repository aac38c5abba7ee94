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
}

TEST(Simulator, PageEscapesDeviceTexts) {
    sim::SimulatedDevice device;
    device.serial = "<script>";
    const std::string page = sim::ComposePage(device);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;"), std::string::npos);
}

}  // namespace
