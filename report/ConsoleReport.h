// The report written to a terminal or file as it grows.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "ReportText.h"

/// Writes every complete line of the report to a stream, converted from Windows-1252 to UTF-8
/// with "\n" line ends and control characters escaped. Complete lines are held until the report's
/// display is brought up to date (after each device or burst of devices during a search, after
/// every line otherwise), and then go out in one write. A line rewritten by
/// a lone carriage return is written only in its final form, except on a terminal: there the
/// unfinished line (a progress line) is shown as it changes, rewritten in place. The stream only
/// grows: when the report is reset while it holds no more than its opening (the banner and an
/// empty line), and then begins with those same lines again, they are not written a second time.
/// After a write fails (a full disk, a pipe whose reader has gone) nothing more is written.
class CConsoleReportWriter : public CReportTextListener {
public:
    explicit CConsoleReportWriter(std::FILE* pStream, bool bTerminal = false)
        : m_pStream(pStream), m_bTerminal(bTerminal) {}
    void OnReportReset() override;
    void OnUnfinishedLineDropped() override { m_strPending.clear(); }
    void OnTextAppended(const char* pText, std::size_t nLength) override;
    void OnReportFlush() override { WriteHeld(); }
    /// Writes what is left of an unfinished last line.
    void Finish();
    /// The errno of the first write to the stream that failed; 0 while every write succeeded.
    int WriteError() const { return m_nWriteError; }

private:
    void WriteLine(const std::string& line);
    /// Writes the lines held back, in one write, and flushes the stream.
    void WriteHeld();
    void Written(bool bSucceeded);
    /// On a terminal: shows the unfinished line in place of what it showed before.
    void ShowPending();
    /// "\r" and the text, padded with blanks over a longer line shown before.
    std::string InPlace(const std::string& text);

    std::FILE* m_pStream;
    bool m_bTerminal;
    std::size_t m_nShownWidth = 0;  // characters of the unfinished line on the terminal
    std::string m_strPending;
    std::string m_strHeld;                       // complete lines, converted, not yet written
    std::vector<std::string> m_linesSinceReset;  // complete lines of the report since its reset
    std::vector<std::string> m_repeatable;       // lines already written that need not be again
    std::size_t m_nRepeated = 0;
    int m_nWriteError = 0;
};
