// The dialog framework's contract (ui/Backend.h), on every backend: posted messages, the keys,
// focus and the default button, and the report's display with its thumb drags.
#include <string>
#include <vector>

#include "DialogFixture.h"
#include "ReportEditControl.h"
#include "ui/MessageText.h"

namespace {

constexpr UINT kControlMessage = 0x8000 + 7;  // WM_APP + 7

/// A control object that records the messages that reach it.
class RecordingControl : public CWnd {
public:
    std::vector<std::string>* pLog = nullptr;
    LRESULT OnControlMessage(WPARAM wParam, LPARAM) {
        pLog->push_back("control " + std::to_string(wParam));
        return 0;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingControl, CWnd)
ON_MESSAGE(kControlMessage, OnControlMessage)
END_MESSAGE_MAP()

/// A dialog of the open-device template that records what reaches its handlers.
class RecordingDialog : public CDialogEx {
public:
    RecordingDialog() : CDialogEx(IDD_OPEN_DEVICE) {}
    std::vector<std::string> log;
    RecordingControl list;

    void OnByName() {
        log.push_back("by name: begin");
        PostMessage(WM_COMMAND, IDC_BY_IPV4, 0);
        list.PostMessage(kControlMessage, 1, 0);
        PostMessage(WM_COMMAND, IDCANCEL + 100, 0);  // an id nobody handles
        list.PostMessage(kControlMessage, 2, 0);
        PostMessage(WM_COMMAND, IDC_BY_IPV4, 0);
        log.push_back("by name: end");
    }
    void OnByIPv4() { log.push_back("by IPv4"); }

protected:
    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        list.pLog = &log;
        list.SubclassDlgItem(IDC_DEVICE_LIST, this);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingDialog, CDialogEx)
ON_BN_CLICKED(IDC_BY_NAME, OnByName)
ON_BN_CLICKED(IDC_BY_IPV4, OnByIPv4)
END_MESSAGE_MAP()

/// A report window that shows its report and records the notification of a thumb drag's end.
class NotifiedReport : public ShowingReport {
public:
    int m_nNotifications = 0;
    NMHDR m_last{};
    std::string m_shownAtNotification;

protected:
    LRESULT OnNotify(WPARAM, LPARAM lParam) {
        ++m_nNotifications;
        m_last = *reinterpret_cast<const NMHDR*>(lParam);
        m_shownAtNotification = GetDlgItem(IDC_REPORT)->GetWindowText();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NotifiedReport, ShowingReport)
ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

void AppendLines(CReportWindow& report, int n) {
    for (int i = 0; i < n; ++i) {
        report.Report().Printf("line %d of the report\r\n", i);
    }
}

bool AtTheEnd(CWnd& dialog) {
    int nValue = 0;
    int nMaximum = 0;
    dialogtest::ScrollPosition(dialog, IDC_REPORT, &nValue, &nMaximum);
    return nMaximum > 0 && nValue == nMaximum;
}

// Posted messages run after the handler that posted them, one at a time, in the order of
// posting across windows, to a control as well as to a dialog.
TEST_F(Dialogs, PostedMessagesRunInOrderAfterTheHandler) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    dialogtest::Click(dlg, IDC_BY_NAME);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"by name: begin", "by name: end"}));
    dialogtest::Pump();
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"by name: begin", "by name: end", "by IPv4",
                                                 "control 1", "control 2", "by IPv4"}));
    EXPECT_EQ(dlg.m_nModalResult, -1) << "the id nobody handles ends nothing";
    dlg.DestroyWindow();
}

TEST_F(Dialogs, MessagesToADestroyedWindowAreDropped) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    dlg.PostMessage(WM_COMMAND, IDC_BY_IPV4, 0);
    dlg.list.PostMessage(kControlMessage, 3, 0);
    dlg.DestroyWindow();
    dialogtest::Pump();
    EXPECT_TRUE(dlg.log.empty());
    EXPECT_EQ(dlg.PostMessage(WM_COMMAND, IDC_BY_IPV4, 0), FALSE);
}

// The dialog manager's keys: Enter clicks the focused button, Escape cancels, Tab moves on.
TEST_F(Dialogs, TheDialogManagersKeysAndTheFocus) {
    RecordingDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    dialogtest::PressEnter(dlg, IDC_BY_IPV4);
    EXPECT_EQ(dlg.log, std::vector<std::string>{"by IPv4"});
    EXPECT_EQ(dlg.m_nModalResult, -1);
    dialogtest::PressKey(dlg, IDC_DEVICE_LIST, dialogtest::Key::Tab);
    EXPECT_TRUE(dialogtest::HasFocus(dlg, IDC_BY_NAME)) << "the next tab stop";
    dialogtest::PressKey(dlg, IDC_BY_NAME, dialogtest::Key::Escape);
    EXPECT_EQ(dlg.m_nModalResult, IDCANCEL);
    dlg.DestroyWindow();
}

// The report's keys reach the main window from any control: Ctrl+A selects the whole report,
// '+' ends it with an empty line and puts the caret at the end.
TEST_F(Dialogs, TheReportKeysFromAnyControl) {
    ShowingReport report;
    ASSERT_TRUE(report.Create(IDD_MAIN));
    g_App.m_pMainWnd = &report;
    AppendLines(report, 3);
    CWnd* pEdit = report.GetDlgItem(IDC_REPORT);
    dialogtest::PressKey(report, IDC_QUIT, dialogtest::Key::CtrlA);
    const auto nWhole = static_cast<unsigned>(report.Report().m_strText.size());
    EXPECT_EQ(static_cast<WPARAM>(pEdit->SendMessage(EM_GETSEL)), MAKEWPARAM(0, nWhole));

    dialogtest::PressKey(report, IDC_QUIT, dialogtest::Key::Plus);
    ASSERT_GE(report.Report().m_strText.size(), 4u);
    EXPECT_EQ(report.Report().m_strText.substr(report.Report().m_strText.size() - 4), "\r\n\r\n");
    EXPECT_EQ(pEdit->GetWindowText(), report.Report().m_strText);
    const auto nEnd = static_cast<unsigned>(report.Report().m_strText.size());
    EXPECT_EQ(static_cast<WPARAM>(pEdit->SendMessage(EM_GETSEL)), MAKEWPARAM(nEnd, nEnd));
    dialogtest::PressKey(report, IDC_REPORT, dialogtest::Key::Plus);
    EXPECT_EQ(report.Report().m_strText.size(), nEnd)
        << "a report that ends with an empty line stays";

    // From another dialog too (the device list over the main window).
    report.Report().AppendText("x");
    CDialogEx other(IDD_OPEN_DEVICE, &report);
    ASSERT_TRUE(other.Create(IDD_OPEN_DEVICE, &report));
    dialogtest::PressKey(other, IDC_DEVICE_LIST, dialogtest::Key::Plus);
    EXPECT_EQ(report.Report().m_strText.substr(report.Report().m_strText.size() - 5), "x\r\n\r\n");
    dialogtest::PressKey(other, IDC_DEVICE_LIST, dialogtest::Key::CtrlA);
    const auto nAll = static_cast<unsigned>(report.Report().m_strText.size());
    EXPECT_EQ(static_cast<WPARAM>(pEdit->SendMessage(EM_GETSEL)), MAKEWPARAM(0, nAll));
    other.DestroyWindow();

    g_App.m_pMainWnd = nullptr;
    report.Report().AppendText("y");
    dialogtest::PressKey(report, IDC_REPORT, dialogtest::Key::Plus);
    EXPECT_EQ(report.Report().m_strText.back(), 'y') << "no main window: the key is not forwarded";
    report.DestroyWindow();
}

// A search that found devices moves the focus to Open Device and makes it the default button.
TEST_F(Dialogs, FoundDevicesTakeTheFocusAndTheDefaultButton) {
    net::ScriptedSocketLayer network;
    network.AddDatagram(50, "10.77.0.20", 9959, "TVK,lorixLOG,LX-8,A1,lab,1.0");
    net::InstallSocketLayer(&network);
    ModalSpy spy;
    ClorixlogfinderDlg dlg(g_App);
    ASSERT_TRUE(dlg.Create(IDD_MAIN));
    dialogtest::Pump();
    EXPECT_TRUE(dialogtest::HasFocus(dlg, IDC_OPEN_DEVICE));
    EXPECT_TRUE(dialogtest::IsDefaultButton(dlg, IDC_OPEN_DEVICE));
    EXPECT_FALSE(dialogtest::IsDefaultButton(dlg, IDC_QUIT));
    dlg.DestroyWindow();
}

// A dialog over the main window shows the program's icon too.
TEST_F(Dialogs, TheDeviceListShowsTheProgramsIcon) {
    Table({Device("h", "10.0.0.1", "", "", "S")});
    QuietReport main;
    ASSERT_TRUE(main.Create(IDD_MAIN));
    main.SetIcon(AfxLoadIcon(IDI_PROGRAM), TRUE);
    main.SetIcon(AfxLoadIcon(IDI_PROGRAM), FALSE);
    ASSERT_TRUE(dialogtest::ShowsProgramIcon(main));
    CDeviceList list;
    ASSERT_TRUE(list.Create(IDD_OPEN_DEVICE, &main));
    EXPECT_TRUE(dialogtest::ShowsProgramIcon(list));
    list.DestroyWindow();
    main.DestroyWindow();
}

// The display shows the whole text and follows its end; a piece without a line end waits.
TEST_F(Dialogs, TheDisplayShowsTheWholeReportAndFollowsItsEnd) {
    ShowingReport report;
    ASSERT_TRUE(report.Create(IDD_MAIN));
    CWnd* pEdit = report.GetDlgItem(IDC_REPORT);
    AppendLines(report, 40);  // more than the control shows
    EXPECT_EQ(pEdit->GetWindowText(), report.Report().m_strText);
    EXPECT_TRUE(AtTheEnd(report));
    report.Report().AppendText("50%");
    EXPECT_EQ(pEdit->GetWindowText().find("50%"), std::string::npos);
    report.Report().AppendText("\r100%\r\n");
    EXPECT_EQ(pEdit->GetWindowText(), report.Report().m_strText) << "the progress line rewritten";

    // A report trimmed at its front is shown trimmed.
    report.Report().SetDisplayLimit(3000);
    AppendLines(report, 150);  // about 3600 characters
    EXPECT_LE(report.Report().m_strText.size(), 3000u);
    EXPECT_EQ(pEdit->GetWindowText(), report.Report().m_strText);
    EXPECT_TRUE(AtTheEnd(report));
    // And so is a report that was reset.
    report.Report().Reset();
    EXPECT_EQ(pEdit->GetWindowText(), report.Report().m_strText);
    report.DestroyWindow();
}

// While the user drags the scroll thumb the display holds; letting go shows what came meanwhile,
// scrolls to the end, and then tells the window.
TEST_F(Dialogs, AThumbDragHoldsTheDisplayAndItsEndCatchesUp) {
    NotifiedReport report;
    ASSERT_TRUE(report.Create(IDD_MAIN));
    CWnd* pEdit = report.GetDlgItem(IDC_REPORT);
    AppendLines(report, 100);
    const std::string before = pEdit->GetWindowText();

    dialogtest::DragThumb(report, IDC_REPORT, true);
    ASSERT_NE(report.m_pEditControl.load(), nullptr);
    EXPECT_TRUE(report.m_pEditControl.load()->m_bThumbTracking);
    AppendLines(report, 5);
    EXPECT_EQ(pEdit->GetWindowText(), before);
    EXPECT_EQ(report.m_nNotifications, 0);

    dialogtest::DragThumb(report, IDC_REPORT, false);
    EXPECT_FALSE(report.m_pEditControl.load()->m_bThumbTracking);
    EXPECT_EQ(pEdit->GetWindowText(), report.Report().m_strText);
    EXPECT_TRUE(AtTheEnd(report));
    EXPECT_EQ(report.m_nNotifications, 1);
    EXPECT_EQ(report.m_last.idFrom, std::uintptr_t(IDC_REPORT));
    EXPECT_EQ(report.m_last.code, 8u);
    EXPECT_EQ(report.m_last.hwndFrom, pEdit->m_hWnd);
    EXPECT_EQ(report.m_shownAtNotification, report.Report().m_strText)
        << "the display caught up before the window is told";

    // Arrow scrolling neither holds the display back nor forces a refresh.
    report.Report().m_strText += "unshown";
    pEdit->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    pEdit->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    EXPECT_EQ(pEdit->GetWindowText().find("unshown"), std::string::npos);
    EXPECT_EQ(report.m_nNotifications, 1);
    report.Report().AppendText("\r\n");
    EXPECT_NE(pEdit->GetWindowText().find("unshown"), std::string::npos);

    // Without a notification code, none is sent.
    report.m_pEditControl.load()->m_nNotifyCode = 0;
    dialogtest::DragThumb(report, IDC_REPORT, true);
    dialogtest::DragThumb(report, IDC_REPORT, false);
    EXPECT_EQ(report.m_nNotifications, 1);
    report.DestroyWindow();
}

// After the window's end nothing touches its control, and the edit-control object is released
// once.
TEST_F(Dialogs, AfterItsEndTheReportTouchesNoControl) {
    ShowingReport report;
    ASSERT_TRUE(report.Create(IDD_MAIN));
    AppendLines(report, 2);
    report.DestroyWindow();
    EXPECT_EQ(report.m_nEditId, 0);
    EXPECT_EQ(report.m_pEditControl.load(), nullptr);
    report.UpdateDisplay();
    report.HandleKey(1);
    const std::size_t nLength = report.Report().m_strText.size();
    report.HandleKey(43);
    EXPECT_EQ(report.Report().m_strText.size(), nLength + 2) << "'+' still changes the text";
}

}  // namespace

namespace {

// However long the message (a target list of thousands of malformed lines), the box fits the
// screen's work area, so that its OK button can be reached; the lines it leaves out are counted.
TEST_F(Dialogs, AMessageBoxNeverOutgrowsTheScreen) {
    std::string text = "These lines are no search targets:";
    for (int i = 1; i <= 1000; ++i) {
        text += "\r\nline " + std::to_string(i) + ": '10.0.0." + std::to_string(300 + i) +
                "' is no IPv4 address, host name or prefix";
    }
    int nHeight = 0;
    int nWorkArea = 0;
    dialogtest::MeasureMessageBox(text.c_str(), &nHeight, &nWorkArea);
    ASSERT_GT(nHeight, 0) << "the box was on the screen";
    EXPECT_LE(nHeight, nWorkArea);
    // The command line's help and errors, where they are a message box (Windows), fit too.
    dialogtest::MeasureMessageBox(text.c_str(), &nHeight, &nWorkArea, true);
    if (nHeight >= 0) {
        EXPECT_LE(nHeight, nWorkArea) << "the help's box";
    }

    const std::string fitted = ui::FitMessageText(text, 30);
    EXPECT_EQ(fitted.rfind("These lines are no search targets:\r\nline 1: '10.0.0.301'", 0), 0u);
    EXPECT_NE(fitted.find("\r\nline 28: "), std::string::npos);
    EXPECT_EQ(fitted.find("\r\nline 29: "), std::string::npos);
    EXPECT_EQ(fitted.substr(fitted.rfind("\r\n")), "\r\n\x85 (+972)") << "29 lines and the count";
    EXPECT_EQ(ui::FitMessageText(std::string(500, 'x'), 30), std::string(157, 'x') + "...");
    EXPECT_EQ(ui::FitMessageText("one\ntwo", 2), "one\ntwo") << "what fits stays whole";
}

}  // namespace
