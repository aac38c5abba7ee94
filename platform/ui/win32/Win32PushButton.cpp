#include "Win32Controls.h"

namespace ui::win32 {

namespace {

/// A push button: the dialog manager's own (clicks come to the dialog as BN_CLICKED).
class PushButtonWindow final : public Window {
public:
    using Window::Window;
};

}  // namespace

std::unique_ptr<Window> MakePushButton(::HWND hwnd, const ControlTemplate& control,
                                       Window* pDialog) {
    return std::make_unique<PushButtonWindow>(hwnd, control.nID, pDialog);
}

}  // namespace ui::win32
