// Compiled, never run: the framework's Windows-like names and Windows' own share this backend's
// translation units through its one door, each where it belongs. A change that lets <windows.h>
// in before the framework, or brings the framework's names into the global namespace here, stops
// the build.
#include <type_traits>

#include "Win32.h"

static_assert(!std::is_same_v<fw::HWND, ::HWND>, "the framework's window handle is its own");
static_assert(sizeof(fw::RECT) == 4 * sizeof(long) && sizeof(::RECT) == 4 * sizeof(LONG));
static_assert(!std::is_same_v<fw::MSG, ::MSG>, "the framework's message is its own");
// The message numbers the framework uses are Windows' own, so the backend passes them through.
static_assert(fw::MSG{nullptr, WM_COMMAND, 0, 0}.message == 0x0111);
static_assert(EM_LIMITTEXT == 0x00C5 && LB_GETCURSEL == 0x0188 && SB_ENDSCROLL == 8);
static_assert(IDOK == 1 && IDCANCEL == 2 && BN_CLICKED == 0 && LBN_DBLCLK == 2);
