// Fixtures of the GUI tests. Each leaves nothing behind for the next test:
// no window record, window class, gadget, control or queued event.
//
// WindowTest         numbered windows made through WindowCreate, destroyed
//                    and checked after each test.
// GadgetWindowTest   an empty window 0, made once per suite, as the current
//                    gadget list; each test empties it again.
// UtilityWindowTest  the utility's own window, made once per suite by the
//                    product's MainWindowCreate: labels 0 and 2, fields 1
//                    and 3.
// Top-level windows live per suite where they can: destroying one costs
// Wine about two seconds without a window manager.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gadget/gadget_core.h"
#include "support/event_sequence.h"
#include "support/gui_test_support.h"
#include "window/window_object.h"

namespace support {

std::string ClassNameOfNumber(int64_t number);
bool ClassRegistered(int64_t number);
// The control of a live gadget, else null.
HWND ControlOf(int64_t gadget);
int64_t LiveGadgetCount();

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // WindowCreate, remembering the number for clean-up; expects success.
  HWND Create(int64_t number, uint32_t flags = 0, int32_t x = 100, int32_t y = 100, int32_t width = 200,
              int32_t height = 120, const char* title = "test");
  WindowObject* Record(int64_t number);
  std::vector<int64_t> numbers;
};

class GadgetWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;
  static HWND window;
};

class UtilityWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  // The four gadgets are live and empty, the window in the foreground,
  // nothing queued.
  void SetUp() override;
  static HWND window;
};

}  // namespace support
