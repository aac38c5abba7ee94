// The controls of the Qt backend: one file a control (QtPushButton.cpp, QtEdit.cpp, ...), paired
// with the Win32 backend's files of the same names, and the table that makes each kind.
#pragma once

#include <memory>

#include "QtInternal.h"

namespace ui::qt {

/// Makes the control of a template: its widget in the dialog's client area (pContent), its
/// notifications to the dialog's window (pDialog). The dialog places it, and sets what every
/// control shares (visible, enabled, a tab stop); a maker sets what is the control's own.
using ControlMaker = std::unique_ptr<QtWindow> (*)(const ControlTemplate& control,
                                                   QtWindow* pDialog, QWidget* pContent);

/// The control of the template's kind, by the table in QtControls.cpp.
std::unique_ptr<QtWindow> MakeControl(const ControlTemplate& control, QtWindow* pDialog,
                                      QWidget* pContent);

// The makers, one a control file.
std::unique_ptr<QtWindow> MakePushButton(const ControlTemplate& control, QtWindow* pDialog,
                                         QWidget* pContent);
std::unique_ptr<QtWindow> MakeGroupBox(const ControlTemplate& control, QtWindow* pDialog,
                                       QWidget* pContent);
std::unique_ptr<QtWindow> MakeLabel(const ControlTemplate& control, QtWindow* pDialog,
                                    QWidget* pContent);
std::unique_ptr<QtWindow> MakeEdit(const ControlTemplate& control, QtWindow* pDialog,
                                   QWidget* pContent);
std::unique_ptr<QtWindow> MakeListBox(const ControlTemplate& control, QtWindow* pDialog,
                                      QWidget* pContent);
std::unique_ptr<QtWindow> MakePicture(const ControlTemplate& control, QtWindow* pDialog,
                                      QWidget* pContent);

}  // namespace ui::qt
