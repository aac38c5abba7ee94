// A report without a display, made fresh for each test and handed to what it tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ReportText.h"

class TestReport : public CReportText {
public:
    explicit TestReport(const char* pszLanguage = "en-US") {
        m_pszProgramName = "lorixlog-finder version 2.0.45";
        m_pszBuildDate = "Mar 13 2026";
        m_pszBuildTime = "10:59:27";
        m_pszLanguage = pszLanguage;
    }
};

inline constexpr const char kEnglishBanner[] =
    "This is lorixlog-finder version 2.0.45 built on Mar 13 2026, 10:59:27\r\n";
inline constexpr const char kGermanBanner[] =
    "Dies ist lorixlog-finder version 2.0.45 vom Mar 13 2026, 10:59:27\r\n";

/// A fresh report for each test.
class WithReport : public ::testing::Test {
protected:
    void UseLanguage(const char* pszTag) { m_report.m_pszLanguage = pszTag; }
    const std::string& Text() const { return m_report.m_strText; }

    TestReport m_report;
};
