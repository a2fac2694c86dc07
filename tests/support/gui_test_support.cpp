// See gui_test_support.h.
#include "support/gui_test_support.h"

#include <algorithm>

#include "window/event_wait.h"
#include "window/events/event_codes.h"
#include "window/events/event_queue.h"
#include "window/window_object.h"

namespace support {

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (condition()) return true;
    if (GetTickCount() - start >= timeoutMs) return condition();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpUntilIdle(DWORD quietMs, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  DWORD lastMessage = start;
  while (GetTickCount() - start < timeoutMs) {
    MSG message;
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
      lastMessage = GetTickCount();
      continue;
    }
    if (GetTickCount() - lastMessage >= quietMs) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, quietMs, QS_ALLINPUT);
  }
}

bool BringToForeground(HWND window, DWORD timeoutMs) {
  SetForegroundWindow(window);
  return PumpUntil([&] { return GetForegroundWindow() == window && GetActiveWindow() == window; }, timeoutMs);
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string ClassNameOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// Whether the result of the wait that just returned passes the filter.
static bool Kept(const EventFilter& filter, int64_t result) {
  const WindowState* state = WindowStateGet();
  bool queued = state->lastCode != 0;
  bool direct = !queued && result >= EVENT_GADGET && result <= EVENT_TIMER;
  auto listed = [result](const std::vector<int64_t>& list) {
    return std::find(list.begin(), list.end(), result) != list.end();
  };
  if (filter.events.empty() && filter.messages.empty()) return queued || direct || result >= WM_APP;
  return (queued || direct) ? listed(filter.events) : listed(filter.messages);
}

static Recorded LastEvent(int64_t result) {
  const WindowState* state = WindowStateGet();
  return {result, state->lastObject, state->lastWindow, state->lastType};
}

std::vector<Recorded> DrainEvents(const EventFilter& filter, DWORD timeoutMs) {
  std::vector<Recorded> events;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    int64_t result = EventPoll(0);
    if (result == 0) {
      MSG pending;
      if (!EventStateGet()->queueHead && !PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE)) break;
      continue;
    }
    if (Kept(filter, result)) events.push_back(LastEvent(result));
  }
  return events;
}

std::vector<Recorded> AwaitEvents(const EventFilter& filter, size_t count, DWORD timeoutMs) {
  std::vector<Recorded> events;
  DWORD start = GetTickCount();
  while (events.size() < count && GetTickCount() - start < timeoutMs) {
    int64_t result = EventPoll(50);
    if (result != 0 && Kept(filter, result)) events.push_back(LastEvent(result));
  }
  return events;
}

}  // namespace support
