// The report window: the dialog that shows the report text in a read-only multiline edit control.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

#include "ReportText.h"
#include "ui/Afx.h"

class CReportEditControl;

/// The dialog base class that owns a report text and shows it.
///
/// The text and its rules are the CReportText the window owns (Report()); the window adds the
/// display. A derived window passes its template, sets m_nEditId and the text's four text
/// pointers in its constructor, and in its dialog initialisation calls AttachReportDisplay. No
/// operation reports a failure; without a display every display step does nothing.
class CReportWindow : public CDialogEx, private CReportDisplay {
public:
    /// The code of the WM_NOTIFY that the report's edit control sends its window when the user
    /// has finished dragging a scroll-bar thumb.
    static constexpr int kThumbTrackEndNotifyCode = 8;

    explicit CReportWindow(UINT nIDTemplate);
    ~CReportWindow() override;

    /// The report this window shows: what the search and the dialogs write to.
    CReportText& Report() { return m_text; }
    const CReportText& Report() const { return m_text; }

    /// The object that takes over the edit control; owned, released once by OnDestroy or the
    /// destructor, whichever comes first.
    std::atomic<CReportEditControl*> m_pEditControl;
    /// Id of the edit control that shows the text; 0 means no display.
    int m_nEditId = 0;

    /// What a derived window's dialog initialisation does to show its report, after the base
    /// class's initialisation: lets m_pEditControl take over control m_nEditId (notifying the end
    /// of a thumb drag with that id and kThumbTrackEndNotifyCode), takes the control's text
    /// limit for the text, resets the report and registers the window as g_pReportWindow.
    void AttachReportDisplay();
    /// Brings the edit control up to the text and scrolls to its end; does nothing without a
    /// display or while a scroll-bar thumb is being dragged. When the text has only grown since
    /// the last refresh, only what was appended is added to the control (the whole text would
    /// cost a long report's layout and a full repaint, every time); after any other change the
    /// whole text replaces the control's.
    void UpdateDisplay();
    /// The same, always with the whole text (what every refresh once did; for comparison).
    void ShowWholeText();
    /// Whether the text has changed since the display last showed it.
    bool IsDisplayBehind() const;
    /// The report's keys, for every character typed anywhere: Ctrl+A (1) selects the whole
    /// report, '+' (43) ends the text with an empty line and puts the caret at the end.
    void HandleKey(WPARAM nChar);

protected:
    void OnDestroy();
    /// Drops the display link and releases the edit-control object once.
    void ReleaseEditControl();

    DECLARE_MESSAGE_MAP()

private:
    CReportText m_text;
    /// The edit control that shows the text, or null.
    CWnd* ReportControl() const;
    void Refresh(bool bWhole);
    /// What the control shows: the text up to this length, at this count of rewrites, ending with
    /// these bytes (a check that nobody changed the text behind the count's back).
    std::size_t m_nShownLength = 0;
    std::uint64_t m_nShownRewrites = 0;
    std::string m_shownTail;
    bool m_bShown = false;
    void ShowReportText() override { UpdateDisplay(); }
    std::size_t ResetDisplayLimit() override;
};

/// The program's report window: null until the main window's dialog initialisation registers it
/// (AttachReportDisplay, the one place that sets it), and again once that window is gone.
extern CReportWindow* g_pReportWindow;

/// Printf on the report of g_pReportWindow (at most 1023 characters); does nothing, not even
/// formatting, while there is none.
void ReportPrintf(const char* pszFormat, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

/// Appends the location line of a failure to the report of g_pReportWindow: the function name
/// from its first colon on, the file name without directories and the line. Call only while a
/// report window is registered.
void ReportErrorLocation(const char* pszFunction, const char* pszFile, int nLine);
