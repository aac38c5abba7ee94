// The dialog framework on the native Windows dialog manager and controls.
#pragma once

#include "ui/Application.h"
#include "ui/Backend.h"

namespace ui::win32 {

/// Installs the Win32 backend (tests; RunApplication does it for the program). Returns it; it
/// stays installed for the life of the process.
Backend* InstallBackend();

}  // namespace ui::win32
