#include "Win32Controls.h"

namespace ui::win32 {

namespace {

/// Static text, wrapped at the control's width by the static control itself.
class LabelWindow final : public Window {
public:
    using Window::Window;
};

}  // namespace

std::unique_ptr<Window> MakeLabel(::HWND hwnd, const ControlTemplate& control, Window* pDialog) {
    return std::make_unique<LabelWindow>(hwnd, control.nID, pDialog);
}

}  // namespace ui::win32
