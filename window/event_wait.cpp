// Event waiting: the one place where the toolkit reads window messages.
//
// A wait first releases what the previous event carried, then returns a
// queued event if there is one; otherwise it reads one message, offers it to
// the active window's accelerator table, dispatches it, and returns the
// direct event the dispatch wrote or the raw message number. The result is
// copied to the last-event fields that CurrentEventGadget and
// CurrentEventType read, so handlers running in the next dispatch cannot
// change what the caller sees. GUI thread only; needs the event and window
// libraries started.
#include "window/event_wait.h"

#include "window/drop_record.h"
#include "window/events/event_queue.h"
#include "window/focus_navigation.h"
#include "window/window_object.h"

static void LastEventRelease(WindowState* state) {
  if (state->lastData && state->lastDataRelease) {
    EventDataRelease release = state->lastDataRelease;
    void* data = state->lastData;
    // Cleared before the call, so that a release routine that waits itself
    // cannot run twice on the same data.
    state->lastDataRelease = nullptr;
    state->lastData = nullptr;
    release(data);
  }
  if (state->dropData) {
    void* record = state->dropData;
    state->dropData = nullptr;
    DropRecordRelease(record);
  }
}

// The wake mask of a timed wait: keys, mouse, posted and sent messages,
// timers, paint, hot keys and all posted messages (QS_KEY .. QS_ALLPOSTMESSAGE).
// The SDK's QS_ALLINPUT changes with the targeted version (0x4FF for
// Windows 7: raw input instead of all posted messages), so it is fixed here.
const DWORD WAKE_ON_ALL_INPUT = 0x1FF;

// Reads one message within the timeout; false when none came.
static bool MessageRead(MSG* message, int32_t timeout) {
  if (timeout == -1) {
    GetMessageA(message, nullptr, 0, 0);
    return true;
  }
  if (PeekMessageA(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) return true;
  if (timeout == 0) return false;
  if (MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeout), WAKE_ON_ALL_INPUT) == WAIT_TIMEOUT)
    return false;
  return PeekMessageA(message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD) != 0;
}

// A message whose lParam the window procedure or the platform follows as a
// pointer is genuine only when sent; a posted copy can come from any process
// with any value, so it is not dispatched. This system installs no timer
// procedures, so a WM_TIMER naming one is such a copy too.
static bool MessageIsForgedPointer(const MSG* message) {
  switch (message->message) {
    case WM_NOTIFY:
    case WM_GETMINMAXINFO:
      return true;
    case WM_TIMER:
      return message->lParam != 0;
    default:
      return false;
  }
}

static void MessageDispatch(MSG* message) {
  if (MessageIsForgedPointer(message)) return;
  HWND active = GetActiveWindow();
  HACCEL table = AcceleratorTableChoose(active);
  if (table && TranslateAcceleratorA(active, table, message)) return;
  TranslateMessage(message);
  DispatchMessageA(message);
}

int64_t EventPoll(int32_t timeout) {
  WindowState* state = WindowStateGet();
  LastEventRelease(state);
  state->eventType = -1;
  state->eventCode = 0;
  state->eventData = nullptr;
  state->eventDataRelease = nullptr;

  int64_t result;
  int32_t code = EventPop(&state->eventObject, &state->eventWindow, &state->eventType, &state->eventData,
                          &state->eventDataRelease);
  if (code != 0) {
    state->eventWParam = 0;
    state->eventLParam = 0;
    state->eventCode = code;
    result = code;
  } else {
    MSG message = {};
    if (!MessageRead(&message, timeout)) return 0;
    MessageDispatch(&message);
    if (state->eventCode != 0) {
      result = static_cast<int32_t>(state->eventCode);
      state->eventCode = 0;
    } else {
      result = message.message;
      state->eventWParam = message.wParam;
      state->eventLParam = message.lParam;
    }
  }
  state->lastObject = state->eventObject;
  state->lastWindow = state->eventWindow;
  state->lastType = state->eventType;
  state->lastCode = state->eventCode;
  state->lastWParam = state->eventWParam;
  state->lastLParam = state->eventLParam;
  state->lastData = state->eventData;
  state->lastDataRelease = state->eventDataRelease;
  return result;
}

int64_t EventWait(void) { return EventPoll(-1); }

int64_t CurrentEventGadget(void) { return WindowStateGet()->lastObject; }

int64_t CurrentEventType(void) { return WindowStateGet()->lastType; }
