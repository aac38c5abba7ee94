// The report: one growing 8-bit text that everything the program tells the user is appended to.
// The text and its rules live here, apart from any window: a front end makes one and hands it to
// the search, and the report window, the console writer and tests each attach to it.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ReportSink.h"

/// Receives the report text as it grows, for outputs other than the display (the command-line
/// finder writes it to a terminal). All calls come from AppendText, Reset and UpdateDisplay.
class CReportTextListener {
public:
    virtual ~CReportTextListener() = default;
    /// The text was emptied by Reset.
    virtual void OnReportReset() = 0;
    /// A piece that began with a lone carriage return removed the unfinished last line.
    virtual void OnUnfinishedLineDropped() = 0;
    /// The bytes were appended to the end of the text.
    virtual void OnTextAppended(const char* pText, std::size_t nLength) = 0;
    /// The display is brought up to date: what was appended is to be shown now. (A listener may
    /// hold the text back until then, so that a device's lines go out at once.)
    virtual void OnReportFlush() {}
};

/// What shows a report text (the report window's edit control). The text calls it; it never
/// reaches for a control itself.
class CReportDisplay {
public:
    virtual ~CReportDisplay() = default;
    /// Brings the display up to date with the whole text.
    virtual void ShowReportText() = 0;
    /// The text is being reset: the display resets its own limit and returns the largest text
    /// it can show, or 0 when there is no display.
    virtual std::size_t ResetDisplayLimit() = 0;
};

/// The report text with its rules: error and warning lines counted and set off by empty lines,
/// the lone-carriage-return rule, formatted appending of at most 1023 characters, and trimming
/// from the front at a limit that the display sets (32000 characters without one). No operation
/// reports a failure. It is the report that its writers (CReportSink) write to.
class CReportText : public CReportSink {
public:
    CReportText();
    ~CReportText() override = default;
    CReportText(const CReportText&) = delete;
    CReportText& operator=(const CReportText&) = delete;

    const char* m_pszProgramName = "(unknown)";
    const char* m_pszBuildDate = "";
    const char* m_pszBuildTime = "";
    /// Language tag; German texts when its first three bytes are "de-" (LanguageOfTag).
    const char* m_pszLanguage = "en-US";
    std::string m_strText;
    /// While true, AppendText refreshes the display after a piece that holds a line end.
    bool m_bAutoRefresh = true;
    int m_nErrors = 0;
    int m_nWarnings = 0;
    /// Optional second output of the text; not owned.
    CReportTextListener* m_pListener = nullptr;
    /// What shows the text; null: no display. Not owned.
    CReportDisplay* m_pDisplay = nullptr;

    /// The language of m_pszLanguage.
    Language GetLanguage() const override;
    /// Appends one zero-terminated piece: counts and sets off error and warning lines, applies
    /// the lone-carriage-return rule, trims the text to its limit and refreshes the display when
    /// the piece holds a line end.
    void AppendText(const char* pszPiece) override;
    /// Appends the location line of a failure: the function name from its first colon on, the
    /// file name without directories and the line.
    void PrintErrorLocation(const char* pszFunction, const char* pszFile, int nLine) override;
    /// Makes the text end with an empty line ("\r\n" twice).
    void EnsureBlankLine() override;
    /// Makes the text end with "\r\n", unless it does.
    void EnsureLineEnd() override;
    /// Empties the text, zeroes the counters, lets the display reset its limit and appends the
    /// banner line.
    void Reset() override;
    /// m_bAutoRefresh false while held.
    void HoldDisplay(bool bHold) override { m_bAutoRefresh = !bHold; }
    /// Shortens the text from its front when nIncoming more characters would pass the limit:
    /// by at least an eighth of the limit, to the next empty line within half that much further,
    /// else to the next line end.
    void TrimText(std::size_t nIncoming);
    /// Brings the display up to date (nothing without one), and lets the listener show what it
    /// holds.
    void UpdateDisplay() override;
    /// The limit that trimming keeps the text within, as the display that shows the text can
    /// hold it (at most 262144); 0: no display, 32000. The display sets it.
    void SetDisplayLimit(std::size_t nLimit);
    std::size_t TrimLimit() const { return m_nTrimLimit; }

    /// Counts the changes of the text other than appending at its end (Reset, a trim at its
    /// front, the lone-carriage-return rule): while it stays the same, the text shown before is
    /// still its beginning, and a display need only add what was appended.
    std::uint64_t TextRewrites() const { return m_nTextRewrites; }

private:
    std::uint64_t m_nTextRewrites = 0;
    std::size_t m_nTrimLimit;
    std::size_t m_nTrimCut;
};
