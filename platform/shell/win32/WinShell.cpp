// The desktop's opener on Windows: the shell. (The framework's own Windows-like types are not
// included here: this file speaks to Windows itself.)
#include <windows.h>

#include <shellapi.h>

#include <cstdint>

namespace shell {

std::intptr_t OpenWithDesktop(const char* pszUrl) {
    return reinterpret_cast<std::intptr_t>(
        ::ShellExecuteA(nullptr, nullptr, pszUrl, nullptr, nullptr, SW_SHOWNORMAL));
}

}  // namespace shell
