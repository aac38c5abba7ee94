// The open-device dialog: its list, its buttons, the address each command opens, and its
// placement.
#include <QListWidget>
#include <QTest>

#include <cstdio>
#include <cstring>

#include "ClorixlogfinderApp.h"
#include "DeviceList.h"
#include "GuiTestSupport.h"
#include "OpenDeviceDialog.h"
#include "ProgramTable.h"
#include "ReportWindow.h"
#include "ShellSpy.h"
#include "shell/Shell.h"

using namespace guitest;

namespace {

struct DeviceTexts {
    const char* pszHost;
    const char* pszIPv4;
    const char* pszIPv6;
    const char* pszDns;
    const char* pszSerial;
};

DeviceRecord Device(const DeviceTexts& t) {
    DeviceRecord d{};
    std::strcpy(d.szHostName, t.pszHost);
    std::strcpy(d.szIPv4, t.pszIPv4);
    std::strcpy(d.szIPv6, t.pszIPv6);
    std::strcpy(d.szDnsName, t.pszDns);
    std::strcpy(d.szSerialNumber, t.pszSerial);
    std::strcpy(d.szMaker, "TVK");
    std::strcpy(d.szModel, "lorixLOG");
    // The source address, as the search stores it (one address holds a few records at most).
    unsigned a = 0, b = 0, c = 0, e = 0;
    if (std::sscanf(t.pszIPv4, "%u.%u.%u.%u", &a, &b, &c, &e) == 4) {
        d.addrIPv4.sin_family = net::AF_INET;
        d.addrIPv4.sin_addr.s_addr = net::htonl((a << 24) | (b << 16) | (c << 8) | e);
    }
    return d;
}

class QuietReport : public CReportWindow {
public:
    QuietReport() : CReportWindow(IDD_MAIN) {
        Report().m_pszProgramName = "lorixlog-finder version 2.0.45";
        Report().m_pszLanguage = "en-US";
    }
};

}  // namespace

class OpenDeviceTest : public QObject {
    Q_OBJECT

    QuietReport m_report;

    void Table(std::initializer_list<DeviceTexts> devices) {
        g_DeviceInfo.ClearDevices();
        for (const DeviceTexts& t : devices) {
            QVERIFY(g_DeviceInfo.AddDevice(Device(t)) >= 0);
        }
    }
    static QListWidget* List(CWnd& dlg) {
        return qobject_cast<QListWidget*>(Control(dlg, IDC_DEVICE_LIST));
    }
    static void DoubleClick(CWnd& dlg, int nRow) {
        QListWidget* pList = List(dlg);
        const QRect rect = pList->visualItemRect(pList->item(nRow));
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, rect.center());
    }
    static QString Line(const DeviceTexts& t) {
        bool bIPv6 = false;
        return QString::fromStdString(
            text::Utf8From1252(COpenDeviceDialog::ListLine(Device(t), &bIPv6)));
    }

private slots:
    void initTestCase() {
        Prepare();
        std::strcpy(g_szLanguage, "en-US");
    }
    void init() {
        m_report.AttachReportDisplay();
        m_report.Report().m_strText = "report\r\n";
    }
    void cleanup() {
        g_DeviceInfo.ClearDevices();
        std::strcpy(g_szLanguage, "en-US");
    }

    void listLines() {
        QCOMPARE(Line({"lab-logger", "192.168.1.20", "", "", "A1234"}),
                 QStringLiteral("lab-logger  (192.168.1.20)  # A1234"));
        QCOMPARE(Line({"a1234", "192.168.1.20", "", "", "A1234"}),
                 QStringLiteral("a1234  (192.168.1.20)"));
        QCOMPARE(Line({"", "192.168.1.20", "", "", "A1"}),
                 QStringLiteral("  (192.168.1.20)  # A1"));
        QCOMPARE(Line({"", "", "", "", "A1"}), QStringLiteral("  # A1"));
        QCOMPARE(Line({"", "", "", "", ""}), QString());
        QCOMPARE(Line({"h", "10.0.0.1", "fe80::1", "", "h"}),
                 QStringLiteral("h  (10.0.0.1)  (fe80::1)"));
        // Only ASCII letters compare without regard to case.
        QCOMPARE(Line({"h\xe4", "", "fe80::2", "", "H\xc4"}),
                 QString::fromUtf8("hä  (fe80::2)  # HÄ"));
        bool bIPv6 = false;
        COpenDeviceDialog::ListLine(Device({"h", "10.0.0.1", "", "", "h"}), &bIPv6);
        QVERIFY(!bIPv6);
        COpenDeviceDialog::ListLine(Device({"h", "", "fe80::1", "", "h"}), &bIPv6);
        QVERIFY(bIPv6);
    }

    void placement() {
        const POINT equal =
            COpenDeviceDialog::Placement(RECT{100, 50, 500, 450}, RECT{0, 0, 400, 300});
        QCOMPARE(equal.x, 100L);
        QCOMPARE(equal.y, 150L);
        const POINT wider =
            COpenDeviceDialog::Placement(RECT{100, 50, 500, 450}, RECT{0, 0, 403, 300});
        QCOMPARE(wider.x, 99L);
        const POINT narrower =
            COpenDeviceDialog::Placement(RECT{0, 0, 500, 400}, RECT{7, 7, 207, 107});
        QCOMPARE(narrower.x, 150L);
        QCOMPARE(narrower.y, 300L);
    }

    void emptyTableEndsAtOnceUnseen() {
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QCOMPARE(dlg.m_nModalResult, INT_PTR(IDCANCEL));
        dlg.DestroyWindow();
        ModalSpy spy;
        spy.onModal = [](CDialog*) {};
        CDeviceList modal;
        QCOMPARE(modal.DoModal(), INT_PTR(IDCANCEL));  // ended during its opening, never shown
    }

    void oneDeviceIsListedSelectedAndOpenedByName() {
        Table({{"lab-logger", "192.168.1.20", "", "lab-logger.example.lan", "A1234"}});
        ShellSpy shell;
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QCOMPARE(QString::fromStdString(dlg.GetWindowText()),
                 QStringLiteral("lorixlog-finder version 2.0.45"));
        QCOMPARE(List(dlg)->count(), 1);
        QCOMPARE(List(dlg)->item(0)->text(), QStringLiteral("lab-logger  (192.168.1.20)  # A1234"));
        QCOMPARE(dlg.GetDlgItem(IDC_DEVICE_LIST)->SendMessage(LB_GETCURSEL), LRESULT(0));
        QVERIFY(Button(dlg, IDC_BY_NAME)->isEnabled());
        QVERIFY(Button(dlg, IDC_BY_IPV4)->isEnabled());
        QVERIFY(dlg.GetDlgItem(IDC_BY_IPV6) == nullptr);

        QTest::mouseClick(Button(dlg, IDC_BY_NAME), Qt::LeftButton);
        QCOMPARE(shell.urls, std::vector<std::string>{"http://lab-logger.example.lan/"});
        QCOMPARE(m_report.Report().m_strText,
                 std::string("report\r\n\r\nOpen: http://lab-logger.example.lan/ \r\n\r\n"));
        QCOMPARE(dlg.m_nModalResult, INT_PTR(IDOK));
        dlg.DestroyWindow();
    }

    void eachCommandOpensItsAddressInGerman() {
        std::strcpy(g_szLanguage, "de-DE");
        struct Case {
            DeviceTexts device;
            UINT nTemplate;
            int nCommand;  // a button, or 0 for a double click
            const char* pszUrl;
        };
        const Case cases[] = {
            {{"host", "10.0.0.1", "", "", "S"}, IDD_OPEN_DEVICE, IDC_BY_NAME, "http://host/"},
            {{"host", "10.0.0.1", "", "", "S"}, IDD_OPEN_DEVICE, IDC_BY_IPV4, "http://10.0.0.1/"},
            {{"host", "10.0.0.1", "fe80::1", "host.lan", "S"},
             IDD_OPEN_DEVICE_IPV6,
             IDC_BY_IPV6,
             "http://[fe80::1]/"},
            {{"host", "10.0.0.1", "fe80::1", "host.lan", "S"},
             IDD_OPEN_DEVICE_IPV6,
             0,
             "http://10.0.0.1/"},
            {{"host", "", "fe80::1", "host.lan", "S"}, IDD_OPEN_DEVICE, 0, "http://[fe80::1]/"},
            {{"host", "", "", "host.lan", "S"}, IDD_OPEN_DEVICE, 0, "http://host.lan/"},
            {{"host", "", "", "", "S"}, IDD_OPEN_DEVICE, 0, "http://host/"},
        };
        for (const Case& c : cases) {
            Table({c.device});
            m_report.Report().m_strText = "report\r\n";
            ShellSpy shell;
            CDeviceList dlg;
            QVERIFY(dlg.Create(c.nTemplate));
            if (c.nCommand != 0) {
                QTest::mouseClick(Button(dlg, c.nCommand), Qt::LeftButton);
            } else {
                DoubleClick(dlg, 0);
            }
            QVERIFY2(shell.urls == std::vector<std::string>{c.pszUrl}, c.pszUrl);
            QCOMPARE(m_report.Report().m_strText, std::string("report\r\n\r\n\xd6"
                                                              "ffne: ") +
                                                      c.pszUrl + " \r\n\r\n");
            QCOMPARE(dlg.m_nModalResult, INT_PTR(IDOK));
            dlg.DestroyWindow();
        }
    }

    void enableStatesFollowTheSelection() {
        Table(
            {{"", "10.0.0.1", "", "", "A"}, {"b", "", "", "", "B"}, {"", "", "fe80::3", "", "C"}});
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE_IPV6));
        QVERIFY(!Button(dlg, IDC_BY_NAME)->isEnabled());
        QVERIFY(Button(dlg, IDC_BY_IPV4)->isEnabled());
        QVERIFY(!Button(dlg, IDC_BY_IPV6)->isEnabled());
        QVERIFY(!Button(dlg, IDC_BY_IPV6)->isHidden());  // a listed device has IPv6 text
        QTest::keyClick(List(dlg), Qt::Key_Down);
        QVERIFY(Button(dlg, IDC_BY_NAME)->isEnabled());
        QVERIFY(!Button(dlg, IDC_BY_IPV4)->isEnabled());
        QTest::keyClick(List(dlg), Qt::Key_Down);
        QVERIFY(!Button(dlg, IDC_BY_NAME)->isEnabled());
        QVERIFY(Button(dlg, IDC_BY_IPV6)->isEnabled());
        dlg.DestroyWindow();
    }

    void ipv6ButtonHiddenWithoutIPv6Text() {
        Table({{"h", "10.0.0.1", "", "", "S"}});
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE_IPV6));
        QVERIFY(Button(dlg, IDC_BY_IPV6)->isHidden());
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, LBN_SELCHANGE), 0);
        QVERIFY(Button(dlg, IDC_BY_IPV6)->isHidden());  // enabling does not show it again
        dlg.DestroyWindow();
    }

    void deviceWithoutAnyAddressStaysOpen() {
        Table({{"", "", "", "", "S"}});
        ShellSpy shell;
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QVERIFY(!Button(dlg, IDC_BY_NAME)->isEnabled());
        DoubleClick(dlg, 0);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BY_NAME, BN_CLICKED), 0);
        QVERIFY(shell.urls.empty());
        QCOMPARE(m_report.Report().m_strText, std::string("report\r\n"));
        QCOMPARE(dlg.m_nModalResult, INT_PTR(-1));
        dlg.DestroyWindow();
    }

    void withoutSelectionCommandsDoNothing() {
        Table({{"h", "10.0.0.1", "", "", "S"}});
        ShellSpy shell;
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        dlg.GetDlgItem(IDC_DEVICE_LIST)->SendMessage(LB_SETCURSEL, static_cast<WPARAM>(-1));
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BY_IPV4, BN_CLICKED), 0);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DEVICE_LIST, LBN_DBLCLK), 0);
        QVERIFY(shell.urls.empty());
        QVERIFY(Button(dlg, IDC_BY_IPV4)->isEnabled());  // the buttons keep their state
        dlg.DestroyWindow();
    }

    // A plant network: every device of a full table is listed, and the last one opens.
    void everyDeviceOfAFullTable() {
        g_DeviceInfo.ClearDevices();
        for (int i = 0; i < kMaxDevices; ++i) {
            char szSerial[8];
            char szAddress[16];
            std::snprintf(szSerial, sizeof(szSerial), "S%04d", i);
            std::snprintf(szAddress, sizeof(szAddress), "10.0.%d.%d", i / 250, i % 250 + 1);
            QVERIFY(g_DeviceInfo.AddDevice(Device({szSerial, szAddress, "", "", szSerial})) >= 0);
        }
        ShellSpy shell;
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QCOMPARE(List(dlg)->count(), kMaxDevices);
        QCOMPARE(List(dlg)->item(kMaxDevices - 1)->text(), QStringLiteral("S0999  (10.0.3.250)"));
        List(dlg)->scrollToItem(List(dlg)->item(kMaxDevices - 1));
        DoubleClick(dlg, kMaxDevices - 1);
        QCOMPARE(shell.urls, std::vector<std::string>{"http://10.0.3.250/"});
        dlg.DestroyWindow();
    }

    void enterOnTheListOpensTheSelectedDevice() {
        Table({{"h", "10.0.0.1", "", "h.lan", "S"}, {"k", "10.0.0.2", "", "", "T"}});
        ShellSpy shell;
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QTest::keyClick(List(dlg), Qt::Key_Down);
        QTest::keyClick(List(dlg), Qt::Key_Return);
        QCOMPARE(shell.urls, std::vector<std::string>{"http://10.0.0.2/"});
        QCOMPARE(m_report.Report().m_strText,
                 std::string("report\r\n\r\nOpen: http://10.0.0.2/ \r\n\r\n"));
        QCOMPARE(dlg.m_nModalResult, INT_PTR(IDOK));
        dlg.DestroyWindow();

        // A device without any address: Enter opens nothing and ends nothing.
        Table({{"", "", "", "", "S"}});
        m_report.Report().m_strText = "report\r\n";
        ShellSpy none;
        CDeviceList empty;
        QVERIFY(empty.Create(IDD_OPEN_DEVICE));
        QTest::keyClick(List(empty), Qt::Key_Return);
        QVERIFY(none.urls.empty());
        QCOMPARE(empty.m_nModalResult, INT_PTR(-1));
        empty.DestroyWindow();
    }

    // A device's name goes into a URL only when it is a host name; any other could send the
    // browser elsewhere.
    void byNameOpensOnlyAValidHostName() {
        const char* const hostile[] = {"trusted.lan@attacker.example",
                                       "evil.example.com/phish?x=",
                                       "a b.lan",
                                       "-x.lan",
                                       "x-.lan",
                                       "a..lan",
                                       "h\xe4st.lan"};
        for (const char* pszName : hostile) {
            Table({{"h", "10.0.0.7", "", pszName, "S"}});
            m_report.Report().m_strText = "report\r\n";
            ShellSpy shell;
            CDeviceList dlg;
            QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
            QVERIFY2(!Button(dlg, IDC_BY_NAME)->isEnabled(), pszName);
            // The command, if it comes all the same, opens the address the device answered from.
            dlg.SendMessage(WM_COMMAND, IDC_BY_NAME, 0);
            QVERIFY2(shell.urls == std::vector<std::string>{"http://10.0.0.7/"}, pszName);
            QCOMPARE(m_report.Report().m_strText,
                     "report\r\n\r\nWARNING: The name '" + std::string(pszName) +
                         "' is not a valid host name; opening the IPv4 address instead.\r\n"
                         "\r\nOpen: http://10.0.0.7/ \r\n\r\n");
            QCOMPARE(dlg.m_nModalResult, INT_PTR(IDOK));
            dlg.DestroyWindow();
        }
        // Valid names, also the longest label and a trailing dot.
        const std::string longest = std::string(63, 'a') + ".b-2.lan.";
        for (const std::string& name : {std::string("A-1.example.lan"), longest}) {
            Table({{"h", "10.0.0.7", "", name.c_str(), "S"}});
            ShellSpy shell;
            CDeviceList dlg;
            QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
            QTest::mouseClick(Button(dlg, IDC_BY_NAME), Qt::LeftButton);
            QCOMPARE(shell.urls, std::vector<std::string>{"http://" + name + "/"});
            dlg.DestroyWindow();
        }
        // Without an IPv4 address an invalid name opens nothing; the dialog stays.
        std::strcpy(g_szLanguage, "de-DE");
        Table({{"a/b", "", "", "", "S"}});
        m_report.Report().m_strText = "report\r\n";
        ShellSpy shell;
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QVERIFY(!Button(dlg, IDC_BY_NAME)->isEnabled());
        dlg.SendMessage(WM_COMMAND, IDC_BY_NAME, 0);
        QVERIFY(shell.urls.empty());
        QCOMPARE(m_report.Report().m_strText,
                 std::string("report\r\n\r\nWARNING: Der Name 'a/b' ist kein g\xfcltiger "
                             "Host-Name; das Ger\xe4t wird nicht ge\xf6"
                             "ffnet.\r\n\r\n"));
        QCOMPARE(dlg.m_nModalResult, INT_PTR(-1));
        dlg.DestroyWindow();
    }

    // The keyboard focus on the list (and on the report, which is made the same way) shows.
    void theFocusOnTheListIsVisible() {
        Table({{"h", "10.0.0.1", "", "", "S"}, {"k", "10.0.0.2", "", "", "T"}});
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QWidget* pList = Control(dlg, IDC_DEVICE_LIST);
        QApplication::setActiveWindow(pList->window());
        Control(dlg, IDC_BY_IPV4)->setFocus();
        QVERIFY(!pList->hasFocus());
        // The frame: the outermost rows and columns, away from the lines of the list.
        auto frame = [pList] {
            const QImage image = pList->grab().toImage();
            std::vector<QRgb> pixels;
            for (int x = 0; x < image.width(); ++x) {
                pixels.push_back(image.pixel(x, 0));
                pixels.push_back(image.pixel(x, image.height() - 1));
            }
            for (int y = 0; y < image.height(); ++y) {
                pixels.push_back(image.pixel(0, y));
            }
            return pixels;
        };
        const std::vector<QRgb> without = frame();
        pList->setFocus();
        QVERIFY(pList->hasFocus());
        QVERIFY(frame() != without);
        dlg.DestroyWindow();
    }

    void aBrowserThatCannotBeStartedKeepsTheListOpen() {
        Table({{"h", "10.0.0.1", "", "", "S"}});
        ShellSpy shell;
        shell.nResult = 2;
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QTest::mouseClick(Button(dlg, IDC_BY_IPV4), Qt::LeftButton);
        QCOMPARE(shell.urls, std::vector<std::string>{"http://10.0.0.1/"});
        QCOMPARE(m_report.Report().m_strText,
                 std::string("report\r\n\r\nOpen: http://10.0.0.1/ \r\n\r\n"
                             "ERROR: The web browser could not be started for http://10.0.0.1/ "
                             "(error 2).\r\n\r\n"));
        QCOMPARE(m_report.Report().m_nErrors, 1);
        QCOMPARE(dlg.m_nModalResult, INT_PTR(-1));
        // The user can try again.
        shell.nResult = 42;
        DoubleClick(dlg, 0);
        QCOMPARE(shell.urls.size(), std::size_t(2));
        QCOMPARE(dlg.m_nModalResult, INT_PTR(IDOK));
        dlg.DestroyWindow();
    }

    void deviceTextCannotMakeListLines() {
        Table({{"printer\r\nlab-north  (10.77.0.21)  # A20988", "10.77.0.20", "", "", "S\x1b[1m"}});
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QCOMPARE(List(dlg)->count(), 1);
        QCOMPARE(List(dlg)->item(0)->text(),
                 QStringLiteral("printer\\x0d\\x0alab-north  (10.77.0.21)  # A20988  "
                                "(10.77.0.20)  # S\\x1b[1m"));
        dlg.DestroyWindow();
    }

    // The list behaves as a single-selection list box.
    void theSelectionCannotBeTakenAwayAndADoubleClickBelowTheLinesOpens() {
        Table({{"h", "10.0.0.1", "", "", "S"}, {"k", "10.0.0.2", "", "", "T"}});
        ShellSpy shell;
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
        QListWidget* pList = List(dlg);
        const QPoint first = pList->visualItemRect(pList->item(0)).center();
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, Qt::ControlModifier, first);
        QCOMPARE(dlg.GetDlgItem(IDC_DEVICE_LIST)->SendMessage(LB_GETCURSEL), LRESULT(0));
        const QPoint below(first.x(), pList->visualItemRect(pList->item(1)).bottom() + 30);
        QVERIFY(pList->viewport()->rect().contains(below));
        QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(dlg.GetDlgItem(IDC_DEVICE_LIST)->SendMessage(LB_GETCURSEL), LRESULT(0));
        QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, below);
        QCOMPARE(shell.urls, std::vector<std::string>{"http://10.0.0.1/"});
        dlg.DestroyWindow();
    }

    void cancelEndsWithCancel() {
        Table({{"h", "10.0.0.1", "", "", "S"}});
        for (int nWay = 0; nWay < 3; ++nWay) {
            CDeviceList dlg;
            QVERIFY(dlg.Create(IDD_OPEN_DEVICE));
            if (nWay == 0) {
                QTest::mouseClick(Button(dlg, IDCANCEL), Qt::LeftButton);
            } else if (nWay == 1) {
                QTest::keyClick(List(dlg), Qt::Key_Escape);
            } else {
                Widget(&dlg)->close();
            }
            QCOMPARE(dlg.m_nModalResult, INT_PTR(IDCANCEL));
            dlg.DestroyWindow();
        }
    }

    void placedAtTheBottomOfItsOwner() {
        Table({{"h", "10.0.0.1", "", "", "S"}});
        CDialogEx owner(IDD_MAIN);
        QVERIFY(owner.Create(IDD_MAIN));
        Widget(&owner)->move(40, 30);
        CDeviceList dlg;
        QVERIFY(dlg.Create(IDD_OPEN_DEVICE, &owner));
        RECT o;
        RECT d;
        owner.GetWindowRect(&o);
        dlg.GetWindowRect(&d);
        QCOMPARE(d.bottom, o.bottom);
        QCOMPARE(d.left, o.left + ((o.right - o.left) - (d.right - d.left)) / 2);
        dlg.DestroyWindow();
        owner.DestroyWindow();
    }
};

QTEST_MAIN(OpenDeviceTest)
#include "OpenDeviceTest.moc"
