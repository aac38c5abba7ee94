// The device list for many devices, on every backend: a window the user makes larger (and that
// keeps its size), lines that scroll sideways, its menu (open, copy, save), the list saved as
// lorixlog-find would write it, and dialogs that fit a small screen.
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "DeviceExport.h"
#include "DeviceListFile.h"
#include "DialogFixture.h"
#include "ProgramTable.h"

namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

RECT WindowRect(CWnd& window) {
    RECT rect{};
    window.GetWindowRect(&rect);
    return rect;
}

class DeviceLists : public Dialogs {
protected:
    void SetUp() override {
        Dialogs::SetUp();
        m_dir = fs::temp_directory_path() /
                ("lorixlog-list-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
        Table({Device("lab-logger", "10.0.0.20", "", "", "A1"),
               Device("tank-farm", "10.0.0.21", "", "", "B2")});
    }
    void TearDown() override {
        fs::remove_all(m_dir);
        Dialogs::TearDown();
    }
    fs::path m_dir;
};

// Made larger, the list grows and the buttons keep their places at the bottom (Cancel at the
// right); the size is kept for the next time, and a kept size that is no size is not used.
TEST_F(DeviceLists, TheListGrowsWithItsWindowAndKeepsItsSize) {
    const std::string kept = (m_dir / "device-list-size").string();
    RECT opened{};
    {
        CDeviceList dlg;
        dlg.m_keptSize.m_strFile = kept;
        ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
        dlg.GetClientRect(&opened);
        const RECT window = WindowRect(dlg);
        const RECT list = WindowRect(*dlg.GetDlgItem(IDC_DEVICE_LIST));
        const RECT byName = WindowRect(*dlg.GetDlgItem(IDC_BY_NAME));
        const RECT cancel = WindowRect(*dlg.GetDlgItem(IDCANCEL));
        dlg.MoveWindow(static_cast<int>(window.left), static_cast<int>(window.top),
                       static_cast<int>(window.right - window.left + 120),
                       static_cast<int>(window.bottom - window.top + 80));
        dialogtest::Pump();
        const RECT grown = WindowRect(dlg);
        ASSERT_EQ(grown.right - grown.left, window.right - window.left + 120);
        auto moved = [&](const RECT& now, const RECT& before) {
            return POINT{(now.left - grown.left) - (before.left - window.left),
                         (now.top - grown.top) - (before.top - window.top)};
        };
        const RECT listNow = WindowRect(*dlg.GetDlgItem(IDC_DEVICE_LIST));
        EXPECT_EQ(listNow.right - listNow.left, list.right - list.left + 120);
        EXPECT_EQ(listNow.bottom - listNow.top, list.bottom - list.top + 80);
        EXPECT_EQ(moved(listNow, list).x, 0);
        EXPECT_EQ(moved(WindowRect(*dlg.GetDlgItem(IDC_BY_NAME)), byName).x, 0);
        EXPECT_EQ(moved(WindowRect(*dlg.GetDlgItem(IDC_BY_NAME)), byName).y, 80);
        EXPECT_EQ(moved(WindowRect(*dlg.GetDlgItem(IDCANCEL)), cancel).x, 120);
        EXPECT_EQ(moved(WindowRect(*dlg.GetDlgItem(IDCANCEL)), cancel).y, 80);
        dlg.DestroyWindow();
    }
    EXPECT_EQ(FileText(kept),
              std::to_string(opened.right + 120) + " " + std::to_string(opened.bottom + 80) + "\n");
    {
        CDeviceList again;
        again.m_keptSize.m_strFile = kept;
        ASSERT_TRUE(again.Create(IDD_OPEN_DEVICE));
        RECT client{};
        again.GetClientRect(&client);
        EXPECT_EQ(client.right, opened.right + 120);
        EXPECT_EQ(client.bottom, opened.bottom + 80);
        again.DestroyWindow();
    }
    for (const char* pszKept : {"4294967296 -5\n", "640 480 and more", "\x01\xff"}) {
        std::ofstream(kept, std::ios::binary) << pszKept;
        CDeviceList hostile;
        hostile.m_keptSize.m_strFile = kept;
        ASSERT_TRUE(hostile.Create(IDD_OPEN_DEVICE));
        RECT client{};
        hostile.GetClientRect(&client);
        EXPECT_EQ(client.right, opened.right) << pszKept;
        EXPECT_EQ(client.bottom, opened.bottom) << pszKept;
        hostile.DestroyWindow();
        EXPECT_EQ(FileText(kept), pszKept) << "an unchanged size is not written";
    }
}

// A line wider than the list scrolls sideways and stays whole.
TEST_F(DeviceLists, ALongLineScrollsSideways) {
    const std::string name(70, 'n');
    Table({Device(name.c_str(), "10.0.0.20", "", "", "SERIAL-OF-A-LONG-NAMED-LOGGER")});
    CDeviceList dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    EXPECT_EQ(ListLine(dlg, 0), name + "  (10.0.0.20)  # SERIAL-OF-A-LONG-NAMED-LOGGER");
    EXPECT_GT(dialogtest::HorizontalScrollRange(dlg, IDC_DEVICE_LIST), 0);
    dlg.DestroyWindow();
    Table({Device("short", "10.0.0.20", "", "", "S")});
    CDeviceList fits;
    ASSERT_TRUE(fits.Create(IDD_OPEN_DEVICE));
    EXPECT_EQ(dialogtest::HorizontalScrollRange(fits, IDC_DEVICE_LIST), 0);
    fits.DestroyWindow();
}

// A right click or the menu key on the list: open the device, copy its address or its line,
// save the list; a right click chooses the line first.
TEST_F(DeviceLists, TheListsMenuOpensCopiesAndSaves) {
    ShellSpy shell;
    CDeviceList dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    CWnd* pList = dlg.GetDlgItem(IDC_DEVICE_LIST);
    pList->SendMessage(LB_SETCURSEL, 1);
    EXPECT_EQ(dialogtest::ContextMenu(dlg, IDC_DEVICE_LIST, true, "Copy &address"),
              (std::vector<std::string>{"&Open", "Copy &address", "Copy &line", "-",
                                        "&Save list as\x85"}));
    EXPECT_EQ(dialogtest::ClipboardText(), "10.0.0.21");
    dialogtest::ContextMenu(dlg, IDC_DEVICE_LIST, false, "Copy &line");
    EXPECT_EQ(pList->SendMessage(LB_GETCURSEL), 0) << "the line right-clicked";
    EXPECT_EQ(dialogtest::ClipboardText(), "lab-logger  (10.0.0.20)  # A1");
    EXPECT_EQ(dlg.m_nModalResult, -1);

    dialogtest::ContextMenu(dlg, IDC_DEVICE_LIST, true, "&Open");
    EXPECT_EQ(shell.urls, std::vector<std::string>{"http://10.0.0.20/"});
    EXPECT_EQ(dlg.m_nModalResult, IDOK);
    dlg.DestroyWindow();
}

// Save list as...: the platform's save dialog; the file holds what lorixlog-find --json or
// --csv writes for the same devices, by the kind chosen; a name without an extension gets the
// kind's. Cancelled, nothing is written.
TEST_F(DeviceLists, TheSavedListIsWhatLorixlogFindWrites) {
    CDeviceList dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    dialogtest::FileDialogAnswer json(m_dir.string(), "plant", 1);
    dialogtest::AnswerNextFileDialog(&json);
    dialogtest::ContextMenu(dlg, IDC_DEVICE_LIST, true, "&Save list as\x85");
    ASSERT_TRUE(json.bShown);
    EXPECT_EQ(json.title, "Save list as");
    ASSERT_EQ(json.filters.size(), 2u);
    EXPECT_EQ(json.filters[0].rfind("CSV, for spreadsheets", 0), 0u) << json.filters[0];
    EXPECT_EQ(FileText(m_dir / "plant.json"), DevicesAsJson(g_DeviceInfo));
    const std::string& report = m_report.Report().m_strText;
    EXPECT_NE(report.find("Device list saved as\r\n  "), std::string::npos) << report;

    dialogtest::FileDialogAnswer csv(m_dir.string(), "plant.csv", 0);
    dialogtest::AnswerNextFileDialog(&csv);
    dialogtest::ContextMenu(dlg, IDC_DEVICE_LIST, true, "&Save list as\x85");
    EXPECT_EQ(FileText(m_dir / "plant.csv"), DevicesAsCsv(g_DeviceInfo));

    dialogtest::FileDialogAnswer cancel(m_dir.string(), "", 0);
    dialogtest::AnswerNextFileDialog(&cancel);
    const std::string before = report;
    dialogtest::ContextMenu(dlg, IDC_DEVICE_LIST, true, "&Save list as\x85");
    EXPECT_TRUE(cancel.bShown);
    EXPECT_EQ(report, before);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 2);
    EXPECT_EQ(dlg.m_nModalResult, -1) << "the list stays open";
    dlg.DestroyWindow();
}

// A list that cannot be written is said so in a message box; nothing else changes.
TEST_F(DeviceLists, AListThatCannotBeSavedIsSaidSo) {
    MessageBoxSpy boxes;
    CDeviceList dlg;
    ASSERT_TRUE(dlg.Create(IDD_OPEN_DEVICE));
    const std::string before = m_report.Report().m_strText;
    std::ofstream(m_dir / "a-file") << "not a folder";
    const std::string path = (m_dir / "a-file" / "plant.csv").string();
    EXPECT_FALSE(SaveDeviceListAs(&dlg, m_report.Report(), g_DeviceInfo, Language::English, path,
                                  *FindExportFormat("csv")));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0].rfind("The list could not be saved as '", 0), 0u) << boxes.texts[0];
    EXPECT_EQ(m_report.Report().m_strText, before);
    EXPECT_FALSE(fs::exists(path));
    dlg.DestroyWindow();
}

// The report's menu saves the list too, once a search found devices.
TEST_F(DeviceLists, TheReportsMenuSavesTheList) {
    net::ScriptedSocketLayer network;
    network.AddDatagram(200, "10.77.0.20", 9959, "TVK,lorixLOG,LX-8,A20715,lab,3.1.4");
    net::InstallSocketLayer(&network);
    ModalSpy spy;
    ClorixlogfinderDlg dlg(g_App);
    ASSERT_TRUE(dlg.Create(IDD_MAIN));
    dialogtest::Pump();
    ASSERT_EQ(g_DeviceInfo.m_nDevices, 1);
    dialogtest::FileDialogAnswer csv(m_dir.string(), "found", 0);
    dialogtest::AnswerNextFileDialog(&csv);
    dialogtest::ContextMenu(dlg, IDC_REPORT, true, "&Save list as\x85");
    dialogtest::Pump();
    EXPECT_TRUE(csv.bShown);
    EXPECT_EQ(FileText(m_dir / "found.csv"), DevicesAsCsv(g_DeviceInfo));
    dlg.DestroyWindow();
}

// On a small screen (the test runs at scale 2 on a 1280 x 800 screen too) no dialog is larger
// than the work area, and every button comes into view when the keyboard reaches it.
TEST_F(DeviceLists, EveryButtonCanBeReachedOnASmallScreen) {
    struct Step {
        int nFrom;
        int nTo;
    };
    ShowingReport main;
    ASSERT_TRUE(main.Create(IDD_MAIN));
    main.GetDlgItem(IDC_OPEN_DEVICE)->EnableWindow(TRUE);
    main.GetDlgItem(IDC_SEARCH_AGAIN)->EnableWindow(TRUE);
    CDeviceList list;
    ASSERT_TRUE(list.Create(IDD_OPEN_DEVICE));
    const struct {
        CWnd* pDialog;
        std::vector<Step> steps;
    } dialogs[] = {
        {&main,
         {{IDC_REPORT, IDC_SEARCH_AGAIN},
          {IDC_SEARCH_AGAIN, IDC_OPEN_DEVICE},
          {IDC_OPEN_DEVICE, IDC_QUIT}}},
        {&list,
         {{IDC_DEVICE_LIST, IDC_BY_NAME}, {IDC_BY_NAME, IDC_BY_IPV4}, {IDC_BY_IPV4, IDCANCEL}}},
    };
    const RECT work = ui::GetBackend()->WorkArea(nullptr);
    for (const auto& d : dialogs) {
        const RECT window = WindowRect(*d.pDialog);
        EXPECT_LE(window.right - window.left, work.right - work.left);
        EXPECT_LE(window.bottom - window.top, work.bottom - work.top);
        for (const Step& step : d.steps) {
            dialogtest::PressKey(*d.pDialog, step.nFrom, dialogtest::Key::Tab);
            EXPECT_TRUE(dialogtest::HasFocus(*d.pDialog, step.nTo)) << step.nTo;
            EXPECT_TRUE(dialogtest::IsInView(*d.pDialog, step.nTo)) << step.nTo;
        }
    }
    list.DestroyWindow();
    main.DestroyWindow();
}

// Every group box shows its caption to the last letter, in both languages (Wine once cut the
// German list's "... werden soll" to "... werden sc").
TEST_F(DeviceLists, GroupBoxCaptionsAreShownWhole) {
    for (const WORD wLanguage : {ui::LANG_GERMAN_GERMANY, ui::LANG_ENGLISH_US}) {
        ui::SetUserInterfaceLanguage(wLanguage);
        const Language language =
            wLanguage == ui::LANG_GERMAN_GERMANY ? Language::German : Language::English;
        ShowingReport main;
        ASSERT_TRUE(main.Create(IDD_MAIN));
        CDeviceList list;
        ASSERT_TRUE(list.Create(IDD_OPEN_DEVICE));
        EXPECT_TRUE(dialogtest::CaptionShownWhole(main, texts::Get(texts::MainResults, language)));
        for (const auto id : {texts::ListSelectDevice, texts::ListOpenDevice}) {
            EXPECT_TRUE(dialogtest::CaptionShownWhole(list, texts::Get(id, language)))
                << texts::Get(id, language);
        }
        list.DestroyWindow();
        main.DestroyWindow();
    }
}

}  // namespace
