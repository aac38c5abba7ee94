// The report written to a terminal or file as it grows.
#pragma once

#include <cstdio>
#include <string>

#include "ReportWindow.h"

/// Writes every complete line of the report to a stream the moment it is complete, converted from
/// Windows-1252 to UTF-8 with "\n" line ends and control characters escaped. A line rewritten by
/// a lone carriage return is written only in its final form.
class CConsoleReportWriter : public CReportTextListener {
public:
    explicit CConsoleReportWriter(std::FILE* pStream) : m_pStream(pStream) {}
    void OnReportReset() override { m_strPending.clear(); }
    void OnUnfinishedLineDropped() override { m_strPending.clear(); }
    void OnTextAppended(const char* pText, std::size_t nLength) override;
    /// Writes what is left of an unfinished last line.
    void Finish();

private:
    std::FILE* m_pStream;
    std::string m_strPending;
};
