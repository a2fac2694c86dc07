// Window objects: numbered top-level windows kept in the window registry.
// Each has its own class "WindowClass_%I64d", the property "Zel_WindowID"
// (number + 1) and a two-entry Tab accelerator table.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "core/registry.h"
#include "window/events/event_queue.h"

typedef int64_t (*WindowCallback)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WindowState: the window library's state record, carrying the event under
// construction during a dispatch and the copy of the last event returned by
// a wait. Created zero-filled by WindowLibraryStart.
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

WindowState* WindowStateGet(void);

typedef int64_t (*EraseCallback)(HDC deviceContext, HWND window);

// WindowCreate flag bits that are options rather than window styles.
enum {
  WINDOW_CENTRE_SCREEN = 1,
  WINDOW_CENTRE_WINDOW = 2,
  WINDOW_TOOL = 4,
  WINDOW_NO_GADGET_LIST = 8,
  WINDOW_HIDDEN = 0x10000000,
};
const int32_t WINDOW_DEFAULT_POSITION = -65535;

struct WindowObject {
  HWND handle;                  // first: non-null exactly while live
  ACCEL* accelEntries;          // accelCount entries, process heap
  HACCEL accelTable;
  WindowCallback windowCallback;
  int32_t accelCount;           // 2
  int32_t backgroundColour;     // -1: system default
  HBRUSH backgroundBrush;       // fills the client area on WM_ERASEBKGND; null = none
  HWND mdiClient;               // null for every window WindowCreate makes
  EraseCallback eraseCallback;
  uint16_t minWidth;            // tracking limits for WM_GETMINMAXINFO; 0 = none
  uint16_t minHeight;
  uint16_t maxWidth;
  uint16_t maxHeight;
  uint32_t minMaxState;         // 1 while minimized or maximized
};

ObjectRegistry* WindowRegistry(void);
// The live record of the toolkit window that is window, or null; a number
// in the property that names another window's record yields null too.
WindowObject* WindowObjectOf(HWND window);
// The same for a number already read from window's property, so that a
// caller takes number and record from one read.
WindowObject* WindowObjectOfNumber(HWND window, int64_t number);

void WindowLibraryStart(void);
void WindowLibraryEnd(void);
// Returns the platform handle, the handle value for OBJECT_ANY, or 0.
int64_t WindowCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* title,
                     uint32_t flags, HWND parent = nullptr);
void WindowDestroy(int64_t number);
