// The dialog framework on Qt 6 Widgets.
#pragma once

#include "ui/Backend.h"

#include "ui/Application.h"

class QWidget;

namespace ui::qt {

/// Installs the Qt backend and the key pre-translation for an existing QApplication (tests).
/// Returns the backend; it stays installed for the life of the process.
Backend* InstallBackend();

/// The Qt widget of a window, for tests and screenshots; null for no window.
QWidget* WidgetOf(fw::HWND hWnd);

/// Number of native windows that exist (dialogs and controls).
int LiveWindowCount();

}  // namespace ui::qt
