// Start-up: the socket layer's version check, the language tag, and the whole run of the main
// dialog inside InitInstance.
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "ClorixlogfinderApp.h"
#include "GuiTestSupport.h"
#include "ReportWindow.h"

using namespace guitest;

namespace {

/// Runs the function with standard error going to a file, and returns what was written.
template <typename F>
std::string CaptureStandardError(F function) {
    std::fflush(stderr);
    char szPath[] = "/tmp/lorixlog-stderr.XXXXXX";
    const int fd = mkstemp(szPath);
    const int nSaved = dup(2);
    dup2(fd, 2);
    function();
    std::fflush(stderr);
    dup2(nSaved, 2);
    close(nSaved);
    std::string text;
    if (std::FILE* f = std::fopen(szPath, "r")) {
        char buffer[256];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof(buffer), f)) > 0;) {
            text.append(buffer, n);
        }
        std::fclose(f);
    }
    close(fd);
    unlink(szPath);
    return text;
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Prepare(); }

    void socketLayerThatDoesNotStart() {
        ScriptedNetwork network;
        network.layer.m_nStartupResult = net::WSASYSNOTREADY;
        ModalSpy spy;
        BOOL bResult = TRUE;
        const std::string err = CaptureStandardError([&] { bResult = g_App.InitInstance(); });
        QCOMPARE(bResult, FALSE);
        QCOMPARE(err, std::string("Error: WSAStartup() failed.\n"));
        QCOMPARE(network.layer.m_nCleanups, 0);
        QVERIFY(spy.seen.empty());
        QCOMPARE(ui::qt::LiveWindowCount(), 0);
    }

    void socketLayerOfAnotherVersion() {
        for (std::uint16_t wVersion :
             {net::MAKEWORD(1, 1), net::MAKEWORD(2, 0), net::MAKEWORD(2, 1)}) {
            ScriptedNetwork network;
            network.layer.m_wGrantedVersion = wVersion;
            ModalSpy spy;
            const std::string err =
                CaptureStandardError([&] { QCOMPARE(g_App.InitInstance(), FALSE); });
            QCOMPARE(err, std::string("Error: WSAStartup() returned wrong version.\n"));
            QCOMPARE(network.layer.m_nCleanups, 1);
            QVERIFY(spy.seen.empty());
            QCOMPARE(ui::qt::LiveWindowCount(), 0);
        }
    }

    void runsTheMainDialogAndStopsTheSocketLayerOnce() {
        ScriptedNetwork network;
        ModalSpy spy;
        spy.onModal = [](CDialog* p) {
            QCOMPARE(AfxGetMainWnd(), static_cast<CWnd*>(p));
            p->EndDialog(IDCANCEL);
        };
        QCOMPARE(g_App.InitInstance(), FALSE);
        QCOMPARE(spy.seen, std::vector<UINT>{IDD_MAIN});
        QCOMPARE(network.layer.m_nStartups, 1);
        QCOMPARE(network.layer.m_nCleanups, 1);
        QCOMPARE(QByteArray(g_szLanguage), QByteArray("en-US"));
        QVERIFY(AfxGetMainWnd() == nullptr);
        QVERIFY(g_pReportWindow == nullptr);  // not left pointing at the destroyed dialog
        QCOMPARE(ui::qt::LiveWindowCount(), 0);
    }

    // A FIFO (or a device) where the kept targets belong would hold the program up before its
    // window shows, waiting for a writer: it is refused at once and said why.
    void aKeptTargetFileThatIsNoRegularFileIsRefusedAtOnce() {
        char szDir[] = "/tmp/lorixlog-fifo.XXXXXX";
        QVERIFY(mkdtemp(szDir) != nullptr);
        const std::string fifo = std::string(szDir) + "/targets";
        QCOMPARE(mkfifo(fifo.c_str(), 0600), 0);
        ScriptedNetwork network;
        ModalSpy spy;
        spy.onModal = [](CDialog* p) { p->EndDialog(IDCANCEL); };
        for (const std::string& path : {fifo, std::string("/dev/zero")}) {
            g_App.m_savedTargets = CSavedTargets{};
            g_App.m_savedTargets.m_strFile = path;
            alarm(20);  // a program blocked in opening the FIFO ends the test
            QCOMPARE(g_App.InitInstance(), FALSE);
            alarm(0);
            QCOMPARE(spy.seen.back(), static_cast<UINT>(IDD_MAIN));
            QCOMPARE(g_App.m_strTargetsProblem, "The saved search targets in '" + path +
                                                    "' cannot be read: not a regular file");
        }
        g_App.m_savedTargets = CSavedTargets{};
        g_App.m_strTargetsProblem.clear();
        unlink(fifo.c_str());
        rmdir(szDir);
    }

    void languageTagFollowsTheResourceLanguage() {
        Prepare(ui::LANG_GERMAN_GERMANY);
        DetermineLanguageTag();
        QCOMPARE(QByteArray(g_szLanguage), QByteArray("de-DE"));
        Prepare(ui::LANG_ENGLISH_US);
        DetermineLanguageTag();
        QCOMPARE(QByteArray(g_szLanguage), QByteArray("en-US"));
        Prepare(1036);  // French: no French resources; the English ones are chosen
        DetermineLanguageTag();
        QCOMPARE(QByteArray(g_szLanguage), QByteArray("en-US"));
        Prepare();
    }

    void languageRule() {
        for (const char* psz : {"de-DE", "de-AT", "de-CH"}) {
            QVERIFY2(IsGermanLanguageTag(psz), psz);
        }
        for (const char* psz : {"en-US", "DE-DE", "de_DE", "de", ""}) {
            QVERIFY2(!IsGermanLanguageTag(psz), psz);
        }
    }

    void characterWithoutMainWindowIsNotForwarded() {
        QVERIFY(g_App.m_pMainWnd == nullptr);
        MSG msg{nullptr, WM_CHAR, 43, 0};
        QCOMPARE(g_App.PreTranslateMessage(&msg), FALSE);
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
