#include <QApplication>

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "QtBackend.h"
#include "QtInternal.h"
#include "text/Windows1252.h"
#include "ui/Application.h"
#include "ui/MessageText.h"

namespace ui {
namespace qt {

const Cursor kArrowCursor{Qt::ArrowCursor};
const Cursor kWaitCursor{Qt::WaitCursor};

namespace {

class QtBackend final : public Backend {
public:
    NativeWindow* CreateDialogWindow(UINT nIDTemplate, CWnd*, NativeWindow* pOwner) override {
        const DialogTemplate* pTemplate = FindDialogTemplate(nIDTemplate);
        if (pTemplate == nullptr) {
            return nullptr;
        }
        return MakeDialog(*pTemplate, static_cast<QtWindow*>(pOwner));
    }
    INT_PTR RunModal(NativeWindow* pDialog) override { return RunModalDialog(pDialog); }
    void EndModal(NativeWindow* pDialog, INT_PTR nResult) override {
        EndModalDialog(pDialog, nResult);
    }
    void ShowModeless(NativeWindow* pDialog) override { ShowModelessDialog(pDialog); }
    void DestroyWindow(NativeWindow* pWindow) override { delete pWindow; }
    bool IsWindow(NativeWindow* pWindow) const override { return IsLiveWindow(pWindow); }
    HCURSOR SetCursor(HCURSOR hCursor) override {
        const HCURSOR hOld = m_hCursor;
        if (hCursor == &kWaitCursor && m_hCursor != &kWaitCursor) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else if (hCursor != &kWaitCursor && m_hCursor == &kWaitCursor) {
            QApplication::restoreOverrideCursor();
        }
        m_hCursor = hCursor ? hCursor : &kArrowCursor;
        return hOld;
    }
    HCURSOR WaitCursor() override { return &kWaitCursor; }
    HICON LoadIcon(int nID) override {
        auto it = m_icons.find(nID);
        if (it != m_icons.end()) {
            return it->second.get();
        }
        const char* pszName = FindImage(nID);
        if (pszName == nullptr) {
            return nullptr;
        }
        auto pIcon = std::make_unique<Icon>();
        for (int nSize : {16, 24, 32, 48, 64, 72, 96, 128, 192, 256}) {
            const QString file =
                QStringLiteral(":/lorixlog/%1-%2.png").arg(QString::fromUtf8(pszName)).arg(nSize);
            if (QFile::exists(file)) {
                pIcon->icon.addFile(file);
            }
        }
        return (m_icons[nID] = std::move(pIcon)).get();
    }
    void MessageBox(NativeWindow* pOwner, const char* pszText) override {
        auto* pWindow = dynamic_cast<QtWindow*>(pOwner);
        QWidget* pParent = pWindow != nullptr ? pWindow->Widget() : nullptr;
        QMessageBox box(QMessageBox::Critical, QStringLiteral("lorixlog-finder"), QString(),
                        QMessageBox::Ok, pParent);
        // No taller than the work area of its screen, with room for the frame: fewer lines until
        // the box fits. The box wraps its lines and takes its size only while it is shown, so it
        // is measured shown, but not yet on the screen.
        const QScreen* pScreen =
            pParent != nullptr ? pParent->screen() : QGuiApplication::primaryScreen();
        const int nAvailable = pScreen != nullptr ? pScreen->availableGeometry().height() : 600;
        const std::string text = pszText;
        int nLines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        box.setText(FromBytes(FitMessageText(text, nLines).c_str()));
        box.setAttribute(Qt::WA_DontShowOnScreen, true);
        box.show();
        while (box.height() + 60 > nAvailable && nLines > 2) {
            nLines = std::max(2, nLines * 4 / 5);
            box.setText(FromBytes(FitMessageText(text, nLines).c_str()));
        }
        box.hide();
        box.setAttribute(Qt::WA_DontShowOnScreen, false);
        box.exec();
    }
    void PumpWhileBusy(NativeWindow* pWindow, std::vector<int>* pCommands) override {
        qt::PumpWhileBusy(pWindow, pCommands);
    }
    UINT TrackPopupMenu(NativeWindow* pOwner, const std::vector<MenuItem>& items, int x,
                        int y) override {
        return TrackMenu(pOwner, items, x, y);
    }
    int GetSystemMetrics(int nIndex) override {
        return nIndex == SM_CXICON || nIndex == SM_CYICON ? 32 : 0;
    }
    bool ChooseSaveFile(NativeWindow* pOwner, const SaveFileRequest& request,
                        SaveFileChoice* pChoice) override {
        return ChooseFile(pOwner, request, pChoice);
    }
    bool SetClipboardText(const char* pszText) override {
        QClipboard* pClipboard = QGuiApplication::clipboard();
        if (pClipboard == nullptr) {
            return false;
        }
        pClipboard->setText(FromBytes(pszText));
        return true;
    }
    RECT WorkArea(NativeWindow* pWindow) override {
        auto* pQtWindow = dynamic_cast<QtWindow*>(pWindow);
        const QScreen* pScreen =
            pQtWindow != nullptr ? pQtWindow->Widget()->screen() : QGuiApplication::primaryScreen();
        const QRect r = pScreen != nullptr ? pScreen->availableGeometry() : QRect(0, 0, 800, 600);
        return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    void RegisterRestart() override {
        // The desktop's session restores programs itself; there is nothing to register.
    }

    KeyFilter m_keyFilter;

private:
    HCURSOR m_hCursor = &kArrowCursor;
    std::map<int, std::unique_ptr<Icon>> m_icons;
};

}  // namespace

Backend* InstallBackend() {
    static QtBackend* pBackend = nullptr;
    if (pBackend == nullptr) {
        pBackend = new QtBackend;
        QApplication::setQuitOnLastWindowClosed(false);
        qApp->installEventFilter(&pBackend->m_keyFilter);
    }
    SetWakeLoop(&SchedulePump);
    SetBackend(pBackend);
    return pBackend;
}

QWidget* WidgetOf(HWND hWnd) {
    auto* pWindow = dynamic_cast<QtWindow*>(hWnd);
    return pWindow ? pWindow->Widget() : nullptr;
}

int LiveWindowCount() {
    return static_cast<int>(ui::LiveWindowCount());
}

}  // namespace qt

namespace {

// While the toolkit starts: its messages about the window system wait, and a fatal one (no
// display to reach) ends the program with a line of its own, not with an abort.
bool g_bStarting = false;
QtMessageHandler g_pfnPreviousHandler = nullptr;
struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};
std::vector<HeldMessage> g_heldMessages;

void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (!g_bStarting) {
        g_pfnPreviousHandler(type, context, message);
        return;
    }
    if (type != QtFatalMsg) {
        g_heldMessages.push_back(
            {type, context.category != nullptr ? context.category : "", message});
        return;
    }
    // The first word of the window system's plugin says why: "could not connect to display :9".
    std::string reason;
    for (const HeldMessage& held : g_heldMessages) {
        if (held.category.rfind("qt.qpa.", 0) == 0 && held.type == QtWarningMsg) {
            reason = held.text.trimmed().toStdString();
            break;
        }
    }
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty() && wayland.isEmpty()) {
        reason = "neither DISPLAY nor WAYLAND_DISPLAY is set";
    } else if (reason.empty()) {
        reason = message.section(QLatin1Char('\n'), 0, 0).toStdString();
    }
    SayNoDisplay(reason.c_str());
    std::_Exit(2);
}

}  // namespace

int RunApplication(fw::CWinApp& app, int argc, char** argv) {
    g_bStarting = true;
    g_pfnPreviousHandler = qInstallMessageHandler(&StartupMessageHandler);
    QApplication application(argc, argv);
    g_bStarting = false;
    // It started: what it had to say goes where it always goes.
    for (const HeldMessage& held : g_heldMessages) {
        const QByteArray category = QByteArray::fromStdString(held.category);
        const QMessageLogContext context(nullptr, 0, nullptr,
                                         category.isEmpty() ? nullptr : category.constData());
        g_pfnPreviousHandler(held.type, context, held.text);
    }
    g_heldMessages.clear();
    qt::InstallBackend();
    int nStatus = 0;
    if (app.InitInstance()) {
        nStatus = QApplication::exec();
    }
    const int nExit = app.ExitInstance();
    return nStatus != 0 ? nStatus : nExit;
}

void ShowCommandLineText(const char* pszText, bool bError) {
    // The program's 8-bit text, as the terminal shows it: UTF-8, its line ends kept, and control
    // characters (a command line may hold any) as \xNN escapes.
    std::string shown;
    for (const char* p = pszText; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '\n') {
            shown += '\n';
        } else if (text::IsControlOrUndefined1252(c)) {
            char szEscape[8];
            std::snprintf(szEscape, sizeof(szEscape), "\\x%02x", c);
            shown += szEscape;
        } else {
            text::AppendUtf8(shown, text::CodePointOf1252(c));
        }
    }
    std::fputs(shown.c_str(), bError ? stderr : stdout);
    std::fflush(bError ? stderr : stdout);
}

}  // namespace ui
