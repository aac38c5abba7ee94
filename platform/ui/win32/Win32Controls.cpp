#include "Win32Controls.h"

#include <iterator>

namespace ui::win32 {

namespace {

// Predefined window classes, as a template names them by ordinal.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kListBoxClass = 0x0083;

/// One row a kind of control: a new control is a file and a row.
constexpr ControlKindRow kKinds[] = {
    {ControlKind::PushButton, kButtonClass, nullptr, true, MakePushButton},
    {ControlKind::GroupBox, kButtonClass, nullptr, true, MakeGroupBox},
    {ControlKind::Edit, kEditClass, nullptr, true, MakeEdit},
    {ControlKind::ListBox, kListBoxClass, nullptr, true, MakeListBox},
    {ControlKind::Picture, kStaticClass, nullptr, false, MakePicture},
    {ControlKind::Label, kStaticClass, nullptr, true, MakeLabel},
};
static_assert(std::size(kKinds) == kControlKinds, "every kind of control has its row");

}  // namespace

const ControlKindRow* FindControlKind(ControlKind kind) {
    for (const ControlKindRow& row : kKinds) {
        if (row.kind == kind) {
            return &row;
        }
    }
    return nullptr;
}

std::unique_ptr<Window> MakeControl(::HWND hwnd, const ControlTemplate& control, Window* pDialog) {
    if (const ControlKindRow* pRow = FindControlKind(control.kind)) {
        return pRow->make(hwnd, control, pDialog);
    }
    ProgrammingError("a control of a kind this backend cannot make", control.nID);
    return nullptr;
}

}  // namespace ui::win32
