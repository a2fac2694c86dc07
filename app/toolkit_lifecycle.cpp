// See toolkit_lifecycle.h.
#include "app/toolkit_lifecycle.h"

#include "core/process_heap.h"
#include "core/string_buffer.h"
#include "gadget/gadget_core.h"
#include "image/image_support.h"
#include "window/events/event_queue.h"
#include "window/events/module_instance.h"
#include "window/window_object.h"

void ToolkitStart(void) {
  ModuleInstance();
  ProcessHeapStart();
  StringBufferStart();
  ImageLibraryStart();
  EventLibraryStart();
  WindowLibraryStart();
  GadgetLibraryStart();
}

void ToolkitEnd(void) {
  // Destroying the windows runs every gadget's own clean-up.
  WindowLibraryEnd();
  ImageReleaseGraphicsLibrary();
  ImageLibraryEnd();
  // Every record of every library goes with the process heap.
  ProcessHeapEnd();
}
