// Live size tracking on real windows under Wine. The windows here use a
// window procedure of their own that hands every message to the tracker
// first, as the toolkit's class procedure does, and records what it saw.
//
// Wine has no window manager on Xvfb and leaves window frames to it, so a
// sizing border cannot be pressed with the real mouse; the tests post the
// border press (WM_NCLBUTTONDOWN with the edge's hit-test code, which the
// default procedure turns into SC_SIZE) and drive everything else with real
// input.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "core/toolkit.h"
#include "support/gui_test_support.h"
#include "window/size_tracking.h"

namespace {

const char* const TRACKED_CLASS = "SizeTrackTestWindow";

using support::ANSWERED;
using support::END_OF_SEQUENCE;
using support::PASSED_ON;
using support::Recorded;

// What the window saw: message, wParam, 0, and whether the tracker
// answered it.
std::vector<Recorded> seen;
// Lets a test play the window's WM_SIZING handler.
void (*sizingHandler)(RECT* rect);

bool Watched(UINT message) {
  switch (message) {
    case WM_SYSCOMMAND: case WM_GETMINMAXINFO: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_KEYDOWN:
    case WM_SIZING: case WM_CAPTURECHANGED: case WM_ENTERSIZEMOVE: case WM_EXITSIZEMOVE:
      return true;
  }
  return false;
}

LRESULT CALLBACK TrackedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Recorded on arrival, so that messages sent from inside the tracker
  // come after the one that caused them.
  size_t index = seen.size();
  bool recorded = Watched(message);
  if (recorded) {
    WPARAM shown = message == WM_LBUTTONDOWN ? wParam & MK_LBUTTON : wParam;
    seen.push_back({message, static_cast<int64_t>(shown), 0, PASSED_ON});
  }
  int64_t result = SizeTrackMessage(window, message, wParam, lParam);
  if (recorded && index < seen.size() && result != NOT_HANDLED) seen[index].type = ANSWERED;
  if (result != NOT_HANDLED) return static_cast<LRESULT>(result);
  switch (message) {
    case WM_SIZING:
      if (sizingHandler) sizingHandler(reinterpret_cast<RECT*>(lParam));
      return TRUE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int SeenCount(UINT message) {
  int count = 0;
  for (const support::Recorded& entry : seen) count += entry.code == message;
  return count;
}

RECT WindowRect(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect;
}

std::string RectText(const RECT& rect) {
  char text[80];
  snprintf(text, sizeof text, "(%ld, %ld, %ld, %ld)", rect.left, rect.top, rect.right, rect.bottom);
  return text;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

POINT CursorPosition() {
  POINT point;
  GetCursorPos(&point);
  return point;
}

// The tests share one top-level window: destroying one costs Wine a
// two-second wait for a window manager that is not there.
class SizeTracking : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TrackedWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = TRACKED_CLASS;
    RegisterClassA(&windowClass);
    shared = NewTopLevel(200, 150, 300, 200);
  }

  static void TearDownTestSuite() {
    DestroyWindow(shared);
    shared = nullptr;
    support::PumpUntilIdle();
    EXPECT_TRUE(UnregisterClassA(TRACKED_CLASS, GetModuleHandleA(nullptr))) << "all test windows destroyed";
  }

  void SetUp() override {
    ASSERT_NE(SizeTrackStateGet(), nullptr) << "the window library creates the tracker's state";
    ASSERT_NE(shared, nullptr);
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &savedFullDrag, 0);
    SetFullWindowDragging(TRUE);
    seen.clear();
    sizingHandler = nullptr;
  }

  void TearDown() override {
    if (SizeTrackStateGet()->active) ReleaseCapture();
    support::PumpUntilIdle();
    EXPECT_EQ(SizeTrackStateGet()->active, 0) << "every test ends its sizing operation";
    for (HWND window : windows) DestroyWindow(window);
    support::PumpUntilIdle();
    SetFullWindowDragging(savedFullDrag);
    BOOL now = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &now, 0);
    EXPECT_EQ(!!now, !!savedFullDrag) << "full-window dragging restored";
  }

  static void SetFullWindowDragging(BOOL on) { SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, on, nullptr, 0); }

  static HWND NewTopLevel(int x, int y, int width, int height) {
    return CreateWindowExA(0, TRACKED_CLASS, "sizing", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  }

  // The shared window, placed afresh.
  static HWND TopLevel(int x, int y, int width, int height) {
    MoveWindow(shared, x, y, width, height, TRUE);
    return shared;
  }

  // A window of the tracked class inside another; destroyed after the test.
  HWND Child(HWND parent, DWORD style, int x, int y, int width, int height) {
    HWND window = CreateWindowExA(0, TRACKED_CLASS, "", WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    windows.push_back(window);
    return window;
  }

  // Mouse sizing as the system starts it: button held, border pressed.
  void PressBorder(HWND window, int hitTest) {
    RECT rect = WindowRect(window);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    support::MoveMouseTo(centre.x, centre.y);
    support::LeftButton(true);
    ASSERT_TRUE(support::PumpUntil([] { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; }))
        << "awaited the left button press";
    PostMessageA(window, WM_NCLBUTTONDOWN, hitTest, MAKELPARAM(centre.x, centre.y));
    ASSERT_TRUE(support::PumpUntil([&] { return SizeTrackStateGet()->active && GetCapture() == window; }))
        << "awaited tracking with the mouse captured";
  }

  void DragTo(int x, int y) {
    support::MoveMouseTo(x, y);
    ASSERT_TRUE(support::PumpUntil([&] {
      POINT point = CursorPosition();
      return point.x == x && point.y == y;
    })) << "awaited the cursor at " << x << ", " << y;
    support::PumpUntilIdle();
  }

  void ReleaseButton() {
    support::LeftButton(false);
    ASSERT_TRUE(support::PumpUntil([] { return !SizeTrackStateGet()->active; })) << "awaited the end of tracking";
    support::PumpUntilIdle();
  }

  // Keyboard sizing, as the window menu's size command starts it.
  void StartKeyboardSizing(HWND window) {
    ASSERT_TRUE(support::BringToForeground(window)) << "awaited the test window in the foreground";
    support::PumpUntilIdle();
    seen.clear();
    SendMessageA(window, WM_SYSCOMMAND, SC_SIZE, 0);
    ASSERT_TRUE(SizeTrackStateGet()->active);
    support::PumpUntilIdle();
  }

  void PressAndWait(WORD key) {
    int before = SeenCount(WM_KEYDOWN);
    support::PressKey(key);
    ASSERT_TRUE(support::PumpUntil([&] { return SeenCount(WM_KEYDOWN) > before; }))
        << "awaited WM_KEYDOWN of key " << key;
    support::PumpUntilIdle();
  }

  static HWND shared;
  BOOL savedFullDrag = FALSE;
  std::vector<HWND> windows;  // made by the test, destroyed after it
};

HWND SizeTracking::shared;

TEST(SizeTrackPoint, EdgesFollowThePointWithinTheLimits) {
  SizeTrackState* state = SizeTrackStateGet();
  ASSERT_NE(state, nullptr);
  SizeTrackState saved = *state;
  static const struct {
    int mode, x, y;
    RECT expected;
  } cases[] = {
      {4, 150, 120, {148, 118, 400, 300}},    // top-left corner sits 2 inside both edges
      {1, 380, 120, {300, 100, 400, 300}},    // too narrow: held at the minimum width
      {1, 300, 120, {300, 100, 400, 300}},    // exactly the minimum width
      {1, -2000, 120, {-600, 100, 400, 300}}, // too wide: held at the maximum width
      {2, 150, 120, {100, 100, 200, 300}},
      {2, 3000, 120, {100, 100, 1100, 300}},
      {2, 600, 120, {100, 100, 602, 300}},
      {3, 150, 280, {100, 250, 400, 300}},    // too low: held at the minimum height
      {3, 150, -2000, {100, -500, 400, 300}},
      {5, 300, 150, {100, 150, 302, 300}},
      {6, 150, 120, {100, 100, 400, 150}},
      {6, 150, 3000, {100, 100, 400, 900}},
      {7, 200, 250, {200, 100, 400, 252}},
      {8, 380, 290, {100, 100, 382, 292}},
      {0, 10, 10, {100, 100, 400, 300}},      // keyboard sizing before an edge is chosen
  };
  for (const auto& row : cases) {
    state->trackRect = {100, 100, 400, 300};
    state->limits.ptMinTrackSize = {100, 50};
    state->limits.ptMaxTrackSize = {1000, 800};
    state->mode = row.mode;
    SizeTrackApplyPoint(row.x, row.y);
    EXPECT_TRUE(SameRect(state->trackRect, row.expected))
        << "mode " << row.mode << " at (" << row.x << ", " << row.y << "): expected " << RectText(row.expected)
        << ", got " << RectText(state->trackRect);
  }
  *state = saved;
}

TEST_F(SizeTracking, OnlySizeCommandsWithFullWindowDraggingAreTaken) {
  HWND window = TopLevel(200, 150, 300, 200);
  static const struct {
    UINT message;
    WPARAM wParam;
    BOOL fullDrag;
  } passed[] = {
      {WM_SYSCOMMAND, SC_SIZE, FALSE},
      {WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, FALSE},
      {WM_SYSCOMMAND, SC_MOVE, TRUE},
      {WM_SYSCOMMAND, SC_MOVE | 2, TRUE},
      {WM_SYSCOMMAND, SC_MAXIMIZE, TRUE},
      {WM_MOUSEMOVE, 0, TRUE},
      {WM_KEYDOWN, VK_RETURN, TRUE},
      {WM_CAPTURECHANGED, 0, TRUE},
  };
  // Asked directly: the default procedure would run the system's own modal
  // loop for the commands the tracker leaves alone.
  for (const auto& row : passed) {
    SetFullWindowDragging(row.fullDrag);
    EXPECT_EQ(SizeTrackMessage(window, row.message, row.wParam, 0), NOT_HANDLED)
        << support::CodeName(row.message) << " wParam " << row.wParam << " full-window dragging " << row.fullDrag;
    EXPECT_EQ(SizeTrackStateGet()->active, 0);
  }
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SizeTracking, KeyboardSizingStartsAndEndsWithTheseMessages) {
  // The synthetic button press is made only while the button's state word
  // is 0; a toggled button (odd number of presses so far) counts as pressed.
  static const support::Recorded withPress[] = {
      {WM_SYSCOMMAND, SC_SIZE, 0, ANSWERED},       {WM_GETMINMAXINFO, 0, 0, PASSED_ON},
      {WM_LBUTTONDOWN, MK_LBUTTON, 0, PASSED_ON},  {WM_ENTERSIZEMOVE, 0, 0, PASSED_ON},
      {WM_KEYDOWN, VK_RETURN, 0, ANSWERED},        {WM_CAPTURECHANGED, 0, 0, ANSWERED},
      {WM_EXITSIZEMOVE, 0, 0, PASSED_ON},          END_OF_SEQUENCE};
  static const support::Recorded withoutPress[] = {
      {WM_SYSCOMMAND, SC_SIZE, 0, ANSWERED},  {WM_GETMINMAXINFO, 0, 0, PASSED_ON},
      {WM_ENTERSIZEMOVE, 0, 0, PASSED_ON},    {WM_KEYDOWN, VK_RETURN, 0, ANSWERED},
      {WM_CAPTURECHANGED, 0, 0, ANSWERED},    {WM_EXITSIZEMOVE, 0, 0, PASSED_ON},
      END_OF_SEQUENCE};
  static const struct {
    BYTE buttonState;
    const support::Recorded* expected;
  } cases[] = {{0, withPress}, {1, withoutPress}};

  HWND window = TopLevel(200, 150, 300, 200);
  for (const auto& row : cases) {
    ASSERT_TRUE(support::BringToForeground(window)) << "awaited the test window in the foreground";
    support::PumpUntilIdle();
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = row.buttonState;
    SetKeyboardState(keys);
    seen.clear();
    SendMessageA(window, WM_SYSCOMMAND, SC_SIZE, 0);
    EXPECT_EQ(GetCapture(), window);
    EXPECT_EQ(SizeTrackStateGet()->mode, 0);
    support::PumpUntilIdle();
    PressAndWait(VK_RETURN);
    EXPECT_EQ(SizeTrackStateGet()->active, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_SEQUENCE("button state " + std::to_string(row.buttonState), row.expected, seen);
  }
}

TEST_F(SizeTracking, MouseSizingMovesTheEdgesOfThePressedBorder) {
  // The window starts at (200, 150, 500, 350); each row drags one border.
  static const struct {
    int hitTest;
    int mode;
    POINT target;
    RECT expected;
  } cases[] = {
      {HTLEFT, WMSZ_LEFT, {150, 250}, {150, 150, 500, 350}},
      {HTRIGHT, WMSZ_RIGHT, {600, 250}, {200, 150, 602, 350}},
      {HTTOP, WMSZ_TOP, {300, 100}, {200, 100, 500, 350}},
      {HTTOPLEFT, WMSZ_TOPLEFT, {150, 100}, {148, 98, 500, 350}},
      {HTTOPRIGHT, WMSZ_TOPRIGHT, {600, 100}, {200, 100, 602, 350}},
      {HTBOTTOM, WMSZ_BOTTOM, {300, 400}, {200, 150, 500, 402}},
      {HTBOTTOMLEFT, WMSZ_BOTTOMLEFT, {150, 400}, {150, 150, 500, 402}},
      {HTBOTTOMRIGHT, WMSZ_BOTTOMRIGHT, {500, 400}, {200, 150, 502, 402}},
  };
  HWND window = TopLevel(200, 150, 300, 200);
  for (const auto& row : cases) {
    SCOPED_TRACE("mode " + std::to_string(row.mode));
    MoveWindow(window, 200, 150, 300, 200, TRUE);
    ASSERT_TRUE(support::BringToForeground(window)) << "awaited the test window in the foreground";
    seen.clear();
    PressBorder(window, row.hitTest);
    EXPECT_EQ(SizeTrackStateGet()->mode, row.mode);
    DragTo(row.target.x, row.target.y);
    EXPECT_TRUE(SameRect(WindowRect(window), row.expected))
        << "expected " << RectText(row.expected) << ", window at " << RectText(WindowRect(window));
    EXPECT_TRUE(SameRect(SizeTrackStateGet()->trackRect, row.expected));
    ReleaseButton();
    EXPECT_EQ(GetCapture(), nullptr);
    // The button was already down: no synthetic press, one start, one end.
    EXPECT_EQ(SeenCount(WM_LBUTTONDOWN), 1) << "only the real press";
    EXPECT_EQ(SeenCount(WM_ENTERSIZEMOVE), 1);
    EXPECT_EQ(SeenCount(WM_EXITSIZEMOVE), 1);
  }
}

TEST_F(SizeTracking, MouseSizingStopsAtTheWindowsOwnLimits) {
  HWND window = TopLevel(200, 150, 300, 200);
  ASSERT_TRUE(support::BringToForeground(window));
  PressBorder(window, HTLEFT);
  int minWidth = SizeTrackStateGet()->limits.ptMinTrackSize.x;
  DragTo(490, 250);
  RECT rect = WindowRect(window);
  EXPECT_EQ(rect.right, 500) << "the opposite edge stays";
  EXPECT_EQ(rect.right - rect.left, minWidth) << "width held at the minimum track width";
  ReleaseButton();
}

TEST_F(SizeTracking, SizingHandlerDecidesWhereTheWindowGoes) {
  HWND window = TopLevel(200, 150, 300, 200);
  ASSERT_TRUE(support::BringToForeground(window));
  PressBorder(window, HTRIGHT);
  sizingHandler = [](RECT* rect) { rect->bottom = rect->top + 123; };
  DragTo(600, 250);
  EXPECT_TRUE(SameRect(WindowRect(window), RECT{200, 150, 602, 273})) << RectText(WindowRect(window));
  // The handler's change stays in the tracked rectangle for later steps.
  sizingHandler = nullptr;
  DragTo(650, 260);
  EXPECT_TRUE(SameRect(WindowRect(window), RECT{200, 150, 652, 273})) << RectText(WindowRect(window));
  ReleaseButton();
}

TEST_F(SizeTracking, ChildWindowIsPlacedInItsParentsCoordinates) {
  HWND parent = TopLevel(100, 100, 500, 400);
  HWND child = Child(parent, WS_THICKFRAME, 20, 30, 150, 100);
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(support::BringToForeground(parent));
  RECT before = WindowRect(child);
  PressBorder(child, HTBOTTOMRIGHT);
  DragTo(before.right + 40, before.bottom + 30);
  RECT expected = {before.left, before.top, before.right + 42, before.bottom + 32};
  EXPECT_TRUE(SameRect(WindowRect(child), expected))
      << "expected " << RectText(expected) << " on the screen, child at " << RectText(WindowRect(child));
  EXPECT_TRUE(SameRect(SizeTrackStateGet()->trackRect, expected)) << "the tracked rectangle stays on the screen";
  ReleaseButton();
}

TEST_F(SizeTracking, ArrowKeysChooseEdgesThenMoveThem) {
  // A first arrow picks an edge, one at right angles makes it a corner,
  // every further arrow moves the chosen edges by 10 pixels. The window
  // starts at (200, 150, 500, 350); the cursor at (350, 250).
  static const struct {
    WORD keys[4];
    int mode;
    RECT expected;
    POINT cursor;
  } cases[] = {
      {{VK_RIGHT, VK_DOWN}, 8, {200, 150, 500, 350}, {498, 348}},
      {{VK_RIGHT, VK_DOWN, VK_DOWN}, 8, {200, 150, 500, 360}, {498, 358}},
      {{VK_LEFT}, 1, {200, 150, 500, 350}, {200, 250}},
      {{VK_LEFT, VK_LEFT}, 1, {190, 150, 500, 350}, {190, 250}},
      {{VK_UP, VK_LEFT}, 4, {200, 150, 500, 350}, {202, 152}},
      {{VK_UP, VK_RIGHT, VK_RIGHT}, 5, {200, 150, 510, 350}, {508, 150}},
      {{VK_DOWN, VK_LEFT, VK_UP}, 7, {200, 150, 500, 340}, {200, 338}},
      {{VK_UP, VK_UP}, 3, {200, 140, 500, 350}, {350, 140}},
  };
  HWND window = TopLevel(200, 150, 300, 200);
  for (const auto& row : cases) {
    MoveWindow(window, 200, 150, 300, 200, TRUE);
    SetCursorPos(350, 250);
    StartKeyboardSizing(window);
    std::string keys;
    for (WORD key : row.keys) {
      if (!key) break;
      PressAndWait(key);
      keys += std::to_string(key) + " ";
    }
    SCOPED_TRACE("keys " + keys);
    EXPECT_EQ(SizeTrackStateGet()->mode, row.mode);
    EXPECT_TRUE(SameRect(WindowRect(window), row.expected))
        << "expected " << RectText(row.expected) << ", window at " << RectText(WindowRect(window));
    POINT cursor = CursorPosition();
    EXPECT_TRUE(cursor.x == row.cursor.x && cursor.y == row.cursor.y)
        << "cursor expected at " << row.cursor.x << ", " << row.cursor.y << ", is at " << cursor.x << ", "
        << cursor.y;
    PressAndWait(VK_RETURN);
    EXPECT_EQ(SizeTrackStateGet()->active, 0);
    EXPECT_TRUE(SameRect(WindowRect(window), row.expected)) << "Enter keeps the size reached";
  }
}

TEST_F(SizeTracking, EveryEndBeforeAnyArrowPutsTheCursorBack) {
  // Enter and Esc end tracking; so does the sized window's destruction.
  static const WPARAM ends[] = {VK_RETURN, VK_ESCAPE, 0};
  for (WPARAM key : ends) {
    HWND window = key ? TopLevel(200, 150, 300, 200) : NewTopLevel(200, 150, 300, 200);
    SetCursorPos(350, 250);
    StartKeyboardSizing(window);
    RECT before = WindowRect(window);
    // The end comes before the movement reaches the window, as when
    // something else moved the cursor meanwhile.
    SetCursorPos(600, 500);
    if (key) {
      EXPECT_EQ(SendMessageA(window, WM_KEYDOWN, key, 0), 0) << "Enter and Esc are consumed";
      EXPECT_TRUE(SameRect(WindowRect(window), before));
    } else {
      DestroyWindow(window);
    }
    EXPECT_EQ(SizeTrackStateGet()->active, 0);
    support::PumpUntilIdle();
    POINT cursor = CursorPosition();
    EXPECT_TRUE(cursor.x == 350 && cursor.y == 250)
        << "key " << key << ": cursor expected back at 350, 250, is at " << cursor.x << ", " << cursor.y;
  }
}

TEST_F(SizeTracking, MouseMovementBeforeAnEdgeIsChosenKeepsTheRectangle) {
  HWND window = TopLevel(200, 150, 300, 200);
  SetCursorPos(350, 250);
  StartKeyboardSizing(window);
  RECT before = WindowRect(window);
  seen.clear();
  DragTo(420, 300);
  bool sizingWithNoEdge = false;
  for (const support::Recorded& entry : seen) sizingWithNoEdge |= entry.code == WM_SIZING && entry.object == 0;
  EXPECT_TRUE(sizingWithNoEdge) << "WM_SIZING is still sent, with mode 0:\n"
                                << support::SequenceText(std::vector<support::Recorded>(), seen);
  EXPECT_TRUE(SameRect(WindowRect(window), before)) << RectText(WindowRect(window));
  EXPECT_EQ(SizeTrackStateGet()->restoreCursor, 0) << "a mouse movement gives up the saved cursor";
  PressAndWait(VK_ESCAPE);
  POINT cursor = CursorPosition();
  EXPECT_TRUE(cursor.x == 420 && cursor.y == 300) << "cursor stays where the mouse took it";
}

TEST_F(SizeTracking, ArrowKeysAlsoReachTheWindowEnterAndEscDoNot) {
  HWND window = TopLevel(200, 150, 300, 200);
  SetCursorPos(350, 250);
  StartKeyboardSizing(window);
  EXPECT_EQ(SizeTrackMessage(window, WM_KEYDOWN, VK_RIGHT, 0), NOT_HANDLED);
  EXPECT_EQ(SizeTrackStateGet()->mode, WMSZ_RIGHT) << "the arrow acted although it passes on";
  EXPECT_EQ(SizeTrackMessage(window, WM_KEYDOWN, 'A', 0), NOT_HANDLED);
  EXPECT_EQ(SizeTrackMessage(window, WM_CHAR, 'a', 0), NOT_HANDLED);
  // Messages of other windows are not the tracked window's business.
  HWND other = Child(window, 0, 10, 10, 50, 50);
  EXPECT_EQ(SizeTrackMessage(other, WM_LBUTTONUP, 0, 0), NOT_HANDLED);
  EXPECT_EQ(SizeTrackStateGet()->active, 1);
  EXPECT_EQ(SizeTrackMessage(window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
  EXPECT_EQ(SizeTrackStateGet()->active, 0);
}

TEST_F(SizeTracking, DestroyingTheSizedWindowEndsTracking) {
  HWND window = NewTopLevel(200, 150, 300, 200);
  StartKeyboardSizing(window);
  DestroyWindow(window);
  EXPECT_EQ(SizeTrackStateGet()->active, 0);
  HWND next = TopLevel(200, 150, 300, 200);
  StartKeyboardSizing(next);
  EXPECT_EQ(GetCapture(), next) << "a later window can be sized again";
  PressAndWait(VK_RETURN);
}

}  // namespace
