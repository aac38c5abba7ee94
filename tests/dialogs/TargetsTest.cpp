// The search targets the user keeps in the desktop program: the report's context menu, the
// targets dialog, and the file that holds them; on every backend.
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "DialogFixture.h"
#include "SavedTargets.h"
#include "TargetsDialog.h"
#include "text/Windows1252.h"

namespace {

namespace fs = std::filesystem;

/// Runs the function on every modal dialog once its initialisation is done; it may end it.
struct ModalHandler {
    std::function<void(CDialog*)> handle;
    explicit ModalHandler(std::function<void(CDialog*)> f) : handle(std::move(f)) {
        ui::SetModalObserver(&ModalHandler::Observe, this);
    }
    ~ModalHandler() { ui::SetModalObserver(nullptr, nullptr); }
    static void Observe(CDialog* pDialog, void* pContext) {
        static_cast<ModalHandler*>(pContext)->handle(pDialog);
    }
};

std::string FileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Targets : public Dialogs {
protected:
    void SetUp() override {
        Dialogs::SetUp();
        // Tests run side by side in processes of their own, whose heaps may lie at the same
        // addresses: the folder is named by the test and a random number.
        m_dir = fs::temp_directory_path() /
                ("lorixlog-targets-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "-" + std::to_string(std::random_device{}()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        g_App.m_savedTargets = CSavedTargets{};
        g_App.m_savedTargets.m_strFile = (m_dir / "config" / "targets").string();
        g_App.m_commandLineTargets.clear();
        g_App.m_strTargetsProblem.clear();
        g_App.ApplyTargets();
    }
    void TearDown() override {
        g_App.m_savedTargets = CSavedTargets{};
        g_App.ApplyTargets();
        fs::remove_all(m_dir);
        Dialogs::TearDown();
    }
    fs::path m_dir;
};

// Right click or the menu key: Copy (once something is selected, however long the report),
// Select All, the search targets, and the device list saved (once there are devices), in the
// language of the user interface.
TEST_F(Targets, TheReportsContextMenuInEitherLanguage) {
    const struct {
        WORD wLanguage;
        const char* pszTag;
        std::vector<std::string> menu;
    } languages[] = {
        {ui::LANG_ENGLISH_US,
         "en-US",
         {"(disabled) &Copy", "Select &All", "-", "Search &targets\x85",
          "(disabled) &Save list as\x85"}},
        {ui::LANG_GERMAN_GERMANY,
         "de-DE",
         {"(disabled) &Kopieren", "&Alles markieren", "-", "Such&ziele\x85",
          "(disabled) Liste &speichern unter\x85"}},
    };
    for (const auto& language : languages) {
        ui::SetUserInterfaceLanguage(language.wLanguage);
        std::strcpy(g_szLanguage, language.pszTag);
        ClorixlogfinderDlg dlg(g_App);
        ASSERT_TRUE(dlg.Create(IDD_MAIN));
        dialogtest::Pump();
        EXPECT_EQ(dialogtest::ContextMenu(dlg, IDC_REPORT, false, nullptr), language.menu);
        // A report longer than 16 bits of positions: about 350 devices' descriptions.
        std::string lines;
        for (int i = 0; i < 3000; ++i) {
            lines += "line " + std::to_string(i) + " of a long report\r\n";
        }
        dlg.Report().AppendText(lines.c_str());
        ASSERT_GT(dlg.Report().m_strText.size(), 65535u);
        dialogtest::ContextMenu(dlg, IDC_REPORT, true, language.menu[1].c_str());
        DWORD nStart = 1;
        DWORD nEnd = 0;
        dlg.GetDlgItem(IDC_REPORT)
            ->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&nStart),
                          reinterpret_cast<LPARAM>(&nEnd));
        EXPECT_EQ(nStart, 0u);
        EXPECT_EQ(nEnd, dlg.Report().m_strText.size()) << "all of the report";
        const std::vector<std::string> menu =
            dialogtest::ContextMenu(dlg, IDC_REPORT, true, nullptr);
        ASSERT_FALSE(menu.empty());
        EXPECT_EQ(menu[0], language.menu[0].substr(11)) << "something to copy now";
        dlg.DestroyWindow();
    }
}

// The dialog names the malformed lines and stays open; a good list is saved, used by every later
// search, and there again at the next start.
TEST_F(Targets, TheTargetsDialogKeepsTargetsForEverySearch) {
    net::ScriptedSocketLayer network;
    net::InstallSocketLayer(&network);
    MessageBoxSpy boxes;
    std::vector<INT_PTR> results;
    ModalHandler handler([&](CDialog* pDialog) {
        ASSERT_EQ(pDialog->m_nIDTemplate, static_cast<UINT>(IDD_TARGETS));
        CWnd* pEdit = pDialog->GetDlgItem(IDC_TARGETS);
        ASSERT_NE(pEdit, nullptr);
        EXPECT_EQ(pEdit->GetWindowText(), "");
        pEdit->SetWindowText("10.0.0.300\r\n# lab\r\nlogger 7");
        pDialog->SendMessage(WM_COMMAND, IDOK);
        results.push_back(pDialog->m_nModalResult);
        pEdit->SetWindowText("10.88.0.0/30\r\n# the lab\r\n10.89.0.7\r\n");
        pDialog->SendMessage(WM_COMMAND, IDOK);
        results.push_back(pDialog->m_nModalResult);
    });
    ClorixlogfinderDlg dlg(g_App);
    ASSERT_TRUE(dlg.Create(IDD_MAIN));
    dialogtest::Pump();
    const std::size_t nFirstSearch = network.m_aSent.size();
    // Nobody answered: the report shows the way to search targets that this program offers.
    EXPECT_NE(dlg.Report().m_strText.find(
                  "\r\n  - Devices behind a router are found only as search targets\r\n"
                  "    (right click on this report: Search targets\x85).\r\n"),
              std::string::npos)
        << dlg.Report().m_strText;
    dialogtest::ContextMenu(dlg, IDC_REPORT, true, "Search &targets\x85");
    dialogtest::Pump();
    EXPECT_EQ(results, (std::vector<INT_PTR>{-1, IDOK})) << "open until the list is right";
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0].rfind("These lines are no search targets:\r\nline 1: '10.0.0.300'", 0),
              0u)
        << boxes.texts[0];
    EXPECT_NE(boxes.texts[0].find("\r\nline 3: 'logger 7'"), std::string::npos) << boxes.texts[0];
    EXPECT_EQ(FileText(g_App.m_savedTargets.m_strFile), "10.88.0.0/30\n# the lab\n10.89.0.7\n");
    // The new list is searched at once, and the report of that search says where it is kept,
    // in lines short enough to read.
    const std::string note = "Search targets: 2, kept for every search in\r\n  " +
                             text::Windows1252FromUtf8(g_App.m_savedTargets.m_strFile) + "\r\n";
    EXPECT_NE(dlg.Report().m_strText.find(note), std::string::npos) << dlg.Report().m_strText;
    std::vector<std::string> sent;
    for (std::size_t i = nFirstSearch; i < network.m_aSent.size(); ++i) {
        sent.push_back(net::ScriptedSocketLayer::DottedText(network.m_aSent[i].to));
    }
    EXPECT_EQ(sent, (std::vector<std::string>{"255.255.255.255", "10.88.0.1", "10.88.0.2",
                                              "10.88.0.3", "10.89.0.7"}));
    dlg.DestroyWindow();

    CSavedTargets again;
    again.m_strFile = g_App.m_savedTargets.m_strFile;
    std::string problem;
    EXPECT_TRUE(again.Load(Language::English, &problem)) << problem;
    EXPECT_EQ(again.m_strText, "10.88.0.0/30\r\n# the lab\r\n10.89.0.7\r\n");
    EXPECT_EQ(again.m_targets.size(), 2u);
}

// A list that cannot be saved keeps the dialog open and the old list in use; a file that cannot
// be read, or is malformed, is not used, says why, and is shown for mending.
TEST_F(Targets, NothingIsLostWhenTheFileFails) {
    CSavedTargets& saved = g_App.m_savedTargets;
    saved.m_strFile = (m_dir / "a-file" / "targets").string();
    std::ofstream(m_dir / "a-file") << "not a folder";
    MessageBoxSpy boxes;
    std::vector<INT_PTR> results;
    ModalHandler handler([&](CDialog* pDialog) {
        pDialog->GetDlgItem(IDC_TARGETS)->SetWindowText("10.0.0.1");
        pDialog->SendMessage(WM_COMMAND, IDOK);
        results.push_back(pDialog->m_nModalResult);
        EXPECT_EQ(pDialog->GetDlgItem(IDC_TARGETS)->GetWindowText(), "10.0.0.1");
        pDialog->SendMessage(WM_COMMAND, IDCANCEL);
        results.push_back(pDialog->m_nModalResult);
    });
    CTargetsDialog dlg(saved, Language::English);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(results, (std::vector<INT_PTR>{-1, IDCANCEL}));
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0].rfind("The search targets could not be saved: ", 0), 0u)
        << boxes.texts[0];
    EXPECT_TRUE(saved.m_targets.empty());

    std::string problem;
    saved.m_strFile = (m_dir / "hand-made").string();
    std::ofstream(m_dir / "hand-made") << "10.0.0.1\n10.0.0.0/8\n";
    EXPECT_FALSE(saved.Load(Language::English, &problem));
    EXPECT_NE(problem.find("hand-made:2: the prefix length of '10.0.0.0/8' is not from 16 to 32"),
              std::string::npos)
        << problem;
    EXPECT_EQ(saved.m_strText, "10.0.0.1\r\n10.0.0.0/8\r\n") << "shown in the dialog, to mend";
    EXPECT_TRUE(saved.m_targets.empty());
    saved.m_strFile = m_dir.string();
    EXPECT_FALSE(saved.Load(Language::English, &problem));
    EXPECT_NE(problem.find("cannot be read"), std::string::npos) << problem;
    saved.m_strFile = (m_dir / "missing").string();
    EXPECT_TRUE(saved.Load(Language::English, &problem)) << "no file yet: no targets";
}

// What the user types after the kept list is a line of its own, whether or not the file ended
// with a line end: "10.88.0.20" and "10.88.0.21" never become "10.88.0.2010.88.0.21".
TEST_F(Targets, ATypedTargetStartsALineOfItsOwn) {
    std::ofstream(m_dir / "kept", std::ios::binary) << "# lab\n10.88.0.20";
    g_App.m_savedTargets.m_strFile = (m_dir / "kept").string();
    std::string problem;
    ASSERT_TRUE(g_App.m_savedTargets.Load(Language::English, &problem)) << problem;
    ModalHandler handler([&](CDialog* pDialog) {
        CWnd* pEdit = pDialog->GetDlgItem(IDC_TARGETS);
        EXPECT_EQ(pEdit->GetWindowText(), "# lab\r\n10.88.0.20\r\n");
        // Typed at the caret, where the dialog put it.
        pEdit->SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("10.88.0.21"));
        pDialog->SendMessage(WM_COMMAND, IDOK);
    });
    CTargetsDialog dlg(g_App.m_savedTargets, Language::English);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(FileText(m_dir / "kept"), "# lab\n10.88.0.20\n10.88.0.21\n");
    EXPECT_EQ(g_App.m_savedTargets.m_targets.size(), 2u);
}

// The dialog speaks the user's language, the parser's messages included.
TEST_F(Targets, AGermanDialogNamesTheMalformedLineInGerman) {
    MessageBoxSpy boxes;
    ModalHandler handler([&](CDialog* pDialog) {
        pDialog->GetDlgItem(IDC_TARGETS)->SetWindowText("10.88.0.300\r\nLogger 7");
        pDialog->SendMessage(WM_COMMAND, IDOK);
        pDialog->SendMessage(WM_COMMAND, IDCANCEL);
    });
    CTargetsDialog dlg(g_App.m_savedTargets, Language::German);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              "Diese Zeilen sind keine Suchziele:\r\n"
              "Zeile 1: '10.88.0.300' ist keine IPv4-Adresse in Punkt-Dezimal-Form (A.B.C.D)\r\n"
              "Zeile 2: 'Logger 7' ist weder IPv4-Adresse noch Host-Name noch Pr\xe4"
              "fix");
}

}  // namespace
