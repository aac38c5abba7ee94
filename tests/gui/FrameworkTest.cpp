// The dialog framework on Qt: posted messages, message maps, the edit control's positions and
// limits, and the dialog manager's keys.
#include <QLabel>
#include <QTest>

#include <string>
#include <vector>

#include "GuiTestSupport.h"

using namespace guitest;

/// A dialog of the open-device template that records what reaches its handlers.
class RecordingDialog : public CDialogEx {
public:
    RecordingDialog() : CDialogEx(IDD_OPEN_DEVICE) {}
    std::vector<std::string> log;

    void OnByName() {
        log.push_back("by name: begin");
        PostMessage(WM_COMMAND, IDC_BY_IPV4, 0);
        PostMessage(WM_COMMAND, IDCANCEL + 100, 0);  // an id nobody handles
        PostMessage(WM_COMMAND, IDC_BY_IPV4, 0);
        log.push_back("by name: end");
    }
    void OnByIPv4() { log.push_back("by IPv4"); }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingDialog, CDialogEx)
ON_BN_CLICKED(IDC_BY_NAME, OnByName)
ON_BN_CLICKED(IDC_BY_IPV4, OnByIPv4)
END_MESSAGE_MAP()

class FrameworkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Prepare(); }

    void postedMessagesRunInOrderAfterTheHandler() {
        RecordingDialog dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QTest::mouseClick(Button(dlg, IDC_BY_NAME), Qt::LeftButton);
        QCOMPARE(dlg.log, (std::vector<std::string>{"by name: begin", "by name: end"}));
        Drain();
        QCOMPARE(dlg.log, (std::vector<std::string>{"by name: begin", "by name: end", "by IPv4",
                                                    "by IPv4"}));
        QCOMPARE(dlg.m_nModalResult, INT_PTR(-1));  // the base map still handles IDCANCEL only
        dlg.DestroyWindow();
    }

    void messagesToADestroyedWindowAreDropped() {
        RecordingDialog dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        dlg.PostMessage(WM_COMMAND, IDC_BY_IPV4, 0);
        dlg.DestroyWindow();
        Drain();
        QVERIFY(dlg.log.empty());
        QCOMPARE(dlg.PostMessage(WM_COMMAND, IDC_BY_IPV4, 0), FALSE);
    }

    void enterAndSpaceClickTheFocusedButton() {
        RecordingDialog dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QTest::keyClick(Button(dlg, IDC_BY_IPV4), Qt::Key_Return);
        QTest::keyClick(Button(dlg, IDC_BY_IPV4), Qt::Key_Space);
        QCOMPARE(dlg.log, (std::vector<std::string>{"by IPv4", "by IPv4"}));
        QCOMPARE(dlg.m_nModalResult, INT_PTR(-1));
        dlg.DestroyWindow();
    }

    void editControlLimitsAndPositions() {
        CDialogEx dlg(IDD_MAIN);
        QVERIFY(dlg.Create(IDD_MAIN));
        CWnd* pEdit = dlg.GetDlgItem(IDC_REPORT);
        QCOMPARE(static_cast<UINT>(pEdit->SendMessage(EM_GETLIMITTEXT)), 30000u);
        pEdit->SendMessage(EM_LIMITTEXT, 0);
        QCOMPARE(static_cast<UINT>(pEdit->SendMessage(EM_GETLIMITTEXT)), 0xFFFFFFFFu);
        pEdit->SendMessage(EM_LIMITTEXT, 1234);
        QCOMPARE(static_cast<UINT>(pEdit->SendMessage(EM_GETLIMITTEXT)), 1234u);

        // Positions count "\r\n" as two characters, as the report does.
        pEdit->SetWindowText(
            "ab\r\ncd\r\n\xe4"
            "f");
        QCOMPARE(Edit(dlg, IDC_REPORT)->toPlainText(), QString::fromUtf8("ab\ncd\näf"));
        pEdit->SendMessage(EM_SETSEL, 4, 6);  // "cd"
        QCOMPARE(Edit(dlg, IDC_REPORT)->textCursor().selectedText(), QStringLiteral("cd"));
        pEdit->SendMessage(EM_SETSEL, 8, 10);  // the last two bytes
        QCOMPARE(Edit(dlg, IDC_REPORT)->textCursor().selectedText(), QString::fromUtf8("äf"));
        pEdit->SendMessage(EM_SETSEL, static_cast<WPARAM>(-1), -1);
        QVERIFY(!Edit(dlg, IDC_REPORT)->textCursor().hasSelection());
        QCOMPARE(pEdit->GetWindowText(), std::string("ab\r\ncd\r\n\xe4"
                                                     "f"));

        // Control characters that came from devices are shown, not acted on.
        pEdit->SetWindowText("x\x1b[2J\ty");
        QCOMPARE(Edit(dlg, IDC_REPORT)->toPlainText(), QString::fromUtf8("x\u241b[2J\u2409y"));
        dlg.DestroyWindow();
    }

    void dialogUnitsFollowTheFont() {
        CDialogEx dlg(IDD_MAIN);
        QVERIFY(dlg.Create(IDD_MAIN));
        const QFontMetrics metrics(Widget(&dlg)->font());
        const int nBaseY = metrics.height();
        const int nBaseX = (metrics.horizontalAdvance(QStringLiteral(
                                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) +
                            26) /
                           52;
        QCOMPARE(Widget(&dlg)->width(), 315 * nBaseX / 4);
        QCOMPARE(Widget(&dlg)->height(), 326 * nBaseY / 8);
        QCOMPARE(Control(dlg, IDC_QUIT)->y(), 90 * nBaseY / 8);
        QCOMPARE(Control(dlg, IDC_QUIT)->height(), 14 * nBaseY / 8);
        QCOMPARE(Widget(&dlg)->font().pointSize(), 8);
        // The logo is shown at its own size, not stretched to the control.
        const QList<QLabel*> pictures = Widget(&dlg)->findChildren<QLabel*>();
        QCOMPARE(pictures.size(), qsizetype(1));
        QCOMPARE(pictures.front()->size(), QSize(400, 113));
        QCOMPARE(pictures.front()->pos(), QPoint(23 * nBaseX / 4, 7 * nBaseY / 8));
        dlg.DestroyWindow();
    }
};

QTEST_MAIN(FrameworkTest)
#include "FrameworkTest.moc"
