// The report: one growing 8-bit text that everything the program tells the user is appended to,
// and the dialog that shows it in a read-only multiline edit control.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "ui/Framework.h"

class CReportEditControl;

/// Receives the report text as it grows, for outputs other than the edit control (the
/// command-line finder writes it to a terminal). All calls come from AppendText and Reset.
class CReportTextListener {
public:
    virtual ~CReportTextListener() = default;
    /// The text was emptied by Reset.
    virtual void OnReportReset() = 0;
    /// A piece that began with a lone carriage return removed the unfinished last line.
    virtual void OnUnfinishedLineDropped() = 0;
    /// The bytes were appended to the end of the text.
    virtual void OnTextAppended(const char* pText, std::size_t nLength) = 0;
};

/// The dialog base class that owns the report text and shows it.
///
/// The constructor prepares the dialog of template IDD_MAIN without a display. A derived window
/// sets m_nEditId and the four text pointers in its constructor, and in its dialog initialisation
/// attaches m_pEditControl to that control, calls Reset and registers itself in g_pReportWindow.
/// No operation reports a failure; without a display every display step does nothing.
class CReportWindow : public CDialogEx {
public:
    CReportWindow();
    ~CReportWindow() override;

    /// The object that takes over the edit control; owned, released once by OnDestroy or the
    /// destructor, whichever comes first.
    std::atomic<CReportEditControl*> m_pEditControl;
    /// Id of the edit control that shows the text; 0 means no display.
    int m_nEditId = 0;
    const char* m_pszProgramName = "(unknown)";
    const char* m_pszBuildDate = "";
    const char* m_pszBuildTime = "";
    /// Language tag; German texts when its first three bytes are "de-".
    const char* m_pszLanguage = "en-US";
    std::string m_strText;
    bool m_bAutoRefresh = true;
    int m_nErrors = 0;
    int m_nWarnings = 0;
    /// Optional second output of the text; not owned.
    CReportTextListener* m_pListener = nullptr;

    /// Appends one zero-terminated piece: counts and sets off error and warning lines, applies
    /// the lone-carriage-return rule, trims the text to its limit and refreshes the display when
    /// the piece holds a line end.
    void AppendText(const char* pszPiece);
    /// printf-style append of at most 1023 characters.
    void Printf(const char* pszFormat, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    /// Makes the text end with an empty line ("\r\n" twice).
    void EnsureBlankLine();
    /// Empties the text, zeroes the counters, resets the control's text limit and appends the
    /// banner line.
    void Reset();
    /// Shortens the text from its front when nIncoming more characters would pass the limit.
    void TrimText(std::size_t nIncoming);
    /// Copies the whole text into the edit control and scrolls to its last line; does nothing
    /// without a display or while a scroll-bar thumb is being dragged.
    void UpdateDisplay();
    /// The report's keys, for every character typed anywhere: Ctrl+A (1) selects the whole
    /// report, '+' (43) ends the text with an empty line and puts the caret at the end.
    void HandleKey(WPARAM nChar);

    /// Whether report texts are to be German (the language tag begins with "de-").
    bool IsGerman() const;

protected:
    void OnDestroy();
    /// Drops the display link and releases the edit-control object once.
    void ReleaseEditControl();

    DECLARE_MESSAGE_MAP()
};

/// The report window that receives all report output; null until the main window registers.
extern CReportWindow* g_pReportWindow;

/// The listener that every report window starts with (null: none). The desktop program sets it
/// so that its report also goes to standard output.
extern CReportTextListener* g_pDefaultReportListener;

/// Printf on g_pReportWindow; does nothing (not even formatting) while it is null.
void ReportPrintf(const char* pszFormat, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/// Appends the location line of a failure: the function name from its first colon on, the file
/// name without directories and the line. Call only while g_pReportWindow is set.
void ReportErrorLocation(const char* pszFunction, const char* pszFile, int nLine);

/// The language rule: German when the first three bytes of the tag are exactly "de-".
bool IsGermanLanguageTag(const char* pszTag);

/// Whether report texts are German: the tag of g_pReportWindow, or "en-US" without one.
bool ReportIsGerman();
