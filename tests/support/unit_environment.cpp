// Starts what the portable tests rely on, once per test program and in the
// utility's order: the process heap, the string buffer, the event library.
#include <gtest/gtest.h>

#include "core/process_heap.h"
#include "core/string_buffer.h"
#include "window/events/event_queue.h"

namespace {

class UnitEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ProcessHeapStart();
    StringBufferStart();
    EventLibraryStart();
  }
};

::testing::Environment* const unitEnvironment = ::testing::AddGlobalTestEnvironment(new UnitEnvironment);

}  // namespace
