// What the dialog tests need of a toolkit, one small file per backend (qt/, win32/): starting
// it, letting it deliver posted messages, and the few things only a toolkit knows (a real click,
// the focus). Everything else the tests ask through the dialog framework.
#pragma once

#include "ui/Framework.h"  // not ui/Afx.h: the Win32 helper also sees <windows.h>

namespace dialogtest {

/// Starts the toolkit and installs its backend; once, before the first test.
void StartBackend(int argc, char** argv);
/// Delivers posted messages and pending events until none is left.
void Pump();
/// Clicks the push button as the user does (the toolkit's own click, then its notification).
void Click(fw::CWnd& dialog, int nID);
/// Presses Enter with the keyboard focus in the control, through the toolkit's key handling and
/// the dialog manager, as the user does.
void PressEnter(fw::CWnd& dialog, int nID);
/// Whether the control has the keyboard focus.
bool HasFocus(fw::CWnd& dialog, int nID);

}  // namespace dialogtest
