// Shared by the gadget tests: a fixture that keeps window 0 as the current
// gadget list and checks that nothing of a test is left behind (no live
// gadget, no control, no queued event; at the suite's end no window and no
// window class), plus a recorder for the event queue and a comparer for
// whole event sequences.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/registry.h"
#include "gadget/gadget_core.h"
#include "support/gui_test_support.h"
#include "window/events/event_codes.h"
#include "window/events/event_queue.h"
#include "window/window_object.h"

namespace gadget_test {

struct RecordedEvent {
  int32_t code;
  int64_t object;
  int64_t window;
  int64_t type;
};

inline bool operator==(const RecordedEvent& a, const RecordedEvent& b) {
  return a.code == b.code && a.object == b.object && a.window == b.window && a.type == b.type;
}

inline std::string Describe(const std::vector<RecordedEvent>& events) {
  std::string text;
  for (const RecordedEvent& event : events) {
    char line[160];
    snprintf(line, sizeof line, "  (code %d, object %lld, window %lld, type %lld)\n", event.code,
             static_cast<long long>(event.object), static_cast<long long>(event.window),
             static_cast<long long>(event.type));
    text += line;
  }
  return text.empty() ? "  (none)\n" : text;
}

// Pops every queued event, oldest first.
inline std::vector<RecordedEvent> QueuedEventsTake() {
  std::vector<RecordedEvent> events;
  for (;;) {
    RecordedEvent event = {};
    void* data = nullptr;
    EventDataRelease release = nullptr;
    event.code = EventPop(&event.object, &event.window, &event.type, &data, &release);
    if (event.code == 0) break;
    if (data && release) release(data);
    events.push_back(event);
  }
  return events;
}

// Pops every queued EVENT_GADGET event, oldest first, dropping the rest
// (repaints and the like, which destroying a control may cause).
inline std::vector<RecordedEvent> QueuedGadgetEventsTake() {
  std::vector<RecordedEvent> events;
  for (const RecordedEvent& event : QueuedEventsTake())
    if (event.code == EVENT_GADGET) events.push_back(event);
  return events;
}

// Compares the queue's whole content with the expected sequence and prints
// both on a mismatch.
#define EXPECT_QUEUED_EVENTS(...)                                                                       \
  do {                                                                                                  \
    std::vector<gadget_test::RecordedEvent> expectedEvents = __VA_ARGS__;                               \
    std::vector<gadget_test::RecordedEvent> actualEvents = gadget_test::QueuedEventsTake();             \
    EXPECT_TRUE(actualEvents == expectedEvents) << "expected:\n"                                        \
                                                << gadget_test::Describe(expectedEvents) << "actual:\n" \
                                                << gadget_test::Describe(actualEvents);                 \
  } while (0)

#define EXPECT_QUEUED_GADGET_EVENTS(...)                                                                \
  do {                                                                                                  \
    std::vector<gadget_test::RecordedEvent> expectedEvents = __VA_ARGS__;                               \
    std::vector<gadget_test::RecordedEvent> actualEvents = gadget_test::QueuedGadgetEventsTake();       \
    EXPECT_TRUE(actualEvents == expectedEvents) << "expected:\n"                                        \
                                                << gadget_test::Describe(expectedEvents) << "actual:\n" \
                                                << gadget_test::Describe(actualEvents);                 \
  } while (0)

inline int64_t LiveGadgetCount() {
  ObjectRegistry* registry = GadgetRegistry();
  RegistryEnumStart(registry);
  int64_t number = 0, count = 0;
  while (RegistryEnumNext(registry, &number)) count++;
  return count;
}

inline HWND ControlOf(int64_t number) {
  GadgetObject* gadget = static_cast<GadgetObject*>(RegistryLookup(GadgetRegistry(), number));
  return gadget ? gadget->handle : nullptr;
}

// Window 0 is made once per test suite (destroying a top-level window costs
// Wine about two seconds without a window manager); every test starts with
// it empty and leaves it empty, and the suite's end destroys it.
class GadgetWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (WindowCreate(0, 0, 0, 200, 70, "Gadget test", 0xCA0001))
      window = static_cast<WindowObject*>(RegistryLookup(WindowRegistry(), 0))->handle;
  }

  static void TearDownTestSuite() {
    WindowDestroy(0);
    window = nullptr;
    EventPurge(-1, -1, -1, -1);
    WNDCLASSA windowClass;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_0", &windowClass))
        << "the window class outlived the window";
  }

  void SetUp() override {
    ASSERT_NE(window, nullptr) << "window 0 could not be created";
    ASSERT_EQ(LiveGadgetCount(), 0) << "a gadget of an earlier test is still live";
    QueuedEventsTake();
  }

  void TearDown() override {
    // Discarding frees dynamic records, so the walk starts over each time.
    for (;;) {
      RegistryEnumStart(GadgetRegistry());
      int64_t number = 0;
      if (!RegistryEnumNext(GadgetRegistry(), &number)) break;
      GadgetDiscard(number);
    }
    EventPurge(-1, -1, -1, -1);
    EXPECT_EQ(GetWindow(window, GW_CHILD), nullptr) << "a control of the test outlived it";
  }

  static HWND window;
};

inline HWND GadgetWindowTest::window = nullptr;

}  // namespace gadget_test
