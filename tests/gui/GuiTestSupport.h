// Support for the GUI tests: the Qt backend, the program's resources, a scripted network, and a
// seam that sees and ends modal dialogs.
#pragma once

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include "DeviceInfo.h"
#include "QtBackend.h"
#include "Resources.h"
#include "ScriptedSocketLayer.h"
#include "resource.h"
#include "text/Windows1252.h"
#include "ui/Afx.h"
#include "ui/Resources.h"

namespace guitest {

/// The socket layer between tests: it cannot even make a socket, so that no search of a GUI
/// test ever reaches a real network.
inline net::ScriptedSocketLayer& NoNetwork() {
    static net::ScriptedSocketLayer layer;
    layer.m_nSocketError = net::WSAENETDOWN;
    return layer;
}

/// Sets up the backend and resources once, in the given language.
inline void Prepare(WORD wLanguage = ui::LANG_ENGLISH_US) {
    net::InstallSocketLayer(&NoNetwork());
    static bool bRegistered = false;
    if (!bRegistered) {
        RegisterProgramResources();
        bRegistered = true;
    }
    ui::SetUserInterfaceLanguage(wLanguage);
    ui::qt::InstallBackend();
}

/// Sees every modal dialog after its initialisation and decides how it ends.
class ModalSpy {
public:
    /// How a dialog ends (default: IDCANCEL at once); may inspect the dialog first.
    std::function<void(CDialog*)> onModal = [](CDialog* p) { p->EndDialog(IDCANCEL); };
    std::vector<UINT> seen;

    ModalSpy() { ui::SetModalObserver(&ModalSpy::Observe, this); }
    ~ModalSpy() { ui::SetModalObserver(nullptr, nullptr); }

private:
    static void Observe(CDialog* pDialog, void* pContext) {
        auto* pSpy = static_cast<ModalSpy*>(pContext);
        pSpy->seen.push_back(pDialog->m_nIDTemplate);
        pSpy->onModal(pDialog);
    }
};

/// The scripted network for one test.
class ScriptedNetwork {
public:
    ScriptedNetwork() { net::InstallSocketLayer(&layer); }
    ~ScriptedNetwork() { net::InstallSocketLayer(&NoNetwork()); }
    void Device(std::uint32_t nAt, const char* pszAddress, const std::string& reply) {
        layer.AddDatagram(nAt, pszAddress, 9959, reply);
    }
    net::ScriptedSocketLayer layer;
};

/// Handles posted messages and other pending events until nothing is left.
inline void Drain() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents();
    }
}

inline QWidget* Widget(CWnd* pWnd) {
    return pWnd ? ui::qt::WidgetOf(pWnd->m_hWnd) : nullptr;
}
inline QWidget* Control(CWnd& dialog, int nID) {
    return Widget(dialog.GetDlgItem(nID));
}
inline QPushButton* Button(CWnd& dialog, int nID) {
    return qobject_cast<QPushButton*>(Control(dialog, nID));
}
inline QPlainTextEdit* Edit(CWnd& dialog, int nID) {
    return qobject_cast<QPlainTextEdit*>(Control(dialog, nID));
}

/// What the edit control shows, in the report's bytes ("\r\n" for each line break).
inline std::string ShownText(QPlainTextEdit* pEdit) {
    std::string text = text::Windows1252FromUtf8(pEdit->toPlainText().toStdString());
    std::string out;
    for (char c : text) {
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return out;
}

}  // namespace guitest
