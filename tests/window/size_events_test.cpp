// Events keep flowing while a window is resized: the size events of a
// border drag arrive through the toolkit's own wait, one per movement,
// between the raw WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE. Checked in this
// process and in the sizedemo program, which counts them in its window.
//
// The border press is posted (Wine leaves window frames to a window
// manager, and Xvfb runs none); the movements and keys are real input.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include "support/child_process.h"
#include "support/gui_test_support.h"
#include "window/event_wait.h"
#include "window/events/event_codes.h"
#include "window/events/event_queue.h"
#include "window/size_tracking.h"
#include "window/window_object.h"

namespace {

const int MOVES = 5;

class SizeEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &savedFullDrag, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
  }
  void TearDown() override { SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, savedFullDrag, nullptr, 0); }

  // Polls the wait until condition holds; counts what arrives meanwhile.
  template <typename Condition>
  bool WaitCounting(Condition condition, DWORD timeoutMs = 5000) {
    DWORD start = GetTickCount();
    while (!condition()) {
      if (GetTickCount() - start >= timeoutMs) return false;
      int64_t event = EventPoll(20);
      if (event == EVENT_SIZE_WINDOW) sizeEvents += SizeTrackStateGet()->active ? 1 : 0;
      if (event == WM_ENTERSIZEMOVE) enters++;
      if (event == WM_EXITSIZEMOVE) exits++;
    }
    return true;
  }

  BOOL savedFullDrag = FALSE;
  int sizeEvents = 0, enters = 0, exits = 0;
};

TEST_F(SizeEvents, BorderDragDeliversSizeEventsThroughTheWait) {
  const int64_t number = 70;
  HWND window = reinterpret_cast<HWND>(WindowCreate(number, 200, 150, 300, 200, "Sizing",
                                                    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WINDOW_NO_GADGET_LIST));
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(support::BringToForeground(window)) << "awaited the window in the foreground";
  RECT rect;
  GetWindowRect(window, &rect);
  support::MoveMouseTo((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  support::LeftButton(true);
  ASSERT_TRUE(WaitCounting([] { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; })) << "awaited the button press";
  PostMessageA(window, WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, 0);
  ASSERT_TRUE(WaitCounting([&] { return SizeTrackStateGet()->active && GetCapture() == window; }))
      << "awaited tracking of the border drag";
  for (int move = 1; move <= MOVES; move++) {
    int x = rect.right + 10 * move, y = rect.bottom + 5 * move;
    support::MoveMouseTo(x, y);
    EXPECT_TRUE(WaitCounting([&] { return sizeEvents == move; }))
        << "awaited size event " << move << " while the border is dragged";
    RECT now;
    GetWindowRect(window, &now);
    EXPECT_EQ(now.right, x + 2);
    EXPECT_EQ(now.bottom, y + 2);
  }
  support::LeftButton(false);
  ASSERT_TRUE(WaitCounting([&] { return !SizeTrackStateGet()->active && exits == 1; }))
      << "awaited WM_EXITSIZEMOVE through the wait";
  EXPECT_EQ(sizeEvents, MOVES) << "one size event per movement";
  EXPECT_EQ(enters, 1);
  WindowDestroy(number);
  support::PumpUntilIdle();
  EXPECT_SEQUENCE("events left behind", support::NOTHING, support::QueuedEventsTake());
}

// The demo program sits in the build tree's app folder, beside tests/.
std::string DemoPath() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text(path, length);
  size_t slash = text.find_last_of("\\/");
  if (slash == std::string::npos) return "";
  text.resize(slash);
  slash = text.find_last_of("\\/");
  if (slash == std::string::npos) return "";
  return text.substr(0, slash) + "\\app\\sizedemo.exe";
}

TEST_F(SizeEvents, DemoProgramCountsSizeEventsDuringADrag) {
  std::string demo = DemoPath();
  if (GetFileAttributesA(demo.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no " << demo;
  support::ChildProcess demoProcess;
  ASSERT_TRUE(support::ChildStart(&demoProcess, demo, {})) << "error " << demoProcess.startError;
  HWND window = support::ChildWindowAwait(demoProcess, "Size demo", 10000);
  ASSERT_NE(window, nullptr);
  HWND counter = nullptr;
  ASSERT_TRUE(support::PumpUntil([&] {
    for (HWND child = FindWindowExA(window, nullptr, "Static", nullptr); child;
         child = FindWindowExA(window, child, "Static", nullptr))
      if (support::WindowText(child).rfind("Size events:", 0) == 0) counter = child;
    return counter != nullptr;
  })) << "awaited the counter";
  int before = atoi(support::WindowText(counter).c_str() + strlen("Size events:"));

  ASSERT_TRUE(support::PumpUntil([&] {
    SetForegroundWindow(window);
    return GetForegroundWindow() == window;
  })) << "awaited the demo in the foreground";
  RECT start;
  GetWindowRect(window, &start);
  const int middleY = (start.top + start.bottom) / 2;
  // Without a button held the tracker makes the press itself; Enter ends
  // the drag. Capture shows in the demo thread's state once it tracks.
  PostMessageA(window, WM_NCLBUTTONDOWN, HTRIGHT, 0);
  auto demoCapture = [&] {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(demoProcess.process.dwThreadId, &info);
    return info.hwndCapture;
  };
  ASSERT_TRUE(support::PumpUntil([&] { return demoCapture() == window; })) << "awaited the demo tracking the drag";
  for (int move = 1; move <= MOVES; move++) {
    const int x = start.right + 10 * move;
    support::MoveMouseTo(x, middleY);
    RECT now = {};
    EXPECT_TRUE(support::PumpUntil([&] {
      GetWindowRect(window, &now);
      return now.right == x + 2;
    })) << "awaited the demo's right edge at " << x + 2 << ", it is at " << now.right;
  }
  int counted = 0;
  EXPECT_TRUE(support::PumpUntil([&] {
    counted = atoi(support::WindowText(counter).c_str() + strlen("Size events:"));
    return counted - before >= MOVES;
  })) << "the demo counted " << counted - before << " size events during the drag, expected " << MOVES;
  support::PressKey(VK_RETURN);
  EXPECT_TRUE(support::PumpUntil([&] { return demoCapture() == nullptr; })) << "awaited the end of the drag on Enter";
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(support::ChildAwaitExit(&demoProcess, 10000, "the demo's end on close").code, 0);
  support::PumpUntilIdle();
}

}  // namespace
