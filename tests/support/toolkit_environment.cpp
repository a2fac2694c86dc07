// Starts the toolkit once per GUI test program, exactly as the utility
// does.
#include <gtest/gtest.h>

#include "app/toolkit_lifecycle.h"

namespace {

class ToolkitEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ToolkitStart();
  }
};

::testing::Environment* const toolkitEnvironment = ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

}  // namespace
