// Starts what every core test relies on, once per test program, as the
// utility's start-up does: the process heap, then the string buffer.
#include <gtest/gtest.h>

#include "core/process_heap.h"
#include "core/string_buffer.h"

namespace {

class CoreEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ProcessHeapStart();
    StringBufferStart();
  }
};

::testing::Environment* const coreEnvironment = ::testing::AddGlobalTestEnvironment(new CoreEnvironment);

}  // namespace
