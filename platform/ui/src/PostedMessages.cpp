#include "ui/PostedMessages.h"

#include <deque>
#include <map>

#include "ui/Backend.h"

namespace ui {

namespace {

struct PostedMessage {
    std::uint64_t nSerial;
    fw::UINT message;
    fw::WPARAM wParam;
    fw::LPARAM lParam;
};

/// What the backends share: the live windows by serial number, the queue, the wake call.
struct Posting {
    std::map<std::uint64_t, NativeWindow*> live;
    std::uint64_t nNextSerial = 1;
    std::deque<PostedMessage> queue;
    WakeLoop pfnWake = nullptr;
};

Posting& State() {
    static Posting posting;
    return posting;
}

}  // namespace

std::uint64_t AddLiveWindow(NativeWindow* pWindow) {
    const std::uint64_t nSerial = State().nNextSerial++;
    State().live[nSerial] = pWindow;
    return nSerial;
}

void RemoveLiveWindow(std::uint64_t nSerial) {
    State().live.erase(nSerial);
}

bool IsLiveWindow(const NativeWindow* pWindow) {
    if (pWindow == nullptr) {
        return false;
    }
    for (const auto& [nSerial, p] : State().live) {
        if (p == pWindow) {
            return true;
        }
    }
    return false;
}

std::size_t LiveWindowCount() {
    return State().live.size();
}

std::vector<NativeWindow*> LiveWindows() {
    std::vector<NativeWindow*> windows;
    for (const auto& [nSerial, p] : State().live) {
        windows.push_back(p);
    }
    return windows;
}

void SetWakeLoop(WakeLoop pfnWake) {
    State().pfnWake = pfnWake;
}

void QueuePosted(std::uint64_t nSerial, fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam) {
    State().queue.push_back(PostedMessage{nSerial, message, wParam, lParam});
    if (State().pfnWake != nullptr) {
        State().pfnWake();
    }
}

bool DeliverOnePosted() {
    Posting& posting = State();
    if (posting.queue.empty()) {
        return false;
    }
    const PostedMessage posted = posting.queue.front();
    posting.queue.pop_front();
    const auto it = posting.live.find(posted.nSerial);
    if (it != posting.live.end()) {
        SendMessageTo(it->second, posted.message, posted.wParam, posted.lParam);
    }
    return !posting.queue.empty();
}

bool PostedWaiting() {
    return !State().queue.empty();
}

}  // namespace ui
