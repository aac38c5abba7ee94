// The main dialog: the search it starts by itself, its buttons, and how it ends.
#include <QScrollBar>
#include <QTest>

#include "ClorixlogfinderApp.h"
#include "ClorixlogfinderDlg.h"
#include "GuiTestSupport.h"
#include "ProgramTable.h"

using namespace guitest;

namespace {
const std::string kDevice = "TVK,lorixLOG,LX-8,A20715,lab.example.lan,3.1.4";
}

class MainDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Prepare(); }

    void searchesByItselfWithTheBanner() {
        ScriptedNetwork network;
        ModalSpy spy;
        ClorixlogfinderDlg dlg(g_App);
        QVERIFY(dlg.Create(IDD_MAIN));
        QCOMPARE(QString::fromStdString(dlg.GetWindowText()),
                 QStringLiteral("lorixlog-finder version 2.0.45"));
        QVERIFY(dlg.Report().m_strText.rfind("This is lorixlog-finder version 2.0.45 built on ",
                                             0) == 0);
        QCOMPARE(g_pReportWindow, static_cast<CReportWindow*>(&dlg));
        QVERIFY(
            network.layer.m_aSent.empty());  // the search is posted, not run in the initialisation
        Drain();
        QCOMPARE(network.layer.m_aSent.size(), std::size_t(1));
        QVERIFY(dlg.Report().m_strText.find(
                    "Searching lorix devices (please wait) ...\r\n\r\n... done.\r\n") !=
                std::string::npos);
        QCOMPARE(ShownText(Edit(dlg, IDC_REPORT)), dlg.Report().m_strText);
        QVERIFY(spy.seen.empty());
        dlg.DestroyWindow();
    }

    void buttonStatesAfterSearches() {
        ModalSpy spy;
        ClorixlogfinderDlg dlg(g_App);
        {
            ScriptedNetwork network;
            network.Device(100, "192.168.1.20", kDevice);
            QVERIFY(dlg.Create(IDD_MAIN));
            QVERIFY(!Button(dlg, IDC_OPEN_DEVICE)->isEnabled());
            QVERIFY(!Button(dlg, IDC_SEARCH_AGAIN)->isEnabled());
            QVERIFY(!Button(dlg, IDC_SEARCH)->isVisibleTo(Widget(&dlg)));
            Drain();
            QCOMPARE(g_DeviceInfo.m_nDevices, 1);
            QVERIFY(Button(dlg, IDC_OPEN_DEVICE)->isEnabled());
            QVERIFY(Button(dlg, IDC_SEARCH_AGAIN)->isEnabled());
            QVERIFY(Button(dlg, IDC_QUIT)->isEnabled());
            QCOMPARE(Widget(&dlg)->focusWidget(),
                     static_cast<QWidget*>(Button(dlg, IDC_OPEN_DEVICE)));
            QVERIFY(Button(dlg, IDC_OPEN_DEVICE)->isDefault());
            QCOMPARE(spy.seen, std::vector<UINT>{IDD_OPEN_DEVICE});
            QCOMPARE(dlg.m_nModalResult, INT_PTR(-1));  // cancelling the list keeps the main dialog
        }
        {
            ScriptedNetwork network;  // Search again finds nothing this time
            QTest::mouseClick(Button(dlg, IDC_SEARCH_AGAIN), Qt::LeftButton);
            Drain();
            QCOMPARE(g_DeviceInfo.m_nDevices, 0);
            QVERIFY(!Button(dlg, IDC_OPEN_DEVICE)->isEnabled());
            QVERIFY(Button(dlg, IDC_SEARCH_AGAIN)->isEnabled());
            QCOMPARE(spy.seen.size(), std::size_t(1));
        }
        {
            ScriptedNetwork network;
            network.Device(100, "192.168.1.21", kDevice);
            dlg.SendMessage(WM_COMMAND, IDC_SEARCH, 0);  // the hidden Search button's command works
            Drain();
            QVERIFY(Button(dlg, IDC_OPEN_DEVICE)->isEnabled());
            QCOMPARE(spy.seen.size(), std::size_t(2));
            // Open Device lists the same table again without a new search.
            const std::size_t nSent = network.layer.m_aSent.size();
            QTest::mouseClick(Button(dlg, IDC_OPEN_DEVICE), Qt::LeftButton);
            Drain();
            QCOMPARE(spy.seen.size(), std::size_t(3));
            QCOMPARE(network.layer.m_aSent.size(), nSent);
        }
        dlg.DestroyWindow();
    }

    void openingADeviceEndsTheMainDialog() {
        ScriptedNetwork network;
        network.Device(100, "192.168.1.20", kDevice);
        ModalSpy spy;
        spy.onModal = [](CDialog* p) { p->EndDialog(IDOK); };
        ClorixlogfinderDlg dlg(g_App);
        QVERIFY(dlg.Create(IDD_MAIN));
        Drain();
        QCOMPARE(spy.seen, std::vector<UINT>{IDD_OPEN_DEVICE});
        QCOMPARE(dlg.m_nModalResult, INT_PTR(IDOK));
        dlg.DestroyWindow();
    }

    void quitEscapeAndCloseBoxEndWithCancel() {
        for (int nWay = 0; nWay < 3; ++nWay) {
            ScriptedNetwork network;
            ClorixlogfinderDlg dlg(g_App);
            QVERIFY(dlg.Create(IDD_MAIN));
            Drain();
            QCOMPARE(dlg.m_nModalResult, INT_PTR(-1));
            if (nWay == 0) {
                QTest::mouseClick(Button(dlg, IDC_QUIT), Qt::LeftButton);
            } else if (nWay == 1) {
                QTest::keyClick(Button(dlg, IDC_QUIT), Qt::Key_Escape);
            } else {
                Widget(&dlg)->close();
            }
            Drain();
            QCOMPARE(dlg.m_nModalResult, INT_PTR(IDCANCEL));
            dlg.DestroyWindow();
        }
    }

    void enterWithoutFocusedButtonGivesTheOkCommand() {
        ScriptedNetwork network;
        ClorixlogfinderDlg dlg(g_App);
        QVERIFY(dlg.Create(IDD_MAIN));
        Drain();
        QTest::keyClick(Edit(dlg, IDC_REPORT), Qt::Key_Return);
        QCOMPARE(dlg.m_nModalResult, INT_PTR(IDOK));
        dlg.DestroyWindow();
    }

    void germanResourcesGiveGermanDialogAndReport() {
        Prepare(ui::LANG_GERMAN_GERMANY);
        DetermineLanguageTag();
        QCOMPARE(QByteArray(g_szLanguage), QByteArray("de-DE"));
        {
            ScriptedNetwork network;
            ClorixlogfinderDlg dlg(g_App);
            QVERIFY(dlg.Create(IDD_MAIN));
            Drain();
            QCOMPARE(Button(dlg, IDC_OPEN_DEVICE)->text(), QString::fromUtf8("Gerät öffnen"));
            QCOMPARE(Button(dlg, IDC_SEARCH_AGAIN)->text(), QStringLiteral("Nochmal suchen"));
            QVERIFY(dlg.Report().m_strText.rfind("Dies ist lorixlog-finder version 2.0.45 vom ",
                                                 0) == 0);
            QVERIFY(dlg.Report().m_strText.find("Suche lorix Ger\xe4te (bitte warten) ...") !=
                    std::string::npos);
            QVERIFY(ShownText(Edit(dlg, IDC_REPORT)).find("Suche lorix Ger\xe4te") !=
                    std::string::npos);
            dlg.DestroyWindow();
        }
        Prepare(ui::LANG_ENGLISH_US);
        DetermineLanguageTag();
        QCOMPARE(QByteArray(g_szLanguage), QByteArray("en-US"));
    }

    void minimizedIconPosition() {
        const POINT atZero = ClorixlogfinderDlg::MinimizedIconPosition(RECT{0, 0, 0, 0}, 32, 32);
        QCOMPARE(atZero.x, -15L);
        QCOMPARE(atZero.y, -15L);
        const POINT at36 = ClorixlogfinderDlg::MinimizedIconPosition(RECT{0, 0, 36, 36}, 32, 32);
        QCOMPARE(at36.x, 2L);
        QCOMPARE(at36.y, 2L);
    }

    void dragIconIsTheProgramIcon() {
        ClorixlogfinderDlg dlg(g_App);
        QVERIFY(dlg.m_hIcon != nullptr);
        QCOMPARE(dlg.SendMessage(WM_QUERYDRAGICON), LRESULT(0));  // no window yet: nothing answers
        ScriptedNetwork network;
        QVERIFY(dlg.Create(IDD_MAIN));
        QCOMPARE(dlg.SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(dlg.m_hIcon));
        QVERIFY(!Widget(&dlg)->windowIcon().isNull());
        dlg.DestroyWindow();
    }
};

QTEST_MAIN(MainDialogTest)
#include "MainDialogTest.moc"
