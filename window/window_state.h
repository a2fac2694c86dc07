// WindowState: the window library's state record, carrying the event under
// construction during a dispatch and the copy of the last event returned by
// a wait. Created zero-filled by WindowLibraryStart.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "window/events/event_queue.h"

typedef int64_t (*WindowCallback)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct WindowState {
  int64_t eventObject;               // object of the event under construction; a wait does not reset it
  int64_t eventWindow;               // window number, -1 for none; a wait does not reset it
  int64_t eventType;                 // -1 at the start of every wait
  int64_t eventCode;                 // 0 = none; 0 at the start of every wait
  uint64_t eventWParam;              // of the raw message a wait returned; 0 after a queued event
  int64_t eventLParam;
  void* eventData;                   // null at the start of every wait
  EventDataRelease eventDataRelease; // null at the start of every wait
  int64_t lastObject;                // copies made at the end of every successful wait
  int64_t lastWindow;
  int64_t lastType;
  int64_t lastCode;
  uint64_t lastWParam;
  int64_t lastLParam;
  void* lastData;                    // released at the start of the next wait
  EventDataRelease lastDataRelease;
  WindowCallback userWindowCallback; // for windows without their own; never set here
  void* dropData;                    // pending drop record (process heap), or null
};

// The drop record that messages 13105/13106 carry: a process-heap record
// whose fourth 64-bit field points to a process-heap buffer (or is null).
struct DropRecord {
  int64_t reserved[3];
  void* buffer;
};

WindowState* WindowStateGet(void);
