#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ConsoleReport.h"
#include "DeviceExport.h"
#include "DeviceUrl.h"
#include "DeviceWatch.h"
#include "ExportFormats.h"
#include "ReportFixture.h"
#include "ScriptedSocketLayer.h"
#include "TextOutput.h"

namespace {

// A saved list's name chooses its format by its extension, in any case; a dot in a folder's
// name is no extension.
TEST(ExportFormats, AFileNameChoosesItsFormatByItsExtension) {
    ASSERT_NE(ExportFormatOfPath("/tmp/List.JSON"), nullptr);
    EXPECT_STREQ(ExportFormatOfPath("/tmp/List.JSON")->pszName, "json");
    ASSERT_NE(ExportFormatOfPath("C:\\Users\\x\\devices.Csv"), nullptr);
    EXPECT_STREQ(ExportFormatOfPath("C:\\Users\\x\\devices.Csv")->pszName, "csv");
    EXPECT_EQ(ExportFormatOfPath("/tmp/saved.json/devices"), nullptr);
    EXPECT_EQ(ExportFormatOfPath("C:\\saved.csv\\devices"), nullptr);
    EXPECT_EQ(ExportFormatOfPath("devices"), nullptr);
    EXPECT_EQ(ExportFormatOfPath("devices.xml"), nullptr);
    EXPECT_EQ(FindExportFormat("report"), nullptr);
}

TEST(TextOutput, ConvertsWindows1252AndEscapesControlCharacters) {
    EXPECT_EQ(TerminalTextFrom1252("Ger\xe4t \x80 \x9f"), "Ger\xc3\xa4t \xe2\x82\xac \xc5\xb8");
    EXPECT_EQ(TerminalTextFrom1252("a\x1b[2Jb\x07\r\x7f"), "a\\x1b[2Jb\\x07\\x0d\\x7f");
    EXPECT_EQ(TerminalTextFrom1252("\x81\x8d\x8f\x90\x9d"), "\\x81\\x8d\\x8f\\x90\\x9d");
    EXPECT_EQ(TerminalTextFrom1252("%s%n"), "%s%n");
}

TEST(TextOutput, JsonStringsAreEscaped) {
    EXPECT_EQ(JsonStringFrom1252("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(JsonStringFrom1252("1.0\r\n\t\x01"), "\"1.0\\r\\n\\t\\u0001\"");
    EXPECT_EQ(JsonStringFrom1252("\xe4\x81\x7f"), "\"\xc3\xa4\\u0081\\u007f\"");
}

TEST(TextOutput, CsvFieldsAreQuotedAsRfc4180Says) {
    EXPECT_EQ(CsvFieldFrom1252("plain"), "plain");
    EXPECT_EQ(CsvFieldFrom1252("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvFieldFrom1252("say \"hi\""), "\"say \"\"hi\"\"\"");
    // Control characters are escaped as the report shows them: a cell shown on a terminal
    // cannot act on it, nor start a line.
    EXPECT_EQ(CsvFieldFrom1252("2.0\r\n"), "2.0\\x0d\\x0a");
    EXPECT_EQ(CsvFieldFrom1252("\x1b"
                               "x\ty,\x81"),
              "\"\\x1bx\\x09y,\\xc2\\x81\"");
    EXPECT_EQ(CsvFieldFromUtf8("a\xe2\x80\xae"
                               "b\xc2\x9b"),
              "a\\u202Eb\\xc2\\x9b")
        << "bidirectional controls and C1 controls";
    EXPECT_EQ(CsvFieldFrom1252("Ger\xe4t"), "Ger\xc3\xa4t");
}

// A cell that a spreadsheet would run as a formula stays text.
TEST(TextOutput, CsvFieldsNeverStartAFormula) {
    EXPECT_EQ(CsvFieldFrom1252("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
    EXPECT_EQ(CsvFieldFrom1252("+1"), "\"'+1\"");
    EXPECT_EQ(CsvFieldFrom1252("-2+3"), "\"'-2+3\"");
    EXPECT_EQ(CsvFieldFrom1252("@SUM(A1)"), "\"'@SUM(A1)\"");
    EXPECT_EQ(CsvFieldFrom1252("\t=1"), "\\x09=1") << "escaped, it begins with no formula";
    EXPECT_EQ(CsvFieldFrom1252("a=1"), "a=1") << "only the first character counts";
    EXPECT_EQ(CsvFieldFrom1252(""), "");
    // Blanks before the formula do not hide it from a spreadsheet.
    EXPECT_EQ(CsvFieldFrom1252("  =1+1"), "\"'  =1+1\"");
    EXPECT_EQ(CsvFieldFrom1252("\n@SUM(A1)"), "\\x0a@SUM(A1)");
    EXPECT_EQ(CsvFieldFrom1252("  a"), "  a");
}

TEST(TextOutput, UserTextKeepsUtf8ButNoControls) {
    EXPECT_EQ(TerminalTextFromUtf8("--gr\xc3\xb6\xc3\x9f"
                                   "e \xe2\x82\xac \xf0\x9f\x98\x80"),
              "--gr\xc3\xb6\xc3\x9f"
              "e \xe2\x82\xac \xf0\x9f\x98\x80");
    EXPECT_EQ(TerminalTextFromUtf8("a\x1b[2J\x07\x7f"), "a\\x1b[2J\\x07\\x7f");
    // Characters that reorder the text around them on the screen, as the report shows them.
    EXPECT_EQ(TerminalTextFromUtf8("evil\xe2\x80\xae"
                                   "txt.exe \xe2\x81\xa6x\xd8\x9c"),
              "evil\\u202Etxt.exe \\u2066x\\u061C");
    // C1 controls (CSI U+009B) act on some terminals too.
    EXPECT_EQ(TerminalTextFromUtf8("\xc2\x9b"
                                   "31m"),
              "\\xc2\\x9b31m");
    // Malformed UTF-8: stray continuation, overlong, surrogate, cut short, out of range.
    EXPECT_EQ(TerminalTextFromUtf8("\x80"), "\\x80");
    EXPECT_EQ(TerminalTextFromUtf8("\xc0\xaf"), "\\xc0\\xaf");
    EXPECT_EQ(TerminalTextFromUtf8("\xe0\x80\xaf"), "\\xe0\\x80\\xaf");
    EXPECT_EQ(TerminalTextFromUtf8("\xed\xa0\x80"), "\\xed\\xa0\\x80");
    EXPECT_EQ(TerminalTextFromUtf8("\xe2\x82"), "\\xe2\\x82");
    EXPECT_EQ(TerminalTextFromUtf8("\xf4\x90\x80\x80"), "\\xf4\\x90\\x80\\x80");
    EXPECT_EQ(TerminalTextFromUtf8("\xff"), "\\xff");
}

DeviceRecord Device(const char* pszSerial, const char* pszIPv4) {
    DeviceRecord d{};
    d.addrIPv4 = net::MakeAddress(pszIPv4, 9959);
    std::strcpy(d.szIPv4, pszIPv4);
    std::strcpy(d.szMaker, "TVK");
    std::strcpy(d.szModel, "lorixA");
    std::strcpy(d.szModelDetail, "B,C");
    std::strcpy(d.szSerialNumber, pszSerial);
    return d;
}

TEST(DeviceUrl, TakesTheBestAddress) {
    DeviceRecord d{};
    EXPECT_EQ(BestDeviceUrl(d), "");
    std::strcpy(d.szHostName, "host");
    EXPECT_EQ(BestDeviceUrl(d), "http://host/");
    std::strcpy(d.szDnsName, "host.lan");
    EXPECT_EQ(BestDeviceUrl(d), "http://host.lan/");
    std::strcpy(d.szIPv6, "fe80::1%3");
    EXPECT_EQ(BestDeviceUrl(d), "http://[fe80::1%3]/");
    std::strcpy(d.szIPv4, "10.0.0.1");
    EXPECT_EQ(BestDeviceUrl(d), "http://10.0.0.1/");
}

TEST(DeviceExport, JsonAndCsvListTheTableInOrder) {
    // A table is too large for a thread's stack on Windows.
    auto pInfo = std::make_unique<CDeviceInfo>();
    CDeviceInfo& info = *pInfo;
    EXPECT_EQ(DevicesAsJson(info), "[]\n");
    info.AddDevice(Device("2", "10.0.0.2"));
    info.AddDevice(Device("1", "10.0.0.1"));
    const std::string json = DevicesAsJson(info);
    EXPECT_EQ(json.substr(0, 40), "[\n  {\"ipv4\": \"10.0.0.1\", \"port\": 9959, \"");
    EXPECT_NE(json.find("\"model_detail\": \"B,C\", \"serial_number\": \"1\""), std::string::npos);
    EXPECT_LT(json.find("10.0.0.1"), json.find("10.0.0.2"));
    EXPECT_NE(json.find("\"url\": \"http://10.0.0.2/\", "), std::string::npos) << json;
    EXPECT_NE(json.find("\"reachable\": false}\n]\n"), std::string::npos) << json;

    EXPECT_EQ(DevicesAsCsv(info),
              "ipv4,port,ipv6,dns_name,maker,model,model_detail,serial_number,host_name,"
              "firmware_version,url,local_interface,local_address,reachable\r\n"
              "10.0.0.1,9959,,,TVK,lorixA,\"B,C\",1,,,http://10.0.0.1/,,,false\r\n"
              "10.0.0.2,9959,,,TVK,lorixA,\"B,C\",2,,,http://10.0.0.2/,,,false\r\n");
}

// Where a reply came in, and a device's own text in UTF-8 or Windows-1252, reach the exports as
// that text.
TEST(DeviceExport, TellWhereARepliesCameInAndKeepUtf8Names) {
    auto pInfo = std::make_unique<CDeviceInfo>();
    CDeviceInfo& info = *pInfo;
    DeviceRecord utf8 = Device("1", "10.0.0.1");
    std::strcpy(utf8.szHostName,
                "K\xc3\xbchlhaus-\xe2\x84\x96"
                "7");  // "Kühlhaus-№7" in UTF-8
    DeviceRecord ansi = Device("2", "10.0.0.2");
    std::strcpy(ansi.szHostName, "K\xfchlhaus\x80");  // "Kühlhaus€" in Windows-1252
    const DeviceArrival arrival{"10.0.0.254", "eth1", true};
    info.AddDevice(utf8, &arrival);
    info.AddDevice(ansi);
    const std::string json = DevicesAsJson(info);
    EXPECT_NE(json.find("\"host_name\": \"K\xc3\xbchlhaus-\xe2\x84\x96"
                        "7\""),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"host_name\": \"K\xc3\xbchlhaus\xe2\x82\xac\""), std::string::npos);
    EXPECT_NE(json.find("\"local_interface\": \"eth1\", \"local_address\": \"10.0.0.254\", "
                        "\"reachable\": true}"),
              std::string::npos);
    EXPECT_NE(json.find("\"reachable\": false}"), std::string::npos);
    const std::string csv = DevicesAsCsv(info);
    EXPECT_NE(csv.find(",K\xc3\xbchlhaus-\xe2\x84\x96"
                       "7,"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find(",eth1,10.0.0.254,true\r\n"), std::string::npos);
}

// --- Watching the devices over repeated searches ---

/// The events of one search's table, as "appeared 1" and so on.
std::vector<std::string> Events(CDeviceWatch& watch, const std::vector<DeviceRecord>& table,
                                std::vector<DeviceChange>* pChanges = nullptr) {
    auto pInfo = std::make_unique<CDeviceInfo>();
    for (const DeviceRecord& d : table) {
        pInfo->AddDevice(d);
    }
    const std::vector<DeviceChange> changes = watch.Update(*pInfo);
    std::vector<std::string> events;
    for (const DeviceChange& c : changes) {
        const char* pszKind = c.kind == DeviceChange::Appeared  ? "appeared "
                              : c.kind == DeviceChange::Changed ? "changed "
                                                                : "vanished ";
        events.push_back(pszKind + std::string(c.record.szSerialNumber) + "@" + c.record.szIPv4);
    }
    if (pChanges != nullptr) {
        *pChanges = changes;
    }
    return events;
}

// A device is known by its serial number: a move to another address is a change. It has vanished
// only when two searches in a row missed it; one miss is forgotten when it answers again.
TEST(DeviceWatch, AppearedChangedAndVanishedAfterTwoMisses) {
    CDeviceWatch watch;
    using V = std::vector<std::string>;
    EXPECT_EQ(Events(watch, {Device("A", "10.0.0.1"), Device("B", "10.0.0.2")}),
              (V{"appeared A@10.0.0.1", "appeared B@10.0.0.2"}));
    std::vector<DeviceChange> changes;
    EXPECT_EQ(Events(watch,
                     {Device("A", "10.0.0.1"), Device("B", "10.0.0.3"), Device("", "10.0.0.4"),
                      Device("B", "10.0.0.5")},
                     &changes),
              (V{"appeared @10.0.0.4", "changed B@10.0.0.3"}))
        << "in table order; one device from two addresses in one search: the first";
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_STREQ(changes[1].previous.szIPv4, "10.0.0.2");
    EXPECT_EQ(Events(watch, {Device("B", "10.0.0.3")}), V{}) << "A and the unnamed missed once";
    EXPECT_EQ(Events(watch, {Device("A", "10.0.0.1"), Device("B", "10.0.0.3")}),
              V{"vanished @10.0.0.4"});
    EXPECT_EQ(watch.Known(), 2u);
    EXPECT_EQ(Events(watch, {}), V{});
    EXPECT_EQ(Events(watch, {}), (V{"vanished A@10.0.0.1", "vanished B@10.0.0.3"}));
    EXPECT_EQ(watch.Known(), 0u) << "what vanished is forgotten: the watch does not grow";
    EXPECT_EQ(Events(watch, {Device("A", "10.0.0.1")}), V{"appeared A@10.0.0.1"});
}

TEST(DeviceWatch, LinesForPeopleAndForScripts) {
    const struct {
        std::int64_t nSeconds;
        const char* pszTime;
    } times[] = {{0, "1970-01-01T00:00:00Z"},
                 {1796824992, "2026-12-09T14:03:12Z"},
                 {951868799, "2000-02-29T23:59:59Z"},
                 {-1, "1969-12-31T23:59:59Z"},
                 {4107542400, "2100-03-01T00:00:00Z"}};
    for (const auto& t : times) {
        EXPECT_EQ(IsoUtcTime(t.nSeconds), t.pszTime) << t.nSeconds;
    }

    CDeviceWatch watch;
    DeviceRecord before = Device("A1", "10.0.0.1");
    std::strcpy(before.szDnsName, "lab.example.lan");
    std::vector<DeviceChange> changes;
    Events(watch, {before}, &changes);
    const std::string time = "2026-12-09T14:03:12Z";
    EXPECT_EQ(ChangeAsText(changes[0], time),
              time + " appeared lorixA B,C A1 at 10.0.0.1 (lab.example.lan)\n");
    DeviceRecord after = before;
    std::strcpy(after.szFirmwareVersion, "3.2.0\x1b[2J\xe2\x80\xae");  // a hostile device
    Events(watch, {after}, &changes);
    ASSERT_EQ(changes.size(), 1u);
    const std::string text = ChangeAsText(changes[0], time);
    EXPECT_EQ(text.rfind(time + " changed lorixA B,C A1: firmware_version  -> 3.2.0", 0), 0u)
        << text;
    EXPECT_EQ(text.find('\x1b'), std::string::npos) << "no control character reaches a terminal";
    EXPECT_NE(text.find("\\x1b[2J\\u202E"), std::string::npos) << text;
    const std::string json = ChangeAsJson(changes[0], time);
    EXPECT_EQ(json.rfind("{\"event\": \"changed\", \"time\": \"" + time +
                             "\", \"device\": {\"ipv4\": \"10.0.0.1\"",
                         0),
              0u)
        << json;
    EXPECT_NE(json.find(", \"previous\": {\"ipv4\": \"10.0.0.1\""), std::string::npos);
    EXPECT_NE(json.find("\"firmware_version\": \"3.2.0\\u001b[2J\xe2\x80\xae\""), std::string::npos)
        << json;
    EXPECT_EQ(json.find('\n'), json.size() - 1) << "one line";
}

/// A stream whose bytes the test reads back: a temporary file, which every platform has.
class StreamSink {
public:
    StreamSink() : m_pStream(std::tmpfile()) {}
    ~StreamSink() {
        if (m_pStream != nullptr) {
            std::fclose(m_pStream);
        }
    }
    std::FILE* Stream() const { return m_pStream; }
    /// Everything written so far.
    std::string Text() const {
        std::fflush(m_pStream);
        const long nEnd = std::ftell(m_pStream);
        std::string text(static_cast<std::size_t>(nEnd), '\0');
        std::rewind(m_pStream);
        const std::size_t nRead = std::fread(text.data(), 1, text.size(), m_pStream);
        text.resize(nRead);
        std::fseek(m_pStream, 0, SEEK_END);
        return text;
    }

private:
    std::FILE* m_pStream;
};

TEST(ConsoleReportWriter, WritesEachCompleteLineOnceInItsFinalForm) {
    StreamSink sink;
    std::FILE* pStream = sink.Stream();
    ASSERT_NE(pStream, nullptr);
    {
        CConsoleReportWriter writer(pStream);
        TestReport report("de-DE");
        report.m_pListener = &writer;
        report.Reset();
        report.AppendText("Ger\xe4t ");
        EXPECT_EQ(sink.Text(),
                  "Dies ist lorixlog-finder version 2.0.45 vom Mar 13 2026, 10:59:27\n")
            << "an unfinished line is held back";
        report.AppendText("\r10%");
        report.AppendText("\r100%\r\n");
        report.AppendText("ERROR: \x1b[1m\r\n");
        report.AppendText("last");
        writer.Finish();
    }
    EXPECT_EQ(sink.Text(),
              "Dies ist lorixlog-finder version 2.0.45 vom Mar 13 2026, 10:59:27\n"
              "100%\n\nERROR: \\x1b[1m\n\nlast\n");
}

TEST(ConsoleReportWriter, DoesNotRepeatAnOpeningThatIsWrittenAgainAfterAReset) {
    StreamSink sink;
    std::FILE* pStream = sink.Stream();
    ASSERT_NE(pStream, nullptr);
    {
        CConsoleReportWriter writer(pStream);
        TestReport report;
        report.m_pListener = &writer;
        // The desktop program resets the report three times before its first search runs.
        report.Reset();
        report.Reset();
        report.EnsureBlankLine();
        report.Reset();
        report.EnsureBlankLine();
        report.AppendText("first search\r\n");
        // A later search starts over with the same opening: after a real report it is written.
        report.Reset();
        report.EnsureBlankLine();
        report.Reset();
        report.EnsureBlankLine();
        report.AppendText("second search\r\n");
        writer.Finish();
    }
    const std::string banner = std::string(kEnglishBanner, std::strlen(kEnglishBanner) - 2) + "\n";
    EXPECT_EQ(sink.Text(), banner + "\nfirst search\n" + banner + "\nsecond search\n");
}

}  // namespace
