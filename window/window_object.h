// Window objects: numbered top-level windows kept in the window registry.
// Each has its own class "WindowClass_%I64d", the property "Zel_WindowID"
// (number + 1) and a two-entry Tab accelerator table.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "core/registry.h"
#include "window/window_state.h"

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

void WindowLibraryStart(void);
void WindowLibraryEnd(void);
// Returns the platform handle, the handle value for OBJECT_ANY, or 0.
int64_t WindowCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* title,
                     uint32_t flags, HWND parent = nullptr);
void WindowDestroy(int64_t number);
