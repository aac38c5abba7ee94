#include <map>

#include "Win32Internal.h"

namespace ui::win32 {

namespace {

std::map<::HWND, Window*>& Registry() {
    static std::map<::HWND, Window*> windows;
    return windows;
}

// The posted messages are the framework's (ui/PostedMessages.h): each queued one makes a
// reminder to the message-only window below, which delivers the oldest when the thread's loop
// gets to it.
LRESULT CALLBACK PostedProc(::HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kDeliverPosted) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    DeliverOnePosted();
    return 0;
}

/// The message-only window whose reminders deliver the posted messages.
::HWND PostedWindow() {
    static ::HWND hwnd = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &PostedProc;
        windowClass.hInstance = Module();
        windowClass.lpszClassName = L"LorixlogPostedMessages";
        ::RegisterClassW(&windowClass);
        return ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, Module(), nullptr);
    }();
    return hwnd;
}

}  // namespace

void WakeForPosted() {
    ::PostMessageW(PostedWindow(), kDeliverPosted, 0, 0);
}

Window::Window(::HWND hwnd, int nID, Window* pParent)
    : m_hwnd(hwnd), m_nID(nID), m_pParent(pParent), m_nSerial(AddLiveWindow(this)) {
    if (m_hwnd != nullptr) {
        Register();
    }
}

void Window::Register() {
    Registry()[m_hwnd] = this;
}

Window::~Window() {
    RemoveLiveWindow(m_nSerial);
    if (m_pfnOriginal != nullptr && ::IsWindow(m_hwnd)) {
        ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOriginal));
    }
    auto it = Registry().find(m_hwnd);
    if (it != Registry().end() && it->second == this) {
        Registry().erase(it);
    }
}

Window* Window::FromHandle(::HWND hwnd) {
    auto it = Registry().find(hwnd);
    return it != Registry().end() ? it->second : nullptr;
}

bool Window::IsLive(const NativeWindow* pWindow) {
    return IsLiveWindow(pWindow);
}

void Window::Subclass() {
    m_pfnOriginal = reinterpret_cast<::WNDPROC>(
        ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc)));
}

LRESULT Window::CallOriginal(UINT message, WPARAM wParam, LPARAM lParam) {
    // A subclassed control's own procedure; any other control processes the message itself.
    return m_pfnOriginal != nullptr
               ? ::CallWindowProcW(m_pfnOriginal, m_hwnd, message, wParam, lParam)
               : ::SendMessageW(m_hwnd, message, wParam, lParam);
}

bool Window::OnNativeMessage(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

LRESULT CALLBACK Window::ControlProc(::HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* pWindow = FromHandle(hwnd);
    if (pWindow == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    LRESULT lResult = 0;
    if (pWindow->OnNativeMessage(message, wParam, lParam, &lResult)) {
        return lResult;
    }
    return pWindow->CallOriginal(message, wParam, lParam);
}

fw::LRESULT Window::DefaultProc(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) {
    // The framework's messages carry Windows' own numbers and layouts; what holds text or
    // handles of the framework is converted by the control that knows it.
    return CallOriginal(message, wParam, lParam);
}

void Window::SetText(const char* pszText) {
    ::SetWindowTextW(m_hwnd, WideFrom1252(pszText).c_str());
}

std::string Window::GetText() const {
    const int nLength = ::GetWindowTextLengthW(m_hwnd);
    std::wstring text(static_cast<std::size_t>(nLength) + 1, L'\0');
    const int nCopied = ::GetWindowTextW(m_hwnd, text.data(), nLength + 1);
    text.resize(static_cast<std::size_t>(nCopied > 0 ? nCopied : 0));
    return Bytes1252FromWide(text);
}

fw::RECT Window::GetWindowRect() const {
    ::RECT r{};
    ::GetWindowRect(m_hwnd, &r);
    return fw::RECT{r.left, r.top, r.right, r.bottom};
}

fw::RECT Window::GetClientRect() const {
    ::RECT r{};
    ::GetClientRect(m_hwnd, &r);
    return fw::RECT{r.left, r.top, r.right, r.bottom};
}

void Window::Move(int x, int y, int nWidth, int nHeight, bool bRepaint) {
    ::MoveWindow(m_hwnd, x, y, nWidth, nHeight, bRepaint ? TRUE : FALSE);
}

void Window::Post(fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) {
    QueuePosted(m_nSerial, message, wParam, lParam);
}

void Window::Update() {
    // The thread is busy in a handler (a search): paint what changed now. What changed is what
    // waits to be painted (a control invalidates what it changes): painting the whole window
    // again would cost a long report its full repaint at every refresh.
    ::RedrawWindow(m_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Window::PaintIcon(int x, int y, fw::HICON hIcon) {
    if (m_hPaintDC != nullptr && hIcon != nullptr) {
        ::DrawIcon(m_hPaintDC, x, y, hIcon->hIcon);
    }
}

}  // namespace ui::win32
