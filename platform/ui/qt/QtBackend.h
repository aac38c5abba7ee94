// The dialog framework on Qt 6 Widgets.
#pragma once

#include "ui/Backend.h"

class CWinApp;
class QWidget;

namespace ui::qt {

/// Runs the program: makes the QApplication, installs the Qt backend and the application-wide
/// key pre-translation, and calls the application object's InitInstance; runs a message loop
/// only when that returns TRUE. Returns the process exit status.
int RunApplication(CWinApp& app, int argc, char** argv);

/// Installs the Qt backend and the key pre-translation for an existing QApplication (tests).
/// Returns the backend; it stays installed for the life of the process.
Backend* InstallBackend();

/// The Qt widget of a window, for tests and screenshots; null for no window.
QWidget* WidgetOf(HWND hWnd);

/// Number of native windows that exist (dialogs and controls).
int LiveWindowCount();

}  // namespace ui::qt
