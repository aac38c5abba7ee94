// The report text operations in any order and with any pieces: appending (lone carriage
// returns, error and warning prefixes), Printf, blank lines, resets, and trimming at any limit
// that a display sets. After each step the text must keep the rules that the report promises.
//
// Input: operations until the input ends, each led by a byte: its low three bits choose the
// operation; AppendText and Printf take a length byte and that many bytes.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "Invariants.h"
#include "ReportText.h"

namespace {

class FuzzReport : public CReportText {
public:
    FuzzReport() {
        m_pszProgramName = "lorixlog-finder version 2.0.45";
        m_pszBuildDate = "Mar 13 2026";
        m_pszBuildTime = "10:59:27";
    }
};

constexpr const char kBanner[] =
    "This is lorixlog-finder version 2.0.45 built on Mar 13 2026, 10:59:27\r\n";
/// A display whose limit the input chooses.
class FuzzDisplay : public CReportDisplay {
public:
    void ShowReportText() override { ++m_nRefreshes; }
    std::size_t ResetDisplayLimit() override { return m_nLimit; }
    std::size_t m_nLimit = 0;
    int m_nRefreshes = 0;
};

bool EndsWith(const std::string& text, const char* pszTail) {
    const std::size_t n = std::strlen(pszTail);
    return text.size() >= n && text.compare(text.size() - n, n, pszTail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    FuzzReport report;
    FuzzDisplay display;
    report.m_pDisplay = &display;
    report.Reset();
    std::size_t i = 0;
    auto piece = [&](std::size_t nScale) {
        const std::size_t nLength = i < nSize ? pData[i++] * nScale : 0;
        std::string text(reinterpret_cast<const char*>(pData + i),
                         std::min(nLength, nSize - std::min(i, nSize)));
        i += text.size();
        // Long pieces are made by repeating the input, as a flood of reports would.
        while (nScale > 1 && !text.empty() && text.size() < nLength) {
            text += text.substr(0, nLength - text.size());
        }
        return std::string(text.c_str());  // a piece ends at its first zero byte
    };
    int nSteps = 0;
    while (i < nSize && nSteps++ < 2000) {
        const std::uint8_t op = pData[i++];
        const int nErrors = report.m_nErrors;
        const int nWarnings = report.m_nWarnings;
        switch (op & 7) {
            case 0:
            case 1: {
                const std::string text = piece((op & 8) != 0 ? 4 : 1);
                report.AppendText(text.c_str());
                fuzz::Require(report.m_nErrors + report.m_nWarnings - nErrors - nWarnings <= 1,
                              "one piece counts as one error or warning at most");
                if (text.size() >= 2 && text[0] == '\r' && text[1] != '\n') {
                    fuzz::Require(report.m_nErrors == nErrors && report.m_nWarnings == nWarnings,
                                  "a piece that begins with a lone CR is no error line");
                }
                break;
            }
            case 2: {
                const std::string text = piece(8);
                const std::size_t nBefore = report.m_strText.size();
                report.Printf("%s", text.c_str());
                fuzz::Require(report.m_strText.size() <= nBefore + 1023 + 8,
                              "Printf appends at most 1023 characters");
                break;
            }
            case 3:
                report.EnsureBlankLine();
                fuzz::Require(EndsWith(report.m_strText, "\r\n\r\n"),
                              "EnsureBlankLine ends the text with an empty line");
                break;
            case 4:
                report.Reset();
                fuzz::Require(report.m_strText == kBanner, "Reset leaves the banner alone");
                fuzz::Require(report.m_nErrors == 0 && report.m_nWarnings == 0,
                              "Reset zeroes the counters");
                break;
            case 5: {
                // A display limit, as small as the biggest piece allows or as large as the
                // largest limit; it takes effect with the next reset.
                const std::size_t nLimit = i + 1 < nSize ? (pData[i] << 8 | pData[i + 1]) * 8 : 0;
                i += 2;
                display.m_nLimit = nLimit == 0 ? 0 : std::max<std::size_t>(nLimit, 8 * 1024);
                break;
            }
            case 6: {
                const int nRefreshes = display.m_nRefreshes;
                report.AppendText("\r\n");
                fuzz::Require(display.m_nRefreshes == nRefreshes + 1 || !report.m_bAutoRefresh,
                              "a line end refreshes the display");
                break;
            }
            default:
                report.TrimText(i < nSize ? pData[i++] * 256u : 0);
                break;
        }
        fuzz::Require(report.m_strText.size() <= report.TrimLimit(),
                      "the text stays within its limit", report.m_strText);
        fuzz::Require(report.TrimLimit() <= 0x40000, "the limit is at most 262144");
        fuzz::Require(
            (op & 7) == 4 || (report.m_nErrors >= nErrors && report.m_nWarnings >= nWarnings),
            "the counters never fall but by Reset");
    }
    return 0;
}
