// Opening a URL in the user's default browser.
#pragma once

#include "shell/ShellTypes.h"

namespace shell {

/// Hands the URL to the desktop, which opens it with the default program: on Linux xdg-open, on
/// macOS open, on Windows the shell itself (or the opener a test put in its place). The URL is
/// one argument of a program started without a command shell; the call does not wait for the
/// browser, only (a few seconds at most) for the opener's verdict. Returns a value above 32 when
/// the opener was started.
INT_PTR OpenUrl(const char* pszUrl);

/// The Windows shell's call as the dialogs make it: opens pszFile by OpenUrl. The owner window,
/// operation (only the default one, "open"), parameters, directory and show command are those
/// of the Windows call and otherwise unused.
inline INT_PTR ShellExecuteA(HWND /*hWnd*/, const char* /*pszOperation*/, const char* pszFile,
                             const char* /*pszParameters*/, const char* /*pszDirectory*/,
                             int /*nShowCmd*/) {
    return OpenUrl(pszFile);
}

/// Replaces what OpenUrl does with the function (null: the desktop's opener again); the seam
/// through which tests see the URLs handed over.
using UrlOpener = INT_PTR (*)(const char* pszUrl, void* pContext);
void SetUrlOpener(UrlOpener pOpener, void* pContext);

/// The desktop's own opener of the platform. On Linux it waits a few seconds at most for
/// xdg-open's verdict: a value above 32 when it handed the URL on (or still runs then), 2 when
/// there is no opener, 31 when it could not run or failed (no browser, no handler).
INT_PTR OpenWithDesktop(const char* pszUrl);
/// The same with the wait given in milliseconds (POSIX systems only).
INT_PTR OpenWithDesktop(const char* pszUrl, int nWaitMs);

}  // namespace shell
