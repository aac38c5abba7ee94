// The watch as Prometheus metrics, and the little HTTP of its endpoint: what a monitoring
// system reads, and what a hostile device or client must not do to it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DeviceWatch.h"
#include "HttpRequest.h"
#include "Metrics.h"
#include "MetricsEndpoint.h"

namespace {

DeviceRecord Logger(const char* pszSerial, const char* pszIPv4, const char* pszName = "logger") {
    DeviceRecord d{};
    std::strcpy(d.szIPv4, pszIPv4);
    std::strcpy(d.szMaker, "TVK");
    std::strcpy(d.szModel, "lorixLOG");
    std::strcpy(d.szModelDetail, "LX-8");
    std::strcpy(d.szSerialNumber, pszSerial);
    std::strcpy(d.szHostName, pszName);
    std::strcpy(d.szFirmwareVersion, "3.1.4");
    return d;
}

/// One search of the watch with this table, added to the metrics.
void Round(CDeviceWatch& watch, CWatchMetrics& metrics, const std::vector<DeviceRecord>& table) {
    auto pInfo = std::make_unique<CDeviceInfo>();
    for (const DeviceRecord& d : table) {
        pInfo->AddDevice(d);
    }
    metrics.AddRound(WatchRound{false, 4.25, 1796860000, 3}, watch.Update(*pInfo));
}

/// The lines of the text that begin with the prefix.
std::vector<std::string> Lines(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t nEnd = text.find('\n', i);
        const std::string line = text.substr(i, nEnd - i);
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(line);
        }
        i = nEnd == std::string::npos ? text.size() : nEnd + 1;
    }
    return lines;
}

const char kA[] =
    "lorixlog_device_up{serial=\"A1\",product=\"lorixLOG\",model=\"LX-8\",address=\"10.0.0.1\","
    "name=\"logger\",firmware=\"3.1.4\"}";

// A device's series is 1 while it answers and 0 once the watch counts it as vanished, until it
// comes back; a change (here a new address) replaces its series; the counters count.
TEST(WatchMetrics, DeviceSeriesFollowTheWatch) {
    CDeviceWatch watch;
    CWatchMetrics metrics;
    using V = std::vector<std::string>;
    Round(watch, metrics, {Logger("A1", "10.0.0.1"), Logger("B2", "10.0.0.2")});
    EXPECT_EQ(Lines(metrics.Exposition(), "lorixlog_device_up{").size(), 2u);
    Round(watch, metrics, {Logger("B2", "10.0.0.3")});
    Round(watch, metrics, {Logger("B2", "10.0.0.3")});
    const std::string text = metrics.Exposition();
    EXPECT_EQ(Lines(text, "lorixlog_device_up{"),
              (V{std::string(kA) + " 0",
                 "lorixlog_device_up{serial=\"B2\",product=\"lorixLOG\",model=\"LX-8\","
                 "address=\"10.0.0.3\",name=\"logger\",firmware=\"3.1.4\"} 1"}));
    EXPECT_EQ(Lines(text, "lorixlog_devices "), V{"lorixlog_devices 1"});
    EXPECT_EQ(Lines(text, "lorixlog_searches_total "), V{"lorixlog_searches_total 3"});
    EXPECT_EQ(Lines(text, "lorixlog_replies_dropped_total "),
              V{"lorixlog_replies_dropped_total 9"});
    EXPECT_EQ(Lines(text, "lorixlog_search_duration_seconds "),
              V{"lorixlog_search_duration_seconds 4.25"});
    EXPECT_EQ(Lines(text, "# TYPE lorixlog_searches_total "),
              V{"# TYPE lorixlog_searches_total counter"});
    Round(watch, metrics, {Logger("A1", "10.0.0.1"), Logger("B2", "10.0.0.3")});
    EXPECT_EQ(Lines(metrics.Exposition(), kA), V{std::string(kA) + " 1"}) << "back: one series";
    metrics.AddRound(WatchRound{true, 1, 1796860100, -1}, {});
    EXPECT_EQ(Lines(metrics.Exposition(), "lorixlog_search_failures_total "),
              V{"lorixlog_search_failures_total 1"});
}

// Whatever a device sends, its labels stay one line of valid UTF-8 with the format's escapes.
TEST(WatchMetrics, DeviceTextCannotBreakTheExposition) {
    CDeviceWatch watch;
    CWatchMetrics metrics;
    Round(watch, metrics, {Logger("A\"1\\", "10.0.0.1", "x\"} 1\nfake_metric 7\r\n\xff\x01")});
    const std::string text = metrics.Exposition();
    EXPECT_TRUE(Lines(text, "fake_metric").empty()) << text;
    const std::vector<std::string> series = Lines(text, "lorixlog_device_up{");
    ASSERT_EQ(series.size(), 1u);
    EXPECT_NE(series[0].find("serial=\"A\\\"1\\\\\""), std::string::npos) << series[0];
    EXPECT_NE(series[0].find("name=\"x\\\"} 1\\nfake_metric 7\r\\n\xc3\xbf\x01\""),
              std::string::npos)
        << series[0];
    EXPECT_EQ(PrometheusLabelValue("a\\b\"c\nd"), "a\\\\b\\\"c\\nd");
}

// The request head as it arrives, in pieces or hostile, and the answer to it.
TEST(MetricsEndpoint, RequestsAndTheirAnswers) {
    const struct {
        std::string bytes;
        HttpRequestHead::State state;
        const char* pszStatus;  ///< the answer's status line, for a finished head
    } cases[] = {
        {"GET /metrics HTTP/1.1\r\nHost: a\r\n\r\n", HttpRequestHead::Complete, "200"},
        {"GET /metrics?x=1 HTTP/1.0\n\n", HttpRequestHead::Complete, "200"},
        {"HEAD /metrics HTTP/1.1\r\n\r\n", HttpRequestHead::Complete, "200"},
        {"POST /metrics HTTP/1.1\r\n\r\n", HttpRequestHead::Complete, "405"},
        {"GET / HTTP/1.1\r\n\r\n", HttpRequestHead::Complete, "404"},
        {"GET /metrics/../etc/passwd HTTP/1.1\r\n\r\n", HttpRequestHead::Complete, "404"},
        {"GET /metrics HTTP/1.1\r\nHost: a\r\n", HttpRequestHead::Incomplete, nullptr},
        {"GET /metr", HttpRequestHead::Incomplete, nullptr},
        {"GET /metrics HTTP/2\r\n\r\n", HttpRequestHead::Bad, "400"},
        {"GET metrics HTTP/1.1\r\n\r\n", HttpRequestHead::Bad, "400"},
        {"get /metrics HTTP/1.1\r\n\r\n", HttpRequestHead::Bad, "400"},
        {"GET /met\x01rics HTTP/1.1\r\n\r\n", HttpRequestHead::Bad, "400"},
        {std::string("\0\xff\n", 3), HttpRequestHead::Bad, "400"},
        {"GET /metrics HTTP/1.1\r\nX: " + std::string(9000, 'a'), HttpRequestHead::TooLarge, "431"},
        {std::string(9000, 'G'), HttpRequestHead::TooLarge, "431"},
    };
    for (const auto& c : cases) {
        const HttpRequestHead head = ParseRequestHead(c.bytes);
        EXPECT_EQ(head.state, c.state) << c.bytes.substr(0, 60);
        if (c.pszStatus != nullptr) {
            const std::string answer = HttpAnswer(head, "m 1\n");
            EXPECT_EQ(answer.substr(0, 12), std::string("HTTP/1.1 ") + c.pszStatus)
                << c.bytes.substr(0, 60);
            EXPECT_NE(answer.find("Connection: close\r\n"), std::string::npos);
            const bool bBody = head.method == "GET" && std::strcmp(c.pszStatus, "200") == 0;
            EXPECT_EQ(answer.size() >= 4 && answer.substr(answer.size() - 4) == "m 1\n", bBody)
                << "only GET of /metrics gives the metrics";
        }
    }
}

TEST(MetricsEndpoint, ListensOnAnAddressAndAPort) {
    std::uint32_t nAddress = 0;
    std::uint16_t nPort = 0;
    ASSERT_TRUE(ParseListenAddress("127.0.0.1:9469", &nAddress, &nPort));
    const auto* a = reinterpret_cast<const unsigned char*>(&nAddress);
    const auto* p = reinterpret_cast<const unsigned char*>(&nPort);
    EXPECT_EQ((std::vector<int>{a[0], a[1], a[2], a[3], p[0], p[1]}),
              (std::vector<int>{127, 0, 0, 1, 0x24, 0xfd}));
    for (const char* pszWrong : {"", ":9469", "127.0.0.1", "127.0.0.1:", "127.0.0.1:0",
                                 "127.0.0.1:65536", "127.0.0.256:80", "127.0.0:80", "1.2.3.4.5:80",
                                 "localhost:80", "010.0.0.1:80", "1.2.3.4:+80", "1.2.3.4:80x"}) {
        EXPECT_FALSE(ParseListenAddress(pszWrong, &nAddress, &nPort)) << pszWrong;
    }
}

}  // namespace
