// The report's display: refreshes, scroll-bar drags, the report keys, and the window's end.
#include <QScrollBar>
#include <QTest>

#include "ClorixlogfinderApp.h"
#include "GuiTestSupport.h"
#include "ReportEditControl.h"
#include "ReportWindow.h"

using namespace guitest;

/// A report window of the main template that does not search: it only shows its report.
class TestReportDialog : public CReportWindow {
public:
    TestReportDialog() : CReportWindow(IDD_MAIN) { m_nEditId = IDC_REPORT; }
    int m_nNotifications = 0;
    NMHDR m_lastNotification{};
    std::string m_textAtNotification;

protected:
    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        AttachReportDisplay();
        return TRUE;
    }
    LRESULT OnNotify(WPARAM, LPARAM lParam) {
        ++m_nNotifications;
        m_lastNotification = *reinterpret_cast<const NMHDR*>(lParam);
        m_textAtNotification = ShownText(Edit(*this, IDC_REPORT));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestReportDialog, CReportWindow)
ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

class ReportDisplayTest : public QObject {
    Q_OBJECT

private:
    void AppendLines(CReportWindow& report, int n) {
        for (int i = 0; i < n; ++i) {
            report.Printf("line %d of the report\r\n", i);
        }
    }

private slots:
    void initTestCase() { Prepare(); }

    void refreshShowsTheWholeTextAndFollowsItsEnd() {
        TestReportDialog dlg;
        QVERIFY(dlg.Create(IDD_MAIN));
        AppendLines(dlg, 200);
        QPlainTextEdit* pEdit = Edit(dlg, IDC_REPORT);
        QCOMPARE(ShownText(pEdit), dlg.m_strText);
        QScrollBar* pBar = pEdit->verticalScrollBar();
        QVERIFY(pBar->maximum() > 0);
        QCOMPARE(pBar->value(), pBar->maximum());
        QVERIFY(!pEdit->textCursor().hasSelection());
        // Reset gave the control the largest limit; the trim works with 262144 characters.
        QCOMPARE(static_cast<UINT>(dlg.GetDlgItem(IDC_REPORT)->SendMessage(EM_GETLIMITTEXT)),
                 0x0FFFFFFFu);
        dlg.DestroyWindow();
    }

    void pieceWithoutLineEndDoesNotRefresh() {
        TestReportDialog dlg;
        QVERIFY(dlg.Create(IDD_MAIN));
        dlg.AppendText("50%");
        QVERIFY(ShownText(Edit(dlg, IDC_REPORT)).find("50%") == std::string::npos);
        dlg.AppendText("\r100%\r\n");
        QCOMPARE(ShownText(Edit(dlg, IDC_REPORT)), dlg.m_strText);
        dlg.DestroyWindow();
    }

    void thumbDragHoldsRefreshesBackAndItsEndCatchesUp() {
        TestReportDialog dlg;
        QVERIFY(dlg.Create(IDD_MAIN));
        AppendLines(dlg, 100);
        QPlainTextEdit* pEdit = Edit(dlg, IDC_REPORT);
        QScrollBar* pBar = pEdit->verticalScrollBar();
        const std::string before = ShownText(pEdit);

        pBar->setSliderDown(true);  // the user takes the thumb
        QVERIFY(dlg.m_pEditControl.load()->m_bThumbTracking);
        pBar->setValue(0);
        AppendLines(dlg, 5);
        QCOMPARE(ShownText(pEdit), before);
        QCOMPARE(pBar->value(), 0);
        QCOMPARE(dlg.m_nNotifications, 0);

        pBar->setSliderDown(false);  // and lets it go
        QVERIFY(!dlg.m_pEditControl.load()->m_bThumbTracking);
        QCOMPARE(ShownText(pEdit), dlg.m_strText);
        QCOMPARE(pBar->value(), pBar->maximum());
        QCOMPARE(dlg.m_nNotifications, 1);
        QCOMPARE(dlg.m_lastNotification.idFrom, std::uintptr_t(IDC_REPORT));
        QCOMPARE(dlg.m_lastNotification.code, 8u);
        QCOMPARE(dlg.m_lastNotification.hwndFrom, dlg.GetDlgItem(IDC_REPORT)->m_hWnd);
        QCOMPARE(dlg.m_textAtNotification, dlg.m_strText);  // the refresh comes first

        // A drag without new output still refreshes and scrolls to the end.
        pBar->setSliderDown(true);
        pBar->setValue(0);
        pBar->setSliderDown(false);
        QCOMPARE(pBar->value(), pBar->maximum());
        QCOMPARE(dlg.m_nNotifications, 2);
        dlg.DestroyWindow();
    }

    void arrowScrollingNeitherHoldsBackNorForcesARefresh() {
        TestReportDialog dlg;
        QVERIFY(dlg.Create(IDD_MAIN));
        AppendLines(dlg, 50);
        CWnd* pControl = dlg.GetDlgItem(IDC_REPORT);
        dlg.m_strText += "unshown";  // changed behind the display's back
        pControl->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
        QVERIFY(!dlg.m_pEditControl.load()->m_bThumbTracking);
        pControl->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
        QVERIFY(ShownText(Edit(dlg, IDC_REPORT)).find("unshown") == std::string::npos);
        QCOMPARE(dlg.m_nNotifications, 0);
        dlg.AppendText("\r\n");
        QVERIFY(ShownText(Edit(dlg, IDC_REPORT)).find("unshown") != std::string::npos);
        dlg.DestroyWindow();
    }

    void noNotificationWithoutIdOrCode() {
        TestReportDialog dlg;
        QVERIFY(dlg.Create(IDD_MAIN));
        dlg.m_pEditControl.load()->m_nNotifyCode = 0;
        CWnd* pControl = dlg.GetDlgItem(IDC_REPORT);
        pControl->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0);
        pControl->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
        QCOMPARE(dlg.m_nNotifications, 0);
        dlg.DestroyWindow();
    }

    void reportKeysFromAnyFocusedControl() {
        TestReportDialog dlg;
        QVERIFY(dlg.Create(IDD_MAIN));
        g_App.m_pMainWnd = &dlg;
        AppendLines(dlg, 3);
        QPlainTextEdit* pEdit = Edit(dlg, IDC_REPORT);
        const int nShown = static_cast<int>(pEdit->document()->characterCount()) - 1;

        QTest::keyClick(Button(dlg, IDC_QUIT), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(pEdit->textCursor().selectionStart(), 0);
        QCOMPARE(pEdit->textCursor().selectionEnd(), nShown);

        // '+' on a report that ends with one line end adds the empty line and puts the caret at the
        // end.
        QTest::keyClick(Button(dlg, IDC_OPEN_DEVICE), '+');
        QVERIFY(dlg.m_strText.size() >= 4);
        QCOMPARE(dlg.m_strText.substr(dlg.m_strText.size() - 4), std::string("\r\n\r\n"));
        QCOMPARE(ShownText(pEdit), dlg.m_strText);
        QVERIFY(!pEdit->textCursor().hasSelection());
        QCOMPARE(pEdit->textCursor().position(),
                 static_cast<int>(pEdit->document()->characterCount()) - 1);
        // Once more: nothing is added, the caret goes to the end again.
        const std::size_t nLength = dlg.m_strText.size();
        QTest::keyClick(pEdit, '+');
        QCOMPARE(dlg.m_strText.size(), nLength);

        g_App.m_pMainWnd = nullptr;
        QTest::keyClick(pEdit, '+');  // no main window: not forwarded
        QCOMPARE(dlg.m_strText.size(), nLength);
        dlg.AppendText("x");
        QTest::keyClick(pEdit, '+');
        QCOMPARE(dlg.m_strText.substr(dlg.m_strText.size() - 1), std::string("x"));
        dlg.DestroyWindow();
    }

    void keysReachTheMainWindowFromAnotherDialog() {
        TestReportDialog main;
        QVERIFY(main.Create(IDD_MAIN));
        g_App.m_pMainWnd = &main;
        AppendLines(main, 1);
        CDialogEx other(IDD_OPEN_DEVICE, &main);
        QVERIFY(other.Create(IDD_OPEN_DEVICE, &main));
        QTest::keyClick(Control(other, IDC_DEVICE_LIST), '+');
        QCOMPARE(main.m_strText.substr(main.m_strText.size() - 4), std::string("\r\n\r\n"));
        QTest::keyClick(Control(other, IDC_DEVICE_LIST), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(Edit(main, IDC_REPORT)->textCursor().selectionStart(), 0);
        QVERIFY(Edit(main, IDC_REPORT)->textCursor().hasSelection());
        g_App.m_pMainWnd = nullptr;
        other.DestroyWindow();
        main.DestroyWindow();
    }

    void afterDestroyNothingTouchesTheControl() {
        const int nWindowsBefore = ui::qt::LiveWindowCount();
        TestReportDialog dlg;
        QVERIFY(dlg.Create(IDD_MAIN));
        AppendLines(dlg, 2);
        CReportEditControl* pEdit = dlg.m_pEditControl.load();
        QVERIFY(pEdit != nullptr && pEdit->m_hWnd != nullptr);
        dlg.DestroyWindow();
        QCOMPARE(dlg.m_nEditId, 0);
        QVERIFY(dlg.m_pEditControl.load() == nullptr);
        dlg.UpdateDisplay();
        dlg.HandleKey(1);
        const std::size_t nLength = dlg.m_strText.size();
        dlg.HandleKey(43);
        QCOMPARE(dlg.m_strText.size(), nLength + 2);
        QCOMPARE(ui::qt::LiveWindowCount(), nWindowsBefore);
    }  // the destructor must not release the edit-control object a second time
};

QTEST_MAIN(ReportDisplayTest)
#include "ReportDisplayTest.moc"
