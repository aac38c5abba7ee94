// The desktop's opener on Windows: the shell.
#include "shell/Shell.h"

#include <windows.h>
#include <shellapi.h>

namespace shell {

INT_PTR OpenWithDesktop(const char* pszUrl) {
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, nullptr, pszUrl, nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace shell
