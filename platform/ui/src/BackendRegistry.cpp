// The backend registry: the installed toolkit, the native windows it makes, and how a message
// reaches a window's object.
#include <cstdio>
#include <cstdlib>

#include "ui/Backend.h"
#include "ui/Framework.h"

using namespace fw;

namespace ui {

namespace {
Backend* g_pBackend = nullptr;
}

NativeWindow::NativeWindow() = default;

NativeWindow::~NativeWindow() {
    if (m_pOwner != nullptr && m_pOwner->m_hWnd == this) {
        m_pOwner->m_hWnd = nullptr;
    }
    if (m_pPermanent) {
        m_pPermanent->m_hWnd = nullptr;
    }
}

Backend::~Backend() = default;

Backend* GetBackend() {
    return g_pBackend;
}

Backend* SetBackend(Backend* pBackend) {
    Backend* pOld = g_pBackend;
    g_pBackend = pBackend;
    return pOld;
}

LRESULT SendMessageTo(NativeWindow* pWindow, UINT message, WPARAM wParam, LPARAM lParam) {
    if (pWindow == nullptr) {
        return 0;
    }
    if (pWindow->m_pOwner != nullptr) {
        return pWindow->m_pOwner->WindowProc(message, wParam, lParam);
    }
    return pWindow->DefaultProc(message, wParam, lParam);
}

}  // namespace ui

void ui::ProgrammingError(const char* pszWhat, long nId) {
    std::fprintf(stderr, "lorixlog: programming error: %s %ld\n", pszWhat, nId);
#if !defined(NDEBUG)
    std::abort();
#endif
}
