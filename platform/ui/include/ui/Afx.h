// The dialog framework as program code uses it: its classes, types and message numbers by their
// plain names (CWnd, HWND, WM_COMMAND, ...). Include this, not "ui/Framework.h", everywhere but in
// a backend that also sees <windows.h>.
#pragma once

#include "ui/FileDialog.h"
#include "ui/Framework.h"
#include "ui/Menu.h"

using namespace fw;  // NOLINT(google-build-using-namespace): the framework's names are the
                     // program's
