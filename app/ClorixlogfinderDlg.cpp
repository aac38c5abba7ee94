#include "ClorixlogfinderDlg.h"

#include <cstdio>
#include <vector>

#include "DeviceInfo.h"
#include "DeviceListFile.h"
#include "LanguageTag.h"
#include "OpenDeviceDialog.h"
#include "ProgramTable.h"
#include "ReportEditControl.h"
#include "TargetsDialog.h"
#include "Texts.h"
#include "Version.h"
#include "resource.h"
#include "text/Windows1252.h"
#include "ui/Resources.h"

BEGIN_MESSAGE_MAP(ClorixlogfinderDlg, CReportWindow)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_SEARCH, OnSearch)
ON_BN_CLICKED(IDC_QUIT, OnQuit)
ON_BN_CLICKED(IDC_OPEN_DEVICE, OnOpenDevice)
ON_BN_CLICKED(IDC_SEARCH_AGAIN, OnSearchAgain)
ON_COMMAND(ID_SEARCH_TARGETS, OnSearchTargets)
ON_COMMAND(ID_SAVE_LIST, OnSaveList)
END_MESSAGE_MAP()

ClorixlogfinderDlg::ClorixlogfinderDlg(CFinderSettings& settings)
    : CReportWindow(IDD_MAIN), m_hIcon(AfxLoadIcon(IDI_PROGRAM)), m_settings(settings) {
    m_nEditId = IDC_REPORT;
    CReportText& report = Report();
    report.m_pszProgramName = LORIXLOG_PROGRAM_NAME;
    report.m_pszLanguage = g_szLanguage[0] != '\0' ? g_szLanguage : "en-US";
    report.m_pszBuildDate = __DATE__;
    report.m_pszBuildTime = __TIME__;
}

BOOL ClorixlogfinderDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SetWindowText(Report().m_pszProgramName);
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    AttachReportDisplay();
    if (CReportEditControl* pEdit = m_pEditControl.load()) {
        pEdit->AddMenuItem(ID_SEARCH_TARGETS, ui::FindString(IDS_MENU_SEARCH_TARGETS));
        pEdit->AddMenuItem(ID_SAVE_LIST, ui::FindString(IDS_MENU_SAVE_LIST),
                           [] { return g_DeviceInfo.m_nDevices > 0; });
    }
    PostMessage(WM_COMMAND, IDC_SEARCH, 0);
    return TRUE;
}

POINT ClorixlogfinderDlg::MinimizedIconPosition(const RECT& client, int cxIcon, int cyIcon) {
    const long nWidth = client.right - client.left;
    const long nHeight = client.bottom - client.top;
    return POINT{(nWidth - cxIcon + 1) / 2, (nHeight - cyIcon + 1) / 2};
}

void ClorixlogfinderDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, dc.GetSafeHdc(), 0);
        RECT rect;
        GetClientRect(&rect);
        const POINT at =
            MinimizedIconPosition(rect, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
        dc.DrawIcon(static_cast<int>(at.x), static_cast<int>(at.y), m_hIcon);
    } else {
        Default();
    }
}

HCURSOR ClorixlogfinderDlg::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

CSearchHost::Wish ClorixlogfinderDlg::KeepResponsive() {
    if (IsDisplayBehind()) {
        UpdateDisplay();
    }
    ShowCaption();
    std::vector<int> commands;
    PumpWhileBusy(&commands);
    for (int nCommand : commands) {
        m_bCloseRequested = m_bCloseRequested || nCommand == IDCANCEL || nCommand == IDC_QUIT;
        m_bStopRequested = m_bStopRequested || nCommand == IDC_SEARCH_AGAIN;
    }
    return m_bCloseRequested ? Cancel : m_bStopRequested ? Finish : GoOn;
}

void ClorixlogfinderDlg::SweepProgress(std::uint64_t nSent, std::uint64_t nTotal) {
    m_nSweepSent = nSent;
    m_nSweepTotal = nTotal;
    ShowCaption();
}

void ClorixlogfinderDlg::ShowCaption() {
    std::string caption = Report().m_pszProgramName;
    if (m_nSweepTotal > 0) {
        const Language language = Report().GetLanguage();
        const int nDevices = g_DeviceInfo.m_nDevices;
        const std::string devices =
            nDevices == 1 ? texts::Get(texts::CountDevicesOne, language)
                          : texts::Format(texts::CountDevicesMany, language, nDevices);
        caption = texts::Format(texts::CaptionProgress, language,
                                texts::Grouped(m_nSweepSent, language).c_str(),
                                texts::Grouped(m_nSweepTotal, language).c_str(), devices.c_str());
    }
    if (caption != m_shownCaption) {
        m_shownCaption = caption;
        SetWindowText(caption.c_str());
    }
}

void ClorixlogfinderDlg::ShowSearchRunning(bool bRunning) {
    CWnd* pSearchAgain = GetDlgItem(IDC_SEARCH_AGAIN);
    if (bRunning) {
        if (CWnd* pOpenDevice = GetDlgItem(IDC_OPEN_DEVICE)) {
            pOpenDevice->EnableWindow(FALSE);
        }
        if (pSearchAgain != nullptr) {
            if (m_searchAgainText.empty()) {
                m_searchAgainText = pSearchAgain->GetWindowText();
            }
            pSearchAgain->SetWindowText(texts::Get(texts::MainStop, Report().GetLanguage()));
            pSearchAgain->EnableWindow(TRUE);
            // Stop is the default button: Enter stops the search.
            SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pSearchAgain->GetSafeHwnd()), TRUE);
        }
        return;
    }
    m_nSweepSent = 0;
    m_nSweepTotal = 0;
    ShowCaption();
    if (pSearchAgain != nullptr && !m_searchAgainText.empty()) {
        pSearchAgain->SetWindowText(m_searchAgainText.c_str());
    }
    // No default button again, as the window opened: Enter in the report is the OK command.
    SendMessage(DM_SETDEFID, IDOK, 0);
}

void ClorixlogfinderDlg::OnSearch() {
    const HCURSOR hPrevious = SetCursor(AfxWaitCursor());
    CReportText& report = Report();
    report.Reset();
    report.EnsureBlankLine();
    m_bCloseRequested = false;
    m_bStopRequested = false;
    ShowSearchRunning(true);
    // The whole window is on the screen before the search keeps the thread busy.
    UpdateWindow();
    SearchOutcome outcome;
    if (KeepResponsive() != Cancel) {
        outcome = g_DeviceInfo.SearchDevices(m_settings.m_search, report, this);
    }
    ShowSearchRunning(false);
    if (m_bCloseRequested) {
        // What the user asked for during the search, instead of the device list.
        SetCursor(hPrevious);
        PostMessage(WM_CLOSE, 0, 0);
        return;
    }
    const bool bFound = g_DeviceInfo.m_nDevices > 0;
    ReportSearchEnd(outcome);
    UpdateDisplay();
    CWnd* pOpenDevice = GetDlgItem(IDC_OPEN_DEVICE);
    if (pOpenDevice != nullptr) {
        pOpenDevice->EnableWindow(bFound ? TRUE : FALSE);
    }
    if (CWnd* pSearchAgain = GetDlgItem(IDC_SEARCH_AGAIN)) {
        pSearchAgain->EnableWindow(TRUE);
    }
    if (bFound) {
        SendMessage(WM_NEXTDLGCTL,
                    reinterpret_cast<WPARAM>(pOpenDevice ? pOpenDevice->GetSafeHwnd() : nullptr),
                    TRUE);
        if (pOpenDevice != nullptr) {
            pOpenDevice->SetFocus();
        }
        PostMessage(WM_COMMAND, IDC_OPEN_DEVICE, 0);
    }
    SetCursor(hPrevious);
}

void ClorixlogfinderDlg::ReportSearchEnd(const SearchOutcome& outcome) {
    CReportText& report = Report();
    const bool bFound = g_DeviceInfo.m_nDevices > 0;
    if (bFound && outcome.result != SearchOutcome::Failed) {
        const Language language = report.GetLanguage();
        if (g_DeviceInfo.m_nDevices == 1) {
            report.Printf("%s", texts::Get(texts::DevicesFoundOne, language));
        } else {
            report.Printf(texts::Get(texts::DevicesFoundMany, language), g_DeviceInfo.m_nDevices);
        }
    }
    if (!bFound && outcome.result != SearchOutcome::Failed) {
        ReportNoDeviceAnswered(report, g_DeviceInfo, outcome, texts::FinderTargetsHint);
    }
    if (!m_settings.m_strTargetsProblem.empty()) {
        report.EnsureBlankLine();
        report.Printf("WARNING: %s\r\n", m_settings.m_strTargetsProblem.c_str());
    }
    if (!m_searchNote.empty()) {
        report.EnsureBlankLine();
        report.Printf("%s", m_searchNote.c_str());
        m_searchNote.clear();
    }
}

void ClorixlogfinderDlg::OnSearchAgain() {
    PostMessage(WM_COMMAND, IDC_SEARCH, 0);
}

void ClorixlogfinderDlg::OnSearchTargets() {
    CReportText& report = Report();
    CTargetsDialog dlg(m_settings.m_savedTargets, report.GetLanguage());
    if (dlg.DoModal() != IDOK) {
        return;
    }
    m_settings.m_strTargetsProblem.clear();
    m_settings.ApplyTargets();
    // The new list is searched at once; the report of that search says where it is kept.
    char szNote[1024] = {};
    std::snprintf(szNote, sizeof(szNote), report.Say(texts::TargetsKept),
                  static_cast<int>(m_settings.m_savedTargets.m_targets.size()),
                  text::Windows1252FromUtf8(m_settings.m_savedTargets.m_strFile).c_str());
    m_searchNote = szNote;
    PostMessage(WM_COMMAND, IDC_SEARCH, 0);
}

void ClorixlogfinderDlg::OnQuit() {
    PostMessage(WM_CLOSE, 0, 0);
}

void ClorixlogfinderDlg::OnSaveList() {
    if (g_DeviceInfo.m_nDevices > 0) {
        SaveDeviceList(this, Report(), g_DeviceInfo, Report().GetLanguage());
    }
}

void ClorixlogfinderDlg::OnOpenDevice() {
    COpenDeviceDialog dlg(Report(), g_DeviceInfo, Report().GetLanguage());
    dlg.m_keptSize = m_settings.m_deviceListSize;
    if (dlg.DoModal() == IDOK) {
        EndDialog(IDOK);
    }
}
