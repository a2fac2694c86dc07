// Starts the toolkit once per GUI test program, in the utility's start-up
// order: process heap, string buffer, image support, events, windows,
// gadgets.
#include <gtest/gtest.h>

#include "core/process_heap.h"
#include "core/string_buffer.h"
#include "gadget/gadget_core.h"
#include "image/image_support.h"
#include "window/event_queue.h"
#include "window/window_object.h"

namespace {

class ToolkitEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ProcessHeapStart();
    StringBufferStart();
    ImageLibraryStart();
    EventLibraryStart();
    WindowLibraryStart();
    GadgetLibraryStart();
  }
};

::testing::Environment* const toolkitEnvironment = ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

}  // namespace
