// The process entry: starts every library in a fixed order (each start
// relies on the ones before it), runs the window, and stops them in a fixed
// order. The process always ends with exit code 0. It reads no command line
// and writes nothing.
#include <windows.h>

#include "app/rfidnummer/rfidnummer.h"
#include "core/process_heap.h"
#include "core/string_buffer.h"
#include "gadget/gadget_core.h"
#include "image/image_support.h"
#include "window/event_queue.h"
#include "window/module_instance.h"
#include "window/window_object.h"

static UINT exitCode;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  exitCode = 0;
  ModuleInstance();
  ProcessHeapStart();
  StringBufferStart();
  ImageLibraryStart();
  EventLibraryStart();
  WindowLibraryStart();
  GadgetLibraryStart();

  if (MainWindowCreate()) EventLoopRun();

  // Destroying the windows runs every gadget's own clean-up.
  WindowLibraryEnd();
  ImageReleaseGraphicsLibrary();
  ImageLibraryEnd();
  // Every record of every library goes with the process heap; the string
  // heap is left to the process end.
  ProcessHeapEnd();
  ExitProcess(exitCode);
}
