// The program's entry into the framework: one function, implemented by each backend (Qt on
// Linux, Win32 on Windows; CMake chooses the one that is built).
#pragma once

namespace fw {
class CWinApp;
}  // namespace fw

namespace ui {

/// Runs the program: sets the toolkit up, installs its backend and the application-wide key
/// pre-translation, and calls the application object's InitInstance; runs a message loop only
/// when that returns TRUE. Returns the process exit status.
int RunApplication(fw::CWinApp& app, int argc, char** argv);

/// What the program says when the toolkit cannot reach a display at all (Qt without an X or
/// Wayland display): the function gets the toolkit's reason (UTF-8), and the program then ends
/// with status 2. Without one, the reason alone goes to standard error.
void SetNoDisplayMessage(void (*pfnSay)(const char* pszReason));
/// For a backend: says it as set (once the program cannot go on).
void SayNoDisplay(const char* pszReason);

/// Tells the user what the command line asked for, before any window exists: the usage, the
/// version, or what is wrong with it (bError). On a desktop with a terminal (Linux) it goes to
/// standard output, or standard error for an error; a Windows program has no console and shows it
/// in a message box.
void ShowCommandLineText(const char* pszText, bool bError);

}  // namespace ui
