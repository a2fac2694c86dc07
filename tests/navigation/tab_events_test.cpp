// What the event wait returns when Tab moves the focus between two edit
// gadgets, with real key input through the toolkit's own loop: first the
// gaining field's EN_SETFOCUS as a direct event, then the two queued focus
// events, loser first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gadget/edit_gadget.h"
#include "gadget/static_gadget.h"
#include "support/gui_test_support.h"
#include "window/event_wait.h"
#include "window/events/event_codes.h"
#include "window/events/event_queue.h"
#include "window/window_object.h"

namespace {

struct WaitResult {
  int64_t code;
  int64_t gadget;
  int64_t type;
};

std::string ResultsText(const std::vector<WaitResult>& results) {
  std::string text;
  for (const WaitResult& result : results)
    text += "  code " + std::to_string(result.code) + " gadget " + std::to_string(result.gadget) + " type " +
            std::to_string(result.type) + "\n";
  return text;
}

const int64_t WINDOW_NUMBER = 60;

// The utility's layout: labels 0 and 2, fields 1 and 3 (3 read-only).
class TabEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    window = reinterpret_cast<HWND>(WindowCreate(WINDOW_NUMBER, 0, 0, 200, 70, "Tab", 0xCA0001));
    ASSERT_NE(window, nullptr);
    StaticGadgetCreate(0, 10, 12, 100, 20, "Nummer auf Karte:");
    fields[1] = reinterpret_cast<HWND>(EditGadgetCreate(1, 100, 10, 90, 20, ""));
    StaticGadgetCreate(2, 10, 42, 100, 20, "berechnet:");
    fields[3] = reinterpret_cast<HWND>(EditGadgetCreate(3, 100, 40, 90, 20, "", ES_READONLY));
    ASSERT_NE(fields[1], nullptr);
    ASSERT_NE(fields[3], nullptr);
    ASSERT_TRUE(gui::BringToForeground(window)) << "awaited the window in the foreground";
  }

  void TearDown() override {
    WindowDestroy(WINDOW_NUMBER);
    gui::PumpUntilIdle();
    int64_t object, eventWindow, type;
    void* data;
    EventDataRelease release;
    EXPECT_EQ(EventPop(&object, &eventWindow, &type, &data, &release), 0) << "no queued event left behind";
  }

  // Waits until three gadget events came, or five seconds passed.
  std::vector<WaitResult> WaitForGadgetEvents() {
    std::vector<WaitResult> results;
    int gadgetEvents = 0;
    DWORD start = GetTickCount();
    while (gadgetEvents < 3 && GetTickCount() - start < 5000) {
      int64_t code = EventPoll(100);
      if (code == 0) continue;
      results.push_back({code, CurrentEventGadget(), CurrentEventType()});
      gadgetEvents += code == EVENT_GADGET;
    }
    return results;
  }

  void DrainEvents() {
    DWORD start = GetTickCount();
    while (EventPoll(0) != 0 && GetTickCount() - start < 2000) {
    }
  }

  HWND window = nullptr;
  HWND fields[4] = {};
};

TEST_F(TabEvents, TabYieldsSetFocusThenLostFocusThenFocus) {
  static const struct {
    const char* situation;
    int from;
    bool shift;
    int to;
  } cases[] = {
      {"Tab in field 1", 1, false, 3},
      {"Tab in field 3 wraps to field 1", 3, false, 1},
      {"Shift+Tab in field 1 wraps to field 3", 1, true, 3},
      {"Shift+Tab in field 3", 3, true, 1},
  };
  for (const auto& row : cases) {
    SetFocus(fields[row.from]);
    DrainEvents();
    ASSERT_EQ(GetFocus(), fields[row.from]);
    gui::PressKey(VK_TAB, row.shift);
    std::vector<WaitResult> results = WaitForGadgetEvents();
    const WaitResult expected[] = {
        {EVENT_GADGET, row.to, EN_SETFOCUS},
        {EVENT_GADGET, row.from, EVENT_TYPE_LOST_FOCUS},
        {EVENT_GADGET, row.to, EVENT_TYPE_FOCUS},
    };
    // Raw key messages (the Shift press) may come first; from the first
    // gadget event on, the three must follow each other directly.
    size_t first = 0;
    while (first < results.size() && results[first].code != EVENT_GADGET) first++;
    bool same = results.size() - first >= 3;
    for (size_t i = 0; same && i < 3; i++)
      same = results[first + i].code == expected[i].code && results[first + i].gadget == expected[i].gadget &&
             results[first + i].type == expected[i].type;
    EXPECT_TRUE(same) << row.situation << ": expected\n"
                      << ResultsText(std::vector<WaitResult>(expected, expected + 3)) << "got\n"
                      << ResultsText(results);
    EXPECT_EQ(GetFocus(), fields[row.to]) << row.situation;
  }
}

}  // namespace
