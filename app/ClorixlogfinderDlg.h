// The main dialog: the logo, the buttons and the report of the device search.
#pragma once

#include <cstdint>
#include <string>

#include "DeviceInfo.h"
#include "FinderSettings.h"
#include "ReportWindow.h"

class ClorixlogfinderDlg : public CReportWindow, private CSearchHost {
public:
    /// The window searches with the settings (its targets dialog changes their kept targets);
    /// they outlive the window.
    explicit ClorixlogfinderDlg(CFinderSettings& settings);

    /// Set when the user asked to close the window while a search ran (Escape, Quit, the close
    /// box): the search ends early and the window closes instead of offering the devices.
    bool m_bCloseRequested = false;
    /// Set when the user pressed Stop (or Enter) while a search ran: the search ends early and
    /// the program goes on as after a search that ended by itself.
    bool m_bStopRequested = false;

    /// The program icon (shared; never destroyed).
    HICON m_hIcon;

    /// Where a minimised window draws its icon: centred in the client area, rounding as the
    /// integer division of (size - icon + 1) / 2 does.
    static POINT MinimizedIconPosition(const RECT& client, int cxIcon, int cyIcon);

protected:
    BOOL OnInitDialog() override;
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSearch();
    void OnQuit();
    void OnOpenDevice();
    void OnSearchAgain();
    /// The report's context menu: the targets dialog, whose list every later search queries.
    void OnSearchTargets();
    /// The report's context menu: the devices of the last search saved as a file.
    void OnSaveList();

    DECLARE_MESSAGE_MAP()

private:
    /// While the search blocks the thread: the report as it grows, the window painted, the
    /// progress in the caption, and the user's request to stop or to close noted (nothing else
    /// the user does acts meanwhile).
    Wish KeepResponsive() override;
    void SweepProgress(std::uint64_t nSent, std::uint64_t nTotal) override;
    /// The buttons while a search runs: Search again becomes Stop, the default button; Open
    /// Device waits. And back again afterwards.
    void ShowSearchRunning(bool bRunning);
    /// The lines that close a search's report: the devices counted, or what to check when none
    /// answered, and the notes about the kept targets.
    void ReportSearchEnd(const SearchOutcome& outcome);
    /// The caption of the window: the program's name, or the progress of a sweep.
    void ShowCaption();

    CFinderSettings& m_settings;
    std::string m_searchAgainText;
    /// A note for the end of the next search's report (where the targets it queried are kept).
    std::string m_searchNote;
    std::uint64_t m_nSweepSent = 0;
    std::uint64_t m_nSweepTotal = 0;
    std::string m_shownCaption;
};
