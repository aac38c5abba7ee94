// The report text operations in any order and with any pieces: appending (lone carriage
// returns, error and warning prefixes), Printf, blank lines, resets and the report keys. After
// each step the text must keep the rules that the report promises.
//
// Input: operations until the input ends, each led by a byte: its low three bits choose the
// operation; AppendText and Printf take a length byte and that many bytes.
#include <cstdint>
#include <cstring>
#include <string>

#include "Invariants.h"
#include "ReportWindow.h"

namespace {

class FuzzReport : public CReportWindow {
public:
    FuzzReport() {
        m_pszProgramName = "lorixlog-finder version 2.0.45";
        m_pszBuildDate = "Mar 13 2026";
        m_pszBuildTime = "10:59:27";
    }
};

constexpr const char kBanner[] =
    "This is lorixlog-finder version 2.0.45 built on Mar 13 2026, 10:59:27\r\n";
constexpr std::size_t kLimit = 32000;  // the report's limit without a display

bool EndsWith(const std::string& text, const char* pszTail) {
    const std::size_t n = std::strlen(pszTail);
    return text.size() >= n && text.compare(text.size() - n, n, pszTail) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    FuzzReport report;
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
                fuzz::Require(report.m_strText.size() <= nBefore + 1023 + 8 ||
                                  report.m_strText.size() <= kLimit,
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
            case 5:
                report.HandleKey('+');
                fuzz::Require(EndsWith(report.m_strText, "\r\n\r\n"), "'+' adds an empty line");
                break;
            case 6:
                report.HandleKey(i < nSize ? pData[i++] : 1);
                break;
            default:
                report.TrimText(i < nSize ? pData[i++] * 256u : 0);
                break;
        }
        fuzz::Require(report.m_strText.size() <= kLimit, "the text stays within its limit");
        fuzz::Require(
            (op & 7) == 4 || (report.m_nErrors >= nErrors && report.m_nWarnings >= nWarnings),
            "the counters never fall but by Reset");
    }
    return 0;
}
