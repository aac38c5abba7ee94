#include "shell/Shell.h"

namespace {
shell::UrlOpener g_pOpener = nullptr;
void* g_pContext = nullptr;
}  // namespace

void shell::SetUrlOpener(UrlOpener pOpener, void* pContext) {
    g_pOpener = pOpener;
    g_pContext = pContext;
}

INT_PTR ShellExecuteA(HWND, const char*, const char* pszFile, const char*, const char*, int) {
    if (pszFile == nullptr) {
        return 2;  // file not found
    }
    return g_pOpener != nullptr ? g_pOpener(pszFile, g_pContext) : shell::OpenWithDesktop(pszFile);
}
