#include "QtControls.h"

#include <iterator>

namespace ui::qt {

namespace {

struct ControlKindMaker {
    ControlKind kind;
    ControlMaker make;
};

/// One row a kind of control: a new control is a file and a row.
constexpr ControlKindMaker kMakers[] = {
    {ControlKind::PushButton, MakePushButton},
    {ControlKind::GroupBox, MakeGroupBox},
    {ControlKind::Edit, MakeEdit},
    {ControlKind::ListBox, MakeListBox},
    {ControlKind::Picture, MakePicture},
    {ControlKind::Label, MakeLabel},
};
static_assert(std::size(kMakers) == kControlKinds, "every kind of control has its maker");

}  // namespace

std::unique_ptr<QtWindow> MakeControl(const ControlTemplate& control, QtWindow* pDialog,
                                      QWidget* pContent) {
    for (const ControlKindMaker& row : kMakers) {
        if (row.kind == control.kind) {
            return row.make(control, pDialog, pContent);
        }
    }
    ProgrammingError("a control of a kind this backend cannot make", control.nID);
    return nullptr;
}

}  // namespace ui::qt
