// A resizable window built with the toolkit, for watching live size
// tracking at work: drag a border (or use the window menu's size command and
// the arrow keys) and the counter below goes up with every size event that
// the event loop receives while the window is being resized. The utility's
// own window is fixed-size, so this is where the tracker can be tried.
// Same start-up and shut-down order as the utility; closes with exit code 0.
#include <windows.h>

#include "app/toolkit_lifecycle.h"
#include "core/number_text.h"
#include "core/string_buffer.h"
#include "gadget/gadget_core.h"
#include "gadget/static_gadget.h"
#include "window/event_wait.h"
#include "window/events/event_codes.h"
#include "window/window_object.h"

enum {
  GADGET_HINT = 0,
  GADGET_COUNTER = 1,
};

const uint32_t DEMO_WINDOW_FLAGS =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WINDOW_CENTRE_SCREEN;

static void CounterShow(int64_t sizeEvents) {
  TempStringBuffer* buffer = StringBuffer();
  int32_t start = static_cast<int32_t>(buffer->writePosition);
  StringAppend("Size events: ");
  FormatDecimal(sizeEvents, static_cast<int32_t>(buffer->writePosition));
  // Past the terminator, so that setting the text cannot overwrite it.
  buffer->writePosition++;
  GadgetTextSet(GADGET_COUNTER, buffer->base + start);
  buffer->writePosition = start;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ToolkitStart();

  if (WindowCreate(0, 0, 0, 320, 90, "Size demo", DEMO_WINDOW_FLAGS)) {
    StaticGadgetCreate(GADGET_HINT, 10, 10, 300, 20, "Drag a border; the events keep coming.");
    StaticGadgetCreate(GADGET_COUNTER, 10, 40, 300, 20, "Size events: 0");
    int64_t sizeEvents = 0;
    for (;;) {
      int64_t event = EventWait();
      if (event == EVENT_CLOSE_WINDOW) break;
      if (event == EVENT_SIZE_WINDOW) CounterShow(++sizeEvents);
    }
  }

  ToolkitEnd();
  ExitProcess(0);
}
