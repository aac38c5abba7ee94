// The report written to a terminal or file as it grows.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "ReportText.h"

/// Writes every complete line of the report to a stream the moment it is complete, converted from
/// Windows-1252 to UTF-8 with "\n" line ends and control characters escaped. A line rewritten by
/// a lone carriage return is written only in its final form. The stream only grows: when the
/// report is reset while it holds no more than its opening (the banner and an empty line), and
/// then begins with those same lines again, they are not written a second time.
class CConsoleReportWriter : public CReportTextListener {
public:
    explicit CConsoleReportWriter(std::FILE* pStream) : m_pStream(pStream) {}
    void OnReportReset() override;
    void OnUnfinishedLineDropped() override { m_strPending.clear(); }
    void OnTextAppended(const char* pText, std::size_t nLength) override;
    /// Writes what is left of an unfinished last line.
    void Finish();
    /// The errno of the first write to the stream that failed; 0 while every write succeeded.
    int WriteError() const { return m_nWriteError; }

private:
    void WriteLine(const std::string& line);
    void Written(bool bSucceeded);

    std::FILE* m_pStream;
    std::string m_strPending;
    std::vector<std::string> m_linesSinceReset;  // complete lines of the report since its reset
    std::vector<std::string> m_repeatable;       // lines already written that need not be again
    std::size_t m_nRepeated = 0;
    int m_nWriteError = 0;
};
