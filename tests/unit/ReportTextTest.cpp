#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReportFixture.h"

namespace {

using ReportText = WithReport;

TEST_F(ReportText, EnsureBlankLineFromEveryStartingState) {
    struct Case {
        const char* pszBefore;
        const char* pszAfter;
    };
    const Case cases[] = {
        {"", "\r\n\r\n"},           {"x", "x\r\n\r\n"},   {"x\r\n", "x\r\n\r\n"},
        {"x\r\n\r\n", "x\r\n\r\n"}, {"\n", "\n\r\n\r\n"}, {"\r\n", "\r\n\r\n"},
    };
    for (const Case& c : cases) {
        m_report.m_strText = c.pszBefore;
        m_report.EnsureBlankLine();
        EXPECT_EQ(Text(), c.pszAfter) << "starting from \"" << c.pszBefore << "\"";
    }
}

TEST_F(ReportText, ErrorLineIsCountedAndSetOffByEmptyLines) {
    m_report.m_strText = "abc\r\n";
    m_report.AppendText("ERROR: it broke\r\n");
    EXPECT_EQ(Text(), "abc\r\n\r\nERROR: it broke\r\n\r\n");
    EXPECT_EQ(m_report.m_nErrors, 1);
    EXPECT_EQ(m_report.m_nWarnings, 0);

    m_report.AppendText("error: small letters\r\n");
    EXPECT_EQ(m_report.m_nErrors, 2);
    EXPECT_EQ(Text(), "abc\r\n\r\nERROR: it broke\r\n\r\nerror: small letters\r\n\r\n");
}

TEST_F(ReportText, ClassifiesEveryPrefixExactly) {
    struct Case {
        const char* pszPiece;
        int nErrors;
        int nWarnings;
    };
    const Case cases[] = {
        {"ERROR: x", 1, 0},
        {"*** ERROR: x", 1, 0},
        {"InternalError: x", 1, 0},
        {"Internal Error: x", 1, 0},
        {"*** internal error: x", 1, 0},
        {"WARNING: x", 0, 1},
        {"*** Warning: x", 0, 1},
        {"WARNING:x", 0, 0},
        {" WARNING: x", 0, 0},
        {"Internal Error:x", 0, 0},
        {"ERROR:", 0, 0},
        {"\rERROR: x", 0, 0},
        {"ERRORS: x", 0, 0},
    };
    for (const Case& c : cases) {
        m_report.Reset();
        m_report.AppendText(c.pszPiece);
        EXPECT_EQ(m_report.m_nErrors, c.nErrors) << c.pszPiece;
        EXPECT_EQ(m_report.m_nWarnings, c.nWarnings) << c.pszPiece;
    }
}

TEST_F(ReportText, ResetZeroesCountersAndWritesOnlyTheBanner) {
    m_report.AppendText("ERROR: a\r\n");
    m_report.AppendText("WARNING: b\r\n");
    m_report.Reset();
    EXPECT_EQ(m_report.m_nErrors, 0);
    EXPECT_EQ(m_report.m_nWarnings, 0);
    EXPECT_EQ(Text(), kEnglishBanner);
}

TEST_F(ReportText, LoneCarriageReturnRewritesTheUnfinishedLine) {
    m_report.m_strText = "first\r\nold";
    m_report.AppendText("\rnew");
    EXPECT_EQ(Text(), "first\r\nnew");

    m_report.m_strText = "first\r\n";
    m_report.AppendText("\rnew");
    EXPECT_EQ(Text(), "first\r\nnew");

    m_report.m_strText = "no line feed";
    m_report.AppendText("\rnew");
    EXPECT_EQ(Text(), "no line feednew");

    m_report.m_strText = "first\r\nold";
    m_report.AppendText("\r");
    EXPECT_EQ(Text(), "first\r\n");

    m_report.m_strText = "first\r\nold";
    m_report.AppendText("\r\nnext");
    EXPECT_EQ(Text(), "first\r\nold\r\nnext");
}

TEST_F(ReportText, PrintfCutsOutputAt1023Characters) {
    const std::string longText(1500, 'a');
    m_report.m_strText.clear();
    m_report.Printf("%s", longText.c_str());
    EXPECT_EQ(Text(), std::string(1023, 'a'));
}

TEST_F(ReportText, ErrorLocationShowsFunctionFromColonAndFileWithoutDirectories) {
    m_report.m_strText.clear();
    m_report.PrintErrorLocation("CDeviceInfo::SearchDevices", "C:\\work\\shared\\DeviceInfo.cpp",
                                270);
    EXPECT_EQ(Text(), " in ::SearchDevices() in \"DeviceInfo.cpp\" line 270\r\n");

    m_report.m_strText.clear();
    m_report.PrintErrorLocation("main", "/a/b\\c/d.cpp", 7);
    EXPECT_EQ(Text(), " in main() in \"d.cpp\" line 7\r\n");

    m_report.m_strText.clear();
    m_report.PrintErrorLocation("f", "plain.cpp", -1);
    EXPECT_EQ(Text(), " in f() in \"plain.cpp\" line -1\r\n");
}

TEST_F(ReportText, BannerLanguageFollowsTheFirstThreeBytesOfTheTag) {
    for (const char* pszTag : {"de-DE", "de-AT", "de-CH"}) {
        UseLanguage(pszTag);
        m_report.Reset();
        EXPECT_EQ(Text(), kGermanBanner) << pszTag;
    }
    for (const char* pszTag : {"en-US", "DE-DE", "de_DE", "de", "", "De-DE"}) {
        UseLanguage(pszTag);
        m_report.Reset();
        EXPECT_EQ(Text(), kEnglishBanner) << pszTag;
    }
}

// --- Trimming without an edit control: limit 32000, cut size 4000. ---

std::string Filler(std::size_t n) {
    return std::string(n, 'x');
}

TEST_F(ReportText, TrimCutsBehindEmptyLineWithinTheSearchWindow) {
    std::string text = Filler(31990);
    // An empty line whose second line feed stands at 4500.
    text.replace(4497, 4, "\r\n\r\n");
    m_report.m_strText = text;
    m_report.AppendText(std::string(20, 'y').c_str());
    const std::string expected = text.substr(4500) + std::string(20, 'y');
    EXPECT_EQ(Text(), expected);
    EXPECT_EQ(Text()[0], '\n');
}

TEST_F(ReportText, TrimCutsAtNextLineEndWhenNoEmptyLineIsInTheWindow) {
    std::string text = Filler(31990);
    text.replace(5000, 2, "\r\n");      // a single line end in the window is no empty line
    text.replace(6500, 4, "\r\n\r\n");  // an empty line beyond 5999 is not looked for
    // The cut goes from 6000, the first position not examined, to the next line feed, 6501.
    m_report.m_strText = text;
    m_report.AppendText(std::string(20, 'y').c_str());
    EXPECT_EQ(Text(), text.substr(6501) + std::string(20, 'y'));
}

TEST_F(ReportText, TrimDeletesWholeTextWithoutLineFeedAfterTheCutSize) {
    std::string text = Filler(31990);
    text.replace(100, 2, "\r\n");  // before the cut size: not considered
    m_report.m_strText = text;
    m_report.AppendText(std::string(20, 'y').c_str());
    EXPECT_EQ(Text(), std::string(20, 'y'));
}

TEST_F(ReportText, TrimHappensOnlyPastTheLimit) {
    std::string text = Filler(31980);
    text.replace(6100, 2, "\r\n");
    m_report.m_strText = text;
    m_report.AppendText(std::string(20, 'y').c_str());
    EXPECT_EQ(Text().size(), 32000u) << "length plus piece equal to the limit must not trim";

    m_report.m_strText = text + "z";
    m_report.AppendText(std::string(20, 'y').c_str());
    EXPECT_TRUE(Text() == (text + "z").substr(6101) + std::string(20, 'y'))
        << "one character over the limit cuts to the line feed at 6101";
}

TEST_F(ReportText, PieceLongerThanTheRoomOfOneCutIsStillAppendedWhole) {
    m_report.m_strText = Filler(100);
    const std::string piece(31990, 'p');
    m_report.AppendText(piece.c_str());
    EXPECT_EQ(Text(), piece);
}

class RecordingListener : public CReportTextListener {
public:
    void OnReportReset() override { m_events.push_back("reset"); }
    void OnUnfinishedLineDropped() override { m_events.push_back("drop"); }
    void OnTextAppended(const char* p, std::size_t n) override { m_events.emplace_back(p, n); }
    std::vector<std::string> m_events;
};

TEST_F(ReportText, ListenerSeesTheTextAsItGrows) {
    RecordingListener listener;
    m_report.m_pListener = &listener;
    m_report.Reset();
    m_report.AppendText("50%");
    m_report.AppendText("\r100%\r\n");
    m_report.m_pListener = nullptr;
    const std::vector<std::string> expected = {"reset", kEnglishBanner, "50%", "drop", "100%\r\n"};
    EXPECT_EQ(listener.m_events, expected);
}

}  // namespace
