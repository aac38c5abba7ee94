// The dialog framework's Win32 backend: its way to the Windows API (win32/WindowsApi.h).
//
// The framework's headers come first: their Windows-like names live in namespace fw, and their
// constants (WM_COMMAND, IDOK, ...) would be spoilt by the macros of <windows.h> if they came
// after it. Below this header, plain names are Windows' own (::HWND, WM_COMMAND, IDOK); the
// framework's are written fw::HWND, fw::CWnd and so on. The names that <windows.h> turns into
// macros and that the framework's classes use as member names are undefined again, so that
// pWnd->SendMessage(...) means the framework's member here too; the backend calls the wide
// functions by their own names (SendMessageW, ...).
#pragma once

#include "ui/Backend.h"
#include "ui/Framework.h"
#include "ui/Resources.h"

#include "win32/WindowsApi.h"

#undef SendMessage
#undef PostMessage
#undef GetWindowText
#undef SetWindowText
#undef LoadIcon
#undef DrawIcon
#undef DefWindowProc
#undef CreateDialog
#undef IsDialogMessage
#undef MessageBox
