// Starts what the queue relies on, once per test program: the process heap,
// then the event library (as the utility's start-up does).
#include <gtest/gtest.h>

#include "core/process_heap.h"
#include "window/events/event_queue.h"

namespace {

class EventEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ProcessHeapStart();
    EventLibraryStart();
  }
};

::testing::Environment* const eventEnvironment = ::testing::AddGlobalTestEnvironment(new EventEnvironment);

}  // namespace
