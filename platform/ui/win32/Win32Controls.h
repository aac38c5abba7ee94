// The controls of the Win32 backend: one file a control (Win32PushButton.cpp, Win32Edit.cpp, ...),
// paired with the Qt backend's files of the same names, and the table that names each kind's
// window class and makes its object.
#pragma once

#include <memory>

#include "Win32Internal.h"

namespace ui::win32 {

/// Makes the object of a control that the dialog manager made from the template (hwnd), with
/// its notifications to the dialog's window (pDialog).
using ControlMaker = std::unique_ptr<Window> (*)(::HWND hwnd, const ControlTemplate& control,
                                                 Window* pDialog);

/// How the dialog manager makes a kind of control, and who makes its object.
struct ControlKindRow {
    ControlKind kind;
    /// The window class: a predefined one by its ordinal (0x0080 button, 0x0081 edit, 0x0082
    /// static, 0x0083 list box), or a class name when the ordinal is 0.
    WORD wClassOrdinal;
    const wchar_t* pszClassName;
    /// Whether the template's text goes into the dialog template (a picture gets its image
    /// later, in the program's language).
    bool bTemplateText;
    ControlMaker make;
};

/// The row of a kind, from the table in Win32Controls.cpp; never null for a kind of the enum.
const ControlKindRow* FindControlKind(ControlKind kind);

/// The object of a control of the template, by its kind's row.
std::unique_ptr<Window> MakeControl(::HWND hwnd, const ControlTemplate& control, Window* pDialog);

// The makers, one a control file.
std::unique_ptr<Window> MakePushButton(::HWND hwnd, const ControlTemplate& control,
                                       Window* pDialog);
std::unique_ptr<Window> MakeGroupBox(::HWND hwnd, const ControlTemplate& control, Window* pDialog);
std::unique_ptr<Window> MakeLabel(::HWND hwnd, const ControlTemplate& control, Window* pDialog);
std::unique_ptr<Window> MakeEdit(::HWND hwnd, const ControlTemplate& control, Window* pDialog);
std::unique_ptr<Window> MakeListBox(::HWND hwnd, const ControlTemplate& control, Window* pDialog);
std::unique_ptr<Window> MakePicture(::HWND hwnd, const ControlTemplate& control, Window* pDialog);

}  // namespace ui::win32
