// The desktop's opener on Windows: the shell itself.
#include "shell/Shell.h"
#include "win32/WindowsApi.h"

#include <shellapi.h>

namespace shell {

INT_PTR OpenWithDesktop(const char* pszUrl) {
    return reinterpret_cast<std::intptr_t>(
        ::ShellExecuteA(nullptr, nullptr, pszUrl, nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace shell
