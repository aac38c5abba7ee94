// The main window while a search keeps the thread busy, on every backend: painted before the
// search starts and while it runs, and the user's request to close carried out instead of the
// device list; nothing else the user does acts meanwhile.
#include <regex>
#include <string>
#include <vector>

#include "DialogFixture.h"
#include "ProgramTable.h"

namespace {

class Busy : public Dialogs {
protected:
    void SetUp() override {
        Dialogs::SetUp();
        // A device answers early: had the search run to its end, the list would open.
        m_network.AddDatagram(200, "10.77.0.20", 9959, "TVK,lorixLOG,LX-8,A1,lab,1.0");
        net::InstallSocketLayer(&m_network);
    }
    /// Queues the input once, when the search has run for the time given.
    void During(std::uint32_t nAt, dialogtest::Input input, CWnd* pDialog) {
        m_network.m_onSelect = [this, nAt, input, pDialog](std::uint32_t nElapsed) {
            if (nElapsed >= nAt && !m_bQueued) {
                m_bQueued = true;
                dialogtest::QueueInput(*pDialog, input);
            }
        };
    }

    net::ScriptedSocketLayer m_network;
    bool m_bQueued = false;
};

// Escape, a click on Quit and the close box during the search end it early, and the window
// closes: the device list does not open first.
TEST_F(Busy, ARequestToCloseDuringTheSearchIsCarriedOut) {
    for (dialogtest::Input input :
         {dialogtest::Input::Escape, dialogtest::Input::ClickQuit, dialogtest::Input::CloseBox}) {
        net::ScriptedSocketLayer network;
        network.AddDatagram(200, "10.77.0.20", 9959, "TVK,lorixLOG,LX-8,A1,lab,1.0");
        net::InstallSocketLayer(&network);
        bool bQueued = false;
        ModalSpy spy;
        ClorixlogfinderDlg dlg(g_App);
        network.m_onSelect = [&](std::uint32_t nElapsed) {
            if (nElapsed >= 1000 && !bQueued) {
                bQueued = true;
                dialogtest::QueueInput(dlg, input);
            }
        };
        ASSERT_TRUE(dlg.Create(IDD_MAIN));
        dialogtest::Pump();
        const int nInput = static_cast<int>(input);
        EXPECT_TRUE(bQueued) << nInput;
        EXPECT_TRUE(spy.seen.empty()) << "the device list opened first: " << nInput;
        EXPECT_EQ(dlg.m_nModalResult, IDCANCEL) << nInput;
        EXPECT_LT(network.Elapsed(), 3000u) << "the search ended early: " << nInput;
        EXPECT_NE(dlg.Report().m_strText.find("... cancelled.\r\n"), std::string::npos)
            << dlg.Report().m_strText;
        dlg.DestroyWindow();
        net::InstallSocketLayer(&m_network);
    }
}

// Stop (a click, or Enter: it is the default button) ends the search at once, and the program
// goes on as after a search that ended by itself: the devices found are kept and offered.
TEST_F(Busy, StopEndsTheSearchAndKeepsWhatWasFound) {
    for (dialogtest::Input input :
         {dialogtest::Input::ClickSearchAgain, dialogtest::Input::Enter}) {
        net::ScriptedSocketLayer network;
        network.AddDatagram(200, "10.77.0.20", 9959, "TVK,lorixLOG,LX-8,A1,lab,1.0");
        network.AddDatagram(3000, "10.77.0.21", 9959, "TVK,lorixLOG,LX-8,A2,late,1.0");
        net::InstallSocketLayer(&network);
        ModalSpy spy;
        ClorixlogfinderDlg dlg(g_App);
        bool bQueued = false;
        std::string stopText;
        bool bStopIsDefault = false;
        bool bOpenDeviceWaits = false;
        bool bQuitStays = false;
        network.m_onSelect = [&](std::uint32_t nElapsed) {
            if (nElapsed >= 1000 && !bQueued) {
                bQueued = true;
                stopText = dlg.GetDlgItem(IDC_SEARCH_AGAIN)->GetWindowText();
                bStopIsDefault = Enabled(dlg, IDC_SEARCH_AGAIN) &&
                                 dialogtest::IsDefaultButton(dlg, IDC_SEARCH_AGAIN);
                bOpenDeviceWaits = !Enabled(dlg, IDC_OPEN_DEVICE);
                bQuitStays = Enabled(dlg, IDC_QUIT);
                dialogtest::QueueInput(dlg, input);
            }
        };
        ASSERT_TRUE(dlg.Create(IDD_MAIN));
        dialogtest::Pump();
        const int nInput = static_cast<int>(input);
        EXPECT_TRUE(bQueued) << nInput;
        EXPECT_EQ(stopText, "Stop");
        EXPECT_TRUE(bStopIsDefault) << "Enter stops the search";
        EXPECT_TRUE(bOpenDeviceWaits);
        EXPECT_TRUE(bQuitStays);
        EXPECT_LT(network.Elapsed(), 2000u) << "the search ended at once: " << nInput;
        const std::string& text = dlg.Report().m_strText;
        EXPECT_NE(text.find("... done.\r\n1 device found.\r\n"), std::string::npos) << text;
        EXPECT_EQ(text.find("cancelled"), std::string::npos) << text;
        EXPECT_EQ(g_DeviceInfo.m_nDevices, 1);
        EXPECT_EQ(spy.seen, std::vector<UINT>{IDD_OPEN_DEVICE}) << "the list opened: " << nInput;
        EXPECT_EQ(dlg.m_nModalResult, -1) << "the program goes on";
        EXPECT_EQ(dlg.GetDlgItem(IDC_SEARCH_AGAIN)->GetWindowText(), "Search again");
        EXPECT_TRUE(Enabled(dlg, IDC_OPEN_DEVICE));
        EXPECT_TRUE(Enabled(dlg, IDC_SEARCH_AGAIN));
        dlg.DestroyWindow();
        net::InstallSocketLayer(&m_network);
    }
}

// While a sweep runs, the caption says how far it has come; Stop ends it where it is, and the
// report says how much was queried.
TEST_F(Busy, TheCaptionShowsTheSweepUntilItIsStopped) {
    g_App.m_search.targets.resize(1);
    std::string error;
    ASSERT_TRUE(
        ParseSearchTarget("10.88.0.0/22", &g_App.m_search.targets[0], &error, Language::English));
    ModalSpy spy;
    ClorixlogfinderDlg dlg(g_App);
    std::string caption;
    m_network.m_onSelect = [&](std::uint32_t nElapsed) {
        if (nElapsed >= 2600 && !m_bQueued) {
            m_bQueued = true;
            caption = dlg.GetWindowText();
            dialogtest::QueueInput(dlg, dialogtest::Input::ClickSearchAgain);
        }
    };
    ASSERT_TRUE(dlg.Create(IDD_MAIN));
    dialogtest::Pump();
    g_App.m_search.targets.clear();
    // 1,022 hosts and the prefix's broadcast address.
    EXPECT_TRUE(std::regex_match(
        caption, std::regex("lorixlog-finder \x96 [0-9]{3} of 1,023 addresses \x96 1 device")))
        << "caption: " << caption;
    EXPECT_EQ(dlg.GetWindowText(), "lorixlog-finder version 2.0.45") << "the caption is back";
    const std::string& text = dlg.Report().m_strText;
    EXPECT_TRUE(std::regex_search(
        text, std::regex("\r\nQueried 10[.]88[.]0[.]0/22: [0-9]{3} of 1023 addresses[.]\r\n")))
        << text;
    EXPECT_NE(text.find("... done.\r\n1 device found.\r\n"), std::string::npos) << text;
    EXPECT_EQ(spy.seen, std::vector<UINT>{IDD_OPEN_DEVICE});
    dlg.DestroyWindow();
}

// A click on another button during the search does nothing: no dialog opens inside the search.
TEST_F(Busy, OtherInputDuringTheSearchIsNotActedOn) {
    ModalSpy spy;
    ClorixlogfinderDlg dlg(g_App);
    ASSERT_TRUE(dlg.Create(IDD_MAIN));
    dialogtest::Pump();  // the first search: the list opens by itself (and the spy ends it)
    ASSERT_EQ(spy.seen, std::vector<UINT>{IDD_OPEN_DEVICE});
    ASSERT_TRUE(Enabled(dlg, IDC_OPEN_DEVICE));
    m_network.AddDatagram(m_network.Elapsed() + 200, "10.77.0.20", 9959,
                          "TVK,lorixLOG,LX-8,A1,lab,1.0");
    std::size_t nSeenDuringSearch = 0;
    m_network.m_onSelect = [&](std::uint32_t) {
        if (!m_bQueued) {
            m_bQueued = true;
            dialogtest::QueueInput(dlg, dialogtest::Input::ClickOpenDevice);
        }
        nSeenDuringSearch = std::max(nSeenDuringSearch, spy.seen.size());
    };
    dialogtest::Click(dlg, IDC_SEARCH_AGAIN);
    dialogtest::Pump();
    EXPECT_TRUE(m_bQueued);
    EXPECT_EQ(nSeenDuringSearch, 1u) << "a dialog opened while the search ran";
    EXPECT_EQ(spy.seen, (std::vector<UINT>{IDD_OPEN_DEVICE, IDD_OPEN_DEVICE}))
        << "the click was not kept for later either";
    EXPECT_EQ(dlg.m_nModalResult, -1);
    dlg.DestroyWindow();
}

// The window is on the screen whole before the search keeps the thread busy, and the report
// shows each device while the search still runs.
TEST_F(Busy, TheWindowIsPaintedBeforeAndWhileTheSearchRuns) {
    ModalSpy spy;
    ClorixlogfinderDlg dlg(g_App);
    bool bPaintedAtStart = false;
    bool bChecked = false;
    std::string shownLater;
    m_network.m_onSelect = [&](std::uint32_t nElapsed) {
        if (!bChecked) {
            bChecked = true;
            bPaintedAtStart = dialogtest::IsPainted(dlg);
        }
        if (nElapsed >= 1500 && shownLater.empty()) {
            shownLater = dlg.GetDlgItem(IDC_REPORT)->GetWindowText();
        }
    };
    ASSERT_TRUE(dlg.Create(IDD_MAIN));
    dialogtest::Pump();
    EXPECT_TRUE(bChecked);
    EXPECT_TRUE(bPaintedAtStart) << "the window waited for the search to be painted";
    EXPECT_NE(shownLater.find("Found lorixLOG LX-8 device"), std::string::npos) << shownLater;
    EXPECT_EQ(shownLater.find("... done."), std::string::npos) << "the search still ran";
    dlg.DestroyWindow();
}

}  // namespace
