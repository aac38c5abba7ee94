// What every backend shares for posted messages (Backend.h's promises): the live windows by
// serial number and one queue of messages, delivered one at a time in the order of posting, a
// message to a window destroyed meanwhile dropped. A backend only wakes its loop when a message
// waits, and asks for one to be delivered when its loop gets to it. For backends only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ui/Types.h"

namespace ui {

class NativeWindow;

/// Notes a window as alive and gives it its serial number (never used again).
std::uint64_t AddLiveWindow(NativeWindow* pWindow);
/// Notes the window with the serial number gone: its posted messages will be dropped.
void RemoveLiveWindow(std::uint64_t nSerial);
/// Whether the window is alive (null: no).
bool IsLiveWindow(const NativeWindow* pWindow);
/// How many windows are alive.
std::size_t LiveWindowCount();
/// The live windows, in the order they were made.
std::vector<NativeWindow*> LiveWindows();

/// The backend's way to make its loop deliver a posted message soon (Qt: a queued call; Windows:
/// a message to the backend's own message-only window). Called once for every message queued.
using WakeLoop = void (*)();
void SetWakeLoop(WakeLoop pfnWake);

/// Queues the message for the window with the serial number and wakes the loop.
void QueuePosted(std::uint64_t nSerial, fw::UINT message, fw::WPARAM wParam, fw::LPARAM lParam);
/// Delivers the oldest queued message to its window (SendMessageTo), or drops it when the window
/// is gone. Returns whether more messages wait.
bool DeliverOnePosted();
/// Whether a message waits.
bool PostedWaiting();

}  // namespace ui
