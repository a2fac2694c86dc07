// Event waiting under Wine: the order in which queued events, direct events
// and raw messages come out of the waits, the timeouts, the last-event
// copies and the release of event data.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/toolkit.h"
#include "support/gui_test_support.h"
#include "window/event_wait.h"
#include "support/window_fixtures.h"

namespace {

using support::ANY;
using support::END_OF_SEQUENCE;
using support::Recorded;
using support::WindowTest;

int64_t ThreePostsCallback(HWND, UINT message, WPARAM, LPARAM) {
  if (message != WM_APP) return CALL_DEFAULT;
  EventPost(EVENT_SYSTRAY, 1, 20, 0);
  EventPost(EVENT_SYSTRAY, 2, 20, 0);
  EventPost(EVENT_SYSTRAY, 3, 20, 0);
  return 0;
}

TEST_F(WindowTest, EventsPostedInOneDispatchComeOutBeforeTheNextMessage) {
  HWND window = Create(20, WINDOW_HIDDEN);
  Record(20)->windowCallback = ThreePostsCallback;
  support::DrainEvents();
  PostMessageA(window, WM_APP, 0, 0);
  PostMessageA(window, WM_APP + 1, 0, 0);
  // The callback answers WM_APP itself, so that wait returns the raw number
  // before the window number is even set; the object of the last queued
  // event stays, since a wait never resets it.
  static const Recorded expected[] = {
      {WM_APP, ANY, ANY, -1}, {EVENT_SYSTRAY, 1, 20, 0}, {EVENT_SYSTRAY, 2, 20, 0},
      {EVENT_SYSTRAY, 3, 20, 0},          {WM_APP + 1, 3, 20, -1},   END_OF_SEQUENCE};
  EXPECT_SEQUENCE("three posts in one dispatch", expected, support::DrainEvents());
}

TEST_F(WindowTest, RawMessagesCarryTheirParameters) {
  HWND window = Create(21, WINDOW_HIDDEN);
  support::DrainEvents();
  const WindowState* state = WindowStateGet();
  PostMessageA(window, WM_APP + 5, 123, -456);
  ASSERT_EQ(EventPoll(0), WM_APP + 5);
  EXPECT_EQ(state->lastWParam, 123u);
  EXPECT_EQ(state->lastLParam, -456);
  EXPECT_EQ(state->lastWindow, 21);
  EXPECT_EQ(CurrentEventType(), -1);
  // A thread message has no window to dispatch to, and still comes back.
  PostThreadMessageA(GetCurrentThreadId(), WM_APP + 6, 7, 8);
  ASSERT_EQ(EventPoll(0), WM_APP + 6);
  EXPECT_EQ(state->lastWParam, 7u);
  EXPECT_EQ(state->lastLParam, 8);
  // A queued event clears both.
  EventPost(EVENT_GADGET, 42, 21, EVENT_TYPE_LOST_FOCUS);
  ASSERT_EQ(EventPoll(0), EVENT_GADGET);
  EXPECT_EQ(state->lastWParam, 0u);
  EXPECT_EQ(state->lastLParam, 0);
  EXPECT_EQ(state->lastCode, EVENT_GADGET);
}

TEST_F(WindowTest, PollWithoutWaitingKeepsTheLastEvent) {
  Create(22, WINDOW_HIDDEN);
  support::DrainEvents();
  EventPost(EVENT_GADGET, 42, 22, EVENT_TYPE_LOST_FOCUS);
  ASSERT_EQ(EventPoll(0), EVENT_GADGET);
  DWORD start = GetTickCount();
  EXPECT_EQ(EventPoll(0), 0);
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_EQ(CurrentEventGadget(), 42);
  EXPECT_EQ(CurrentEventType(), EVENT_TYPE_LOST_FOCUS);
  EXPECT_EQ(WindowStateGet()->lastWindow, 22);
}

TEST_F(WindowTest, PollWithATimeoutReturnsNothingAfterAboutThatLong) {
  Create(23, WINDOW_HIDDEN);
  const DWORD timeout = 200, slack = 30;
  int64_t result = -1;
  DWORD elapsed = 0;
  // Something of the platform's own may still arrive; a few tries make the
  // quiet case likely without relying on timing.
  for (int attempt = 0; attempt < 5 && result != 0; attempt++) {
    support::DrainEvents();
    DWORD start = GetTickCount();
    result = EventPoll(timeout);
    elapsed = GetTickCount() - start;
  }
  EXPECT_EQ(result, 0);
  EXPECT_GE(elapsed, timeout - slack);
  EXPECT_LT(elapsed, 10000u);
}

TEST_F(WindowTest, InputArrivingDuringATimedWaitIsReturnedAtOnce) {
  HWND window = Create(24, WINDOW_HIDDEN);
  support::DrainEvents();
  std::thread poster([window] {
    Sleep(50);
    PostMessageA(window, WM_APP + 7, 0, 0);
  });
  DWORD start = GetTickCount();
  int64_t result = 0;
  while (result != WM_APP + 7 && GetTickCount() - start < 20000) result = EventPoll(20000);
  DWORD elapsed = GetTickCount() - start;
  poster.join();
  EXPECT_EQ(result, WM_APP + 7);
  EXPECT_LT(elapsed, 10000u);
}

TEST_F(WindowTest, WaitWithoutLimitReturnsTheNextMessage) {
  HWND window = Create(25, WINDOW_HIDDEN);
  support::DrainEvents();
  PostMessageA(window, WM_APP + 8, 1, 2);
  int64_t result = 0;
  for (int i = 0; i < 50 && result != WM_APP + 8; i++) result = EventWait();
  EXPECT_EQ(result, WM_APP + 8);
}

int releaseCalls;
void* releasedData;
void CountRelease(void* data) {
  releaseCalls++;
  releasedData = data;
}

TEST_F(WindowTest, EventDataIsReleasedOnceAtTheStartOfTheNextWait) {
  Create(26, WINDOW_HIDDEN);
  support::DrainEvents();
  static int payload;
  releaseCalls = 0;
  EventPost(EVENT_GADGET, 1, 26, 0, &payload, CountRelease);
  EventPost(EVENT_GADGET, 2, 26, 0, &payload, nullptr);
  ASSERT_EQ(EventPoll(0), EVENT_GADGET);
  EXPECT_EQ(WindowStateGet()->lastData, &payload);
  EXPECT_EQ(releaseCalls, 0);
  ASSERT_EQ(EventPoll(0), EVENT_GADGET);
  EXPECT_EQ(releaseCalls, 1);
  EXPECT_EQ(releasedData, &payload);
  // Data without a release routine is left alone.
  EventPoll(0);
  EventPoll(0);
  EXPECT_EQ(releaseCalls, 1);
}

// A key the Tab table consumes is not translated, so no WM_CHAR follows
// it; any other key is, and the edit's change notification is the event of
// that wait. Posted key messages and real keyboard input (whose key-up
// comes through the wait too) alike.
TEST_F(WindowTest, TabIsConsumedByTheTableOtherKeysReachTheEdit) {
  HWND window = Create(27, 0, 100, 100, 240, 100);
  HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 100, 20, window,
                              reinterpret_cast<HMENU>(static_cast<intptr_t>(31)), GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(support::BringToForeground(window));
  const Recorded KEY_DOWN = {WM_KEYDOWN, ANY, ANY, -1}, KEY_UP = {WM_KEYUP, ANY, ANY, -1},
                 CHANGE = {EVENT_GADGET, 31, 27, EN_CHANGE};
  const struct {
    const char* input;
    bool real;  // SendInput, else a posted WM_KEYDOWN
    WORD key;
    LPARAM keyData;  // of the posted message
    const char* text;
    Recorded expected[4];
  } cases[] = {
      {"posted Tab", false, VK_TAB, 0x000F0001, "", {KEY_DOWN, END_OF_SEQUENCE}},
      {"posted letter", false, 'A', 0x001E0001, "a", {KEY_DOWN, CHANGE, END_OF_SEQUENCE}},
      {"real Tab", true, VK_TAB, 0, "", {KEY_DOWN, KEY_UP, END_OF_SEQUENCE}},
      {"real digit", true, '7', 0, "7", {KEY_DOWN, CHANGE, KEY_UP, END_OF_SEQUENCE}},
  };
  support::EventFilter keys = {{EVENT_GADGET}, {WM_KEYDOWN, WM_KEYUP, WM_CHAR}};
  for (const auto& row : cases) {
    SetWindowTextA(edit, "");
    SetFocus(edit);
    support::DrainEvents();
    size_t count = 0;
    while (!(row.expected[count] == END_OF_SEQUENCE)) count++;
    if (row.real)
      support::PressKey(row.key);
    else
      PostMessageA(edit, WM_KEYDOWN, row.key, row.keyData);
    // What is awaited, then anything that follows it.
    std::vector<Recorded> events = support::AwaitEvents(keys, count);
    for (const Recorded& more : support::DrainEvents(keys)) events.push_back(more);
    EXPECT_SEQUENCE(row.input, row.expected, events);
    EXPECT_EQ(support::WindowText(edit), row.text) << row.input;
  }
}

}  // namespace
