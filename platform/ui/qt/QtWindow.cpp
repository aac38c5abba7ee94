#include <QCoreApplication>
#include <QEventLoop>

#include <deque>

#include "QtInternal.h"

namespace ui::qt {

/// Messages posted to windows, handled one at a time in the order of posting, each after the
/// handler that is running returns. While the display is being brought up to date in the middle
/// of a handler, none is handled.
struct PostedMessage {
    std::uint64_t nSerial;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::deque<PostedMessage> g_posted;
bool g_bPumpScheduled = false;
bool g_bFlushingDisplay = false;

void SchedulePump();

void Pump() {
    g_bPumpScheduled = false;
    if (g_posted.empty()) {
        return;
    }
    if (g_bFlushingDisplay) {
        SchedulePump();
        return;
    }
    const PostedMessage posted = g_posted.front();
    g_posted.pop_front();
    if (!g_posted.empty()) {
        SchedulePump();
    }
    auto it = LiveWindows().find(posted.nSerial);
    if (it != LiveWindows().end()) {
        SendMessageTo(reinterpret_cast<NativeWindow*>(it->second), posted.message, posted.wParam,
                      posted.lParam);
    }
}

void SchedulePump() {
    if (!g_bPumpScheduled) {
        g_bPumpScheduled = true;
        QMetaObject::invokeMethod(qApp, &Pump, Qt::QueuedConnection);
    }
}

void FlushDisplay() {
    if (g_bFlushingDisplay) {
        return;
    }
    g_bFlushingDisplay = true;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    g_bFlushingDisplay = false;
}

std::map<std::uint64_t, QtWindow*>& LiveWindows() {
    static std::map<std::uint64_t, QtWindow*> windows;
    return windows;
}
namespace {
std::uint64_t g_nNextSerial = 1;
}  // namespace

std::uint64_t NextSerial() {
    return g_nNextSerial++;
}

void QueuePosted(std::uint64_t nSerial, UINT message, WPARAM wParam, LPARAM lParam) {
    g_posted.push_back(PostedMessage{nSerial, message, wParam, lParam});
    SchedulePump();
}

QtWindow* FromWidget(QWidget* pWidget) {
    for (QWidget* w = pWidget; w != nullptr; w = w->parentWidget()) {
        const QVariant v = w->property("lxWindow");
        if (v.isValid()) {
            return reinterpret_cast<QtWindow*>(v.value<quintptr>());
        }
        for (const auto& [nSerial, pWindow] : LiveWindows()) {
            if (pWindow->Widget() == w) {
                return pWindow;
            }
        }
    }
    return nullptr;
}

}  // namespace ui::qt
