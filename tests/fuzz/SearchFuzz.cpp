// A whole search on the scripted socket layer, fed with fuzzed datagrams, receive errors and
// interfaces; then the table, the report on a console and the JSON and CSV exports are checked.
//
// Input: a flags byte (bit 0 German, bit 1 target lines, bit 2 the limited broadcast fails,
// bit 3 interface lines, bit 4 a full send buffer now and then), then events until the input
// ends, each led by a kind byte:
//   0 datagram: delay (x 16 ms), last octet of the sender, sender port, length (2 bytes), bytes
//   1 receive error: delay, the error (an index into a list of codes)
//   2 interface: four address bytes, prefix length
//   3 reply: delay, last octet of the sender, length (1 byte), bytes after "TVK,lorix"
//   4 target: third octet of 10.88.x.0, prefix length (22 to 32), and a device behind a router
//     that answers its own address: last octet, length (1 byte), bytes after "TVK,lorix"
// Every datagram the search sends must be the query.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ConsoleReport.h"
#include "DeviceExport.h"
#include "DeviceInfo.h"
#include "DeviceWatch.h"
#include "Invariants.h"
#include "Metrics.h"
#include "ReportText.h"
#include "ScriptedSocketLayer.h"
#include "TestTable.h"

namespace {

class FuzzReport : public CReportText {
public:
    FuzzReport(const char* pszLanguage) {
        m_pszProgramName = "lorixlog-finder version 2.0.45";
        m_pszBuildDate = "Mar 13 2026";
        m_pszBuildTime = "10:59:27";
        m_pszLanguage = pszLanguage;
    }
};

class Input {
public:
    Input(const std::uint8_t* p, std::size_t n) : m_p(p), m_n(n) {}
    bool Empty() const { return m_i >= m_n; }
    std::uint8_t Byte() { return m_i < m_n ? m_p[m_i++] : 0; }
    std::string Bytes(std::size_t n) {
        n = std::min(n, m_n - std::min(m_i, m_n));
        std::string s(reinterpret_cast<const char*>(m_p + m_i), n);
        m_i += n;
        return s;
    }

private:
    const std::uint8_t* m_p;
    std::size_t m_n;
    std::size_t m_i = 0;
};

const int kReceiveErrors[] = {net::WSAEINTR,    net::WSAEINVAL,       net::WSAECONNRESET,
                              net::WSAEMSGSIZE, net::WSAECONNABORTED, net::WSAESHUTDOWN,
                              net::WSAENETDOWN, net::WSAEWOULDBLOCK};

std::string Sender(std::uint8_t nOctet) {
    return "10.0.0." + std::to_string(nOctet);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    Input in(pData, nSize);
    const std::uint8_t nFlags = in.Byte();

    net::ScriptedSocketLayer layer;
    std::uint32_t nAt = 0;
    int nEvents = 0;
    std::vector<SearchTarget> targets;
    while (!in.Empty() && nEvents++ < 400) {
        switch (in.Byte() % 5) {
            case 0: {
                nAt += in.Byte() * 16u;
                const std::string from = Sender(in.Byte());
                const auto nPort = static_cast<std::uint16_t>(in.Byte() + 1);
                const std::size_t nLength = in.Byte() | (in.Byte() << 8);
                layer.AddDatagram(nAt, from.c_str(), nPort, in.Bytes(nLength));
                break;
            }
            case 1:
                nAt += in.Byte() * 16u;
                layer.AddReceiveError(nAt, kReceiveErrors[in.Byte() % std::size(kReceiveErrors)]);
                break;
            case 2: {
                const std::string address =
                    std::to_string(in.Byte()) + "." + std::to_string(in.Byte()) + "." +
                    std::to_string(in.Byte()) + "." + std::to_string(in.Byte());
                const unsigned nPrefix = in.Byte() % 33;
                const std::uint32_t nMask = nPrefix == 0 ? 0 : ~0u << (32 - nPrefix);
                const std::string mask =
                    std::to_string(nMask >> 24) + "." + std::to_string((nMask >> 16) & 0xFF) + "." +
                    std::to_string((nMask >> 8) & 0xFF) + "." + std::to_string(nMask & 0xFF);
                layer.AddInterface(address.c_str(), mask.c_str());
                break;
            }
            case 3: {
                nAt += in.Byte() * 16u;
                const std::string from = Sender(in.Byte());
                layer.AddDatagram(nAt, from.c_str(), 9959, "TVK,lorix" + in.Bytes(in.Byte()));
                break;
            }
            default: {
                const std::string network = "10.88." + std::to_string(in.Byte()) + ".";
                const int nPrefix = 22 + in.Byte() % 11;
                SearchTarget target;
                std::string error;
                if (targets.size() < 4 &&
                    ParseSearchTarget(network + "0/" + std::to_string(nPrefix), &target, &error,
                                      Language::English)) {
                    targets.push_back(target);
                }
                const std::string device = network + std::to_string(in.Byte());
                layer.AddResponder(device.c_str(), "0.0.0.0", "TVK,lorix" + in.Bytes(in.Byte()));
                break;
            }
        }
    }
    if ((nFlags & 16) != 0) {
        layer.m_nBlockedSends = 3;
    }
    if ((nFlags & 4) != 0) {
        layer.FailSendsTo("255.255.255.255", net::WSAENETUNREACH);
    }

    char* pConsole = nullptr;
    std::size_t nConsole = 0;
    std::FILE* pStream = open_memstream(&pConsole, &nConsole);
    fuzz::Require(pStream != nullptr, "a memory stream");
    {
        FuzzReport report((nFlags & 1) != 0 ? "de-DE" : "en-US");
        CConsoleReportWriter writer(pStream);
        report.m_pListener = &writer;
        net::InstallSocketLayer(&layer);
        SearchSettings settings;
        settings.nVerbosity = (nFlags & 8) != 0 ? 2 : (nFlags & 2) != 0 ? 1 : 0;
        settings.targets = targets;
        settings.nQueriesPerSecond = 5000;

        const SearchOutcome outcome = TestTable().SearchDevices(settings, report, nullptr);
        if (TestTable().m_nDevices == 0 && outcome.result != SearchOutcome::Failed) {
            ReportNoDeviceAnswered(report, TestTable(), outcome, texts::FindTargetsHint);
        }

        writer.Finish();
        net::InstallSocketLayer(nullptr);
        fuzz::Require(report.m_strText.size() <= 32000, "the report stays within its limit");
        fuzz::Require(report.m_strText.size() >= 2 &&
                          report.m_strText.compare(report.m_strText.size() - 2, 2, "\r\n") == 0,
                      "the report ends with a line end");
        fuzz::Require(layer.m_nSocketsCreated == layer.m_nSocketsClosed, "the socket is closed");
        for (const auto& sent : layer.m_aSent) {
            fuzz::Require(sent.bytes == "*IDN?", "every datagram sent is the query", sent.bytes);
        }
    }
    std::fclose(pStream);
    fuzz::CheckTerminalText(std::string_view(pConsole, nConsole));
    std::free(pConsole);

    fuzz::CheckTable(TestTable());
    const std::string json = DevicesAsJson(TestTable());
    fuzz::CheckJson(json, TestTable().m_nDevices);
    fuzz::CheckDeviceTextInJson(TestTable(), json);
    fuzz::CheckCsv(DevicesAsCsv(TestTable()), TestTable().m_nDevices);
    // The watch's lines: for people safe on a terminal, for scripts one valid JSON object each;
    // its metrics as a monitoring system reads them.
    CDeviceWatch watch;
    const std::vector<DeviceChange> changes = watch.Update(TestTable());
    CWatchMetrics metrics;
    metrics.AddRound(WatchRound{false, 4.5, 1796860000, 0}, changes);
    const std::string exposition = metrics.Exposition();
    fuzz::CheckExposition(exposition);
    if (const char* pszDirectory = std::getenv("LORIXLOG_EXPOSITION_DIR")) {
        // For promtool: each input's metrics in a file of its own.
        static int nWritten = 0;
        const std::string path =
            std::string(pszDirectory) + "/exposition-" + std::to_string(++nWritten) + ".txt";
        if (std::FILE* pFile = std::fopen(path.c_str(), "wb")) {
            std::fwrite(exposition.data(), 1, exposition.size(), pFile);
            std::fclose(pFile);
        }
    }
    for (const DeviceChange& change : changes) {
        const std::string line = ChangeAsText(change, "2026-12-09T14:03:12Z");
        fuzz::Require(!line.empty() && line.back() == '\n' && line.find('\n') == line.size() - 1,
                      "a watch line is one line", line);
        fuzz::CheckTerminalText(line);
        const std::string json = ChangeAsJson(change, "2026-12-09T14:03:12Z");
        fuzz::CheckJson("[" + json.substr(0, json.size() - 1) + "]", 1);
    }
    TestTable().ClearDevices();
    return 0;
}
