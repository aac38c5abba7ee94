#include "shell/Shell.h"

namespace {
shell::UrlOpener g_pOpener = nullptr;
void* g_pContext = nullptr;
}  // namespace

void shell::SetUrlOpener(UrlOpener pOpener, void* pContext) {
    g_pOpener = pOpener;
    g_pContext = pContext;
}

shell::INT_PTR shell::OpenUrl(const char* pszUrl) {
    if (pszUrl == nullptr) {
        return 2;  // file not found
    }
    return g_pOpener != nullptr ? g_pOpener(pszUrl, g_pContext) : OpenWithDesktop(pszUrl);
}
