// The program's dialogs on the installed backend: the same tests run on Qt (offscreen) and on
// the Windows dialog manager (under Wine). They ask through the dialog framework (GetDlgItem,
// IsWindowEnabled, IsWindowVisible, GetWindowText, list-box messages); the few toolkit-only
// steps are in DialogBackend.h.
#include <string>
#include <vector>

#include "DialogFixture.h"
#include "ProgramTable.h"

namespace {

TEST_F(Dialogs, TheDeviceListShowsTheDevicesAndOpensOneByName) {
    Table({Device("lab-logger", "192.168.1.20", "", "lab-logger.example.lan", "A1234"),
           Device("B7", "192.168.1.21", "", "", "B7")});
    ShellSpy shell;
    CDeviceList dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    EXPECT_EQ(dlg.GetWindowText(), "lorixlog-finder version 2.0.45");
    CWnd* pList = dlg.GetDlgItem(IDC_DEVICE_LIST);
    ASSERT_NE(pList, nullptr);
    EXPECT_EQ(pList->SendMessage(LB_GETCOUNT), 2);
    EXPECT_EQ(ListLine(dlg, 0), "lab-logger  (192.168.1.20)  # A1234");
    EXPECT_EQ(ListLine(dlg, 1), "B7  (192.168.1.21)");
    EXPECT_EQ(pList->SendMessage(LB_GETCURSEL), 0);
    EXPECT_TRUE(Enabled(dlg, IDC_BY_NAME));
    EXPECT_TRUE(Enabled(dlg, IDC_BY_IPV4));
    EXPECT_EQ(dlg.GetDlgItem(IDC_BY_IPV6), nullptr) << "template 129 has no IPv6 button";

    dialogtest::Click(dlg, IDC_BY_NAME);
    EXPECT_EQ(shell.urls, std::vector<std::string>{"http://lab-logger.example.lan/"});
    EXPECT_EQ(m_report.Report().m_strText,
              "report\r\n\r\nOpen: http://lab-logger.example.lan/ \r\n\r\n");
    EXPECT_EQ(dlg.m_nModalResult, IDOK);
    dlg.DestroyWindow();
}

TEST_F(Dialogs, TheOpenButtonsFollowTheSelection) {
    Table({Device("", "10.0.0.1", "", "", "A"), Device("b", "", "", "", "B"),
           Device("", "", "fe80::3", "", "C"), Device("h\x07st", "10.0.0.4", "", "", "D"),
           Device("x", "10.0.0.5", "", "a/b.lan", "E"), Device("lab_logger", "", "", "", "F")});
    ShellSpy shell;
    CDeviceList dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE_IPV6));
    EXPECT_FALSE(Enabled(dlg, IDC_BY_NAME));
    EXPECT_TRUE(Enabled(dlg, IDC_BY_IPV4));
    EXPECT_FALSE(Enabled(dlg, IDC_BY_IPV6));
    EXPECT_TRUE(dlg.GetDlgItem(IDC_BY_IPV6)->IsWindowVisible()) << "a device has IPv6 text";
    CWnd* pList = dlg.GetDlgItem(IDC_DEVICE_LIST);
    for (int nIndex : {1, 2, 3, 4, 5}) {
        pList->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(nIndex));
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, LBN_SELCHANGE),
                        reinterpret_cast<LPARAM>(pList->m_hWnd));
        EXPECT_EQ(Enabled(dlg, IDC_BY_NAME), nIndex == 1 || nIndex == 5)
            << "by Name only for a name that can stand in a URL: " << nIndex;
        EXPECT_EQ(Enabled(dlg, IDC_BY_IPV4), nIndex == 3 || nIndex == 4);
        EXPECT_EQ(Enabled(dlg, IDC_BY_IPV6), nIndex == 2);
    }
    // A name with an underscore is one the browser takes.
    dialogtest::Click(dlg, IDC_BY_NAME);
    EXPECT_EQ(shell.urls, std::vector<std::string>{"http://lab_logger/"});
    dlg.DestroyWindow();
}

TEST_F(Dialogs, TheIPv6ButtonIsHiddenWithoutIPv6Text) {
    Table({Device("h", "10.0.0.1", "", "", "S")});
    CDeviceList dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE_IPV6));
    EXPECT_FALSE(dlg.GetDlgItem(IDC_BY_IPV6)->IsWindowVisible());
    EXPECT_TRUE(dlg.GetDlgItem(IDC_BY_IPV4)->IsWindowVisible());
    dlg.DestroyWindow();
}

TEST_F(Dialogs, AnEmptyTableEndsTheListBeforeItIsShown) {
    CDeviceList dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    EXPECT_EQ(dlg.m_nModalResult, IDCANCEL);
    dlg.DestroyWindow();
    CDeviceList modal;
    EXPECT_EQ(modal.DoModal(), IDCANCEL);
}

TEST_F(Dialogs, ABrowserThatCannotStartKeepsTheListOpen) {
    Table({Device("h", "10.0.0.1", "", "", "S")});
    ShellSpy shell;
    shell.nResult = 2;
    CDeviceList dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    dialogtest::Click(dlg, IDC_BY_IPV4);
    EXPECT_EQ(shell.urls, std::vector<std::string>{"http://10.0.0.1/"});
    EXPECT_EQ(dlg.m_nModalResult, -1);
    EXPECT_NE(m_report.Report().m_strText.find("ERROR: The web browser could not be started"),
              std::string::npos);
    dlg.DestroyWindow();
}

TEST_F(Dialogs, TheReportControlShowsTheReportText) {
    ShowingReport report;
    ASSERT_TRUE(report.Create(IDD_MAIN));
    CWnd* pEdit = report.GetDlgItem(IDC_REPORT);
    ASSERT_NE(pEdit, nullptr);
    EXPECT_EQ(pEdit->GetWindowText(), report.Report().m_strText);
    report.Report().AppendText("Ger\xe4t \x1b[1m\r\n");
    report.Report().Printf("line %d\r\n", 2);
    EXPECT_EQ(pEdit->GetWindowText(), report.Report().m_strText) << "every line end refreshes";
    EXPECT_EQ(static_cast<UINT>(pEdit->SendMessage(EM_GETLIMITTEXT)), 0x0FFFFFFFu)
        << "Reset made the control's limit its largest";
    EXPECT_EQ(report.Report().TrimLimit(), 262144u);
    report.DestroyWindow();
}

// The main template has no default button: Enter in the read-only report is the OK command,
// which the edit control would otherwise keep for itself.
TEST_F(Dialogs, EnterInTheReportIsTheOkCommand) {
    ShowingReport report;
    ASSERT_TRUE(report.Create(IDD_MAIN));
    dialogtest::PressEnter(report, IDC_REPORT);
    EXPECT_EQ(report.m_nModalResult, IDOK);
    report.DestroyWindow();
}

TEST_F(Dialogs, TheMainDialogSearchesByItselfAndOffersTheDevices) {
    net::ScriptedSocketLayer network;
    network.AddDatagram(200, "10.77.0.20", 9959, "TVK,lorixLOG,LX-8,A20715,lab.example.lan,3.1.4");
    net::InstallSocketLayer(&network);
    ModalSpy spy;
    {
        ClorixlogfinderDlg dlg(g_App);
        ASSERT_TRUE(dlg.Create(IDD_MAIN));
        EXPECT_EQ(dlg.GetWindowText(), "lorixlog-finder version 2.0.45");
        EXPECT_TRUE(network.m_aSent.empty()) << "the search is posted, not run in the opening";
        EXPECT_FALSE(Enabled(dlg, IDC_OPEN_DEVICE));
        dialogtest::Pump();
        ASSERT_EQ(g_DeviceInfo.m_nDevices, 1);
        EXPECT_NE(dlg.Report().m_strText.find("... done.\r\n"), std::string::npos);
        EXPECT_EQ(dlg.GetDlgItem(IDC_REPORT)->GetWindowText(), dlg.Report().m_strText);
        EXPECT_TRUE(Enabled(dlg, IDC_OPEN_DEVICE));
        EXPECT_TRUE(Enabled(dlg, IDC_SEARCH_AGAIN));
        EXPECT_FALSE(dlg.GetDlgItem(IDC_SEARCH)->IsWindowVisible());
        EXPECT_EQ(spy.seen, std::vector<UINT>{IDD_OPEN_DEVICE}) << "the list opened by itself";
        dlg.DestroyWindow();
    }
    EXPECT_EQ(g_pReportWindow, nullptr);
}

TEST_F(Dialogs, TheCommandLineTargetsAreQueriedByEverySearch) {
    char szProgram[] = "lorixlog-finder";
    char szQtOption[] = "-platform";
    char szQtValue[] = "offscreen";
    char szTarget[] = "--target";
    char szNetwork[] = "10.88.0.0/30";
    char szHost[] = "--target=10.89.0.7";
    char* argv[] = {szProgram, szQtOption, szQtValue, szTarget, szNetwork, szHost};
    EXPECT_EQ(g_App.ParseCommandLine(6, argv).kind, CommandLineRequest::Run);
    ASSERT_EQ(g_App.m_search.targets.size(), 2u);

    net::ScriptedSocketLayer network;
    net::InstallSocketLayer(&network);
    ModalSpy spy;
    {
        ClorixlogfinderDlg dlg(g_App);
        ASSERT_TRUE(dlg.Create(IDD_MAIN));
        dialogtest::Pump();
        dialogtest::Click(dlg, IDC_SEARCH_AGAIN);
        dialogtest::Pump();
        dlg.DestroyWindow();
    }
    std::vector<std::string> sent;
    for (const auto& s : network.m_aSent) {
        sent.push_back(net::ScriptedSocketLayer::DottedText(s.to));
    }
    const std::vector<std::string> oneSearch = {"255.255.255.255", "10.88.0.1", "10.88.0.2",
                                                "10.88.0.3", "10.89.0.7"};
    std::vector<std::string> twoSearches = oneSearch;
    twoSearches.insert(twoSearches.end(), oneSearch.begin(), oneSearch.end());
    EXPECT_EQ(sent, twoSearches);
    g_App.m_search.targets.clear();

    char szWrong[] = "10.0.0.0/8";
    char* wrong[] = {szProgram, szTarget, szWrong};
    const CommandLineRequest request = g_App.ParseCommandLine(3, wrong);
    EXPECT_EQ(request.kind, CommandLineRequest::Error);
    EXPECT_EQ(request.text,
              "lorixlog-finder: the prefix length of '10.0.0.0/8' is not from 16 to 32");
    EXPECT_TRUE(g_App.m_search.targets.empty());
}

// A window that cannot be made is said so in a message box (a Windows program has no console);
// the program asks to be restarted after an update, as its restart flags say.
TEST_F(Dialogs, AMainWindowThatCannotBeMadeIsSaidSo) {
    MessageBoxSpy boxes;
    boxes.bRefuseWindows = true;
    g_App.m_savedTargets = CSavedTargets{};
    g_App.m_savedTargets.m_strFile = "no-such-folder/targets";
    g_App.m_deviceListSize.m_strFile = "no-such-folder/device-list-size";
    net::ScriptedSocketLayer network;
    net::InstallSocketLayer(&network);
    EXPECT_EQ(g_App.InitInstance(), FALSE);
    EXPECT_EQ(boxes.nRestartRegistrations, 1);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              "The window of lorixlog-finder could not be created. lorixlog-find searches from "
              "a command line.");
    EXPECT_TRUE(network.m_aSent.empty()) << "nothing was searched";
    EXPECT_EQ(network.m_nCleanups, 1);
    g_App.m_savedTargets = CSavedTargets{};
    g_App.m_deviceListSize = CKeptSize{};
}

// Like any program: help and the version end it at once, and so does anything it does not know,
// with a line that names it; nothing is searched then.
TEST_F(Dialogs, TheCommandLineAsksForHelpOrIsWrong) {
    struct Case {
        std::vector<std::string> args;
        CommandLineRequest::Kind kind;
        const char* pszText;
    };
    const Case cases[] = {
        {{"--help"}, CommandLineRequest::Help, "Usage: lorixlog-finder [OPTION]..."},
        {{"--target", "10.0.0.1", "-h"}, CommandLineRequest::Help, "  -r, --rate N"},
        {{"--version"}, CommandLineRequest::Version, "lorixlog-finder 2.0.45\n"},
        {{"--frobnicate"}, CommandLineRequest::Error, "unknown option '--frobnicate'"},
        {{"-x"}, CommandLineRequest::Error, "unknown option '-x'"},
        {{"--target"}, CommandLineRequest::Error, "option '--target' needs a value"},
        {{"--rate", "0"}, CommandLineRequest::Error, "the rate '0' is no number"},
        {{"--rate=fast"}, CommandLineRequest::Error, "the rate 'fast' is no number"},
        {{"--rate", "1000", "-t", "10.88.0.0/24"}, CommandLineRequest::Run, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> words = {"lorixlog-finder"};
        words.insert(words.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        const CommandLineRequest request =
            g_App.ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(request.kind, c.kind) << c.args.front();
        EXPECT_NE(request.text.find(c.pszText), std::string::npos) << request.text;
        if (c.kind == CommandLineRequest::Run) {
            EXPECT_EQ(g_App.m_search.nQueriesPerSecond, 1000);
            EXPECT_EQ(g_App.m_search.targets.size(), 1u);
        } else {
            EXPECT_TRUE(g_App.m_search.targets.empty()) << "nothing of a wrong line is kept";
        }
    }
    g_App.m_search.targets.clear();
    g_App.m_search.nQueriesPerSecond = 0;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!GTEST_FLAG_GET(list_tests)) {
        dialogtest::StartBackend(argc, argv);
    }
    return RUN_ALL_TESTS();
}

namespace {

// The Parts' global entry points write to the program's report window: ReportPrintf formats into
// it (and into nothing once there is none), ReportErrorLocation adds the location line.
TEST_F(Dialogs, ReportPrintfAndTheErrorLocationWriteToTheProgramsReportWindow) {
    {
        QuietReport window;
        window.AttachReportDisplay();
        CReportText& report = window.Report();
        report.m_strText.clear();
        ReportPrintf("%d-%s", 42, "x");
        EXPECT_EQ(report.m_strText, "42-x");
        report.m_strText.clear();
        ReportErrorLocation("CDeviceInfo::SearchDevices", "C:\\work\\shared\\DeviceInfo.cpp", 270);
        EXPECT_EQ(report.m_strText, " in ::SearchDevices() in \"DeviceInfo.cpp\" line 270\r\n");
    }
    ASSERT_EQ(g_pReportWindow, nullptr);
    const std::string before = m_report.Report().m_strText;
    ReportPrintf("%s", "dropped");  // must not crash
    EXPECT_EQ(m_report.Report().m_strText, before);
}

}  // namespace
