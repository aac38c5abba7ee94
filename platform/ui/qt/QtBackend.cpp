#include <QApplication>

#include <QFile>
#include <QMessageBox>
#include <cstdio>

#include "QtInternal.h"

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
    void ShowModeless(NativeWindow* pDialog) override {
        static_cast<QtWindow*>(pDialog)->Widget()->show();
    }
    void DestroyWindow(NativeWindow* pWindow) override { delete pWindow; }
    bool IsWindow(NativeWindow* pWindow) const override {
        for (const auto& [nSerial, p] : LiveWindows()) {
            if (p == pWindow) {
                return true;
            }
        }
        return false;
    }
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
        QMessageBox::critical(pWindow != nullptr ? pWindow->Widget() : nullptr,
                              QStringLiteral("lorixlog-finder"), FromBytes(pszText));
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
    SetBackend(pBackend);
    return pBackend;
}

QWidget* WidgetOf(HWND hWnd) {
    auto* pWindow = dynamic_cast<QtWindow*>(hWnd);
    return pWindow ? pWindow->Widget() : nullptr;
}

int LiveWindowCount() {
    return static_cast<int>(LiveWindows().size());
}

}  // namespace qt

int RunApplication(fw::CWinApp& app, int argc, char** argv) {
    QApplication application(argc, argv);
    qt::InstallBackend();
    int nStatus = 0;
    if (app.InitInstance()) {
        nStatus = QApplication::exec();
    }
    const int nExit = app.ExitInstance();
    return nStatus != 0 ? nStatus : nExit;
}

void ShowCommandLineText(const char* pszText, bool bError) {
    std::fputs(pszText, bError ? stderr : stdout);
    std::fflush(bError ? stderr : stdout);
}

}  // namespace ui
