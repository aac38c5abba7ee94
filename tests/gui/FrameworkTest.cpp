// The dialog framework on Qt, where Qt is the one that decides: the edit control's positions and
// limits, and dialog units. The contract every backend keeps is tested in tests/dialogs.
#include <QLabel>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include "GuiTestSupport.h"

using namespace guitest;

class FrameworkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Prepare(); }

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
        // The controls stand on a client area of the template's size; the window shows it
        // whole where the screen has room, and is never larger than the screen.
        const QWidget* pClient = Control(dlg, IDC_QUIT)->parentWidget();
        QCOMPARE(pClient->width(), 315 * nBaseX / 4);
        QCOMPARE(pClient->height(), 326 * nBaseY / 8);
        const QRect screen = Widget(&dlg)->screen()->availableGeometry();
        const QRect frame = Widget(&dlg)->frameGeometry();
        const QSize extra = frame.size() - Widget(&dlg)->size();
        QCOMPARE(frame.width(), std::min(315 * nBaseX / 4 + extra.width(), screen.width()));
        QCOMPARE(frame.height(), std::min(326 * nBaseY / 8 + extra.height(), screen.height()));
        QCOMPARE(Control(dlg, IDC_QUIT)->y(), 90 * nBaseY / 8);
        QCOMPARE(Control(dlg, IDC_QUIT)->height(), 14 * nBaseY / 8);
        QCOMPARE(Widget(&dlg)->font().pointSize(), 8);
        // The logo is shown at its own size, not stretched to the control.
        const QList<QLabel*> pictures = Widget(&dlg)->findChildren<QLabel*>();
        QCOMPARE(pictures.size(), qsizetype(1));
        QCOMPARE(pictures.front()->size(), QSize(400, 113));
        QCOMPARE(pictures.front()->pos(), QPoint(23 * nBaseX / 4, 7 * nBaseY / 8));
        // On a screen at scale 2 (this test runs at both) the logo is drawn from its image at
        // twice the size, not enlarged.
        const QPixmap logo = pictures.front()->pixmap();
        QCOMPARE(logo.devicePixelRatio(), qApp->devicePixelRatio() >= 2 ? 2.0 : 1.0);
        QCOMPARE(logo.deviceIndependentSize().toSize(), QSize(400, 113));
        dlg.DestroyWindow();
    }
};

QTEST_MAIN(FrameworkTest)
#include "FrameworkTest.moc"
