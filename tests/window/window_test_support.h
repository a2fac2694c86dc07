// Shared by the window tests: a recorder that runs the toolkit's own wait and
// collects the events it returns, a comparer that prints both sequences with
// file and line, and a fixture that leaves no window, class or queued event
// behind.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/events/event_queue.h"
#include "window/window_object.h"

namespace wintest {

struct RecordedEvent {
  int64_t code;    // event code, or a raw message number
  int64_t object;  // CurrentEventGadget
  int64_t window;  // lastWindow
  int64_t type;    // CurrentEventType
  bool operator==(const RecordedEvent& other) const {
    return code == other.code && object == other.object && window == other.window && type == other.type;
  }
};

// Sentinel ending an expected-event table.
const RecordedEvent END_OF_EVENTS = {0, 0, 0, 0};
// Matches any value in an expected row.
const int64_t ANY_VALUE = INT64_MIN;

// Which results a drain keeps: queued events (always), direct events (codes
// 13100-13110), and raw messages from WM_APP up. Raw system messages such as
// WM_PAINT or WM_TIMER of the platform are left out, because their number
// and order depend on the window manager.
struct EventFilter {
  EventFilter(std::vector<int64_t> eventCodes = {}, std::vector<int64_t> rawNumbers = {})
      : codes(eventCodes), rawCodes(rawNumbers) {}
  std::vector<int64_t> codes;     // events to keep; both lists empty = the default above
  std::vector<int64_t> rawCodes;  // raw message numbers to keep
};

// Runs EventPoll(0) until the queue is empty and no message is pending
// (bounded), recording what the waits return.
std::vector<RecordedEvent> DrainEvents(const EventFilter& filter = EventFilter(), DWORD timeoutMs = 2000);

// Waits through EventPoll until `count` results that pass the filter have
// come (or timeoutMs passes) and returns them.
std::vector<RecordedEvent> AwaitEvents(const EventFilter& filter, size_t count, DWORD timeoutMs = 5000);

std::string DescribeEvents(const std::vector<RecordedEvent>& events);
std::string EventName(int64_t code);

// Compares a recorded sequence with a table ended by END_OF_EVENTS.
void ExpectEvents(const char* file, int line, const char* scenario, const RecordedEvent* expected,
                  const std::vector<RecordedEvent>& actual);
#define EXPECT_EVENTS(scenario, expected, actual) ::wintest::ExpectEvents(__FILE__, __LINE__, scenario, expected, actual)

std::string ClassNameOfNumber(int64_t number);
bool ClassRegistered(int64_t number);

// Creates numbered windows through WindowCreate and, at the end of each
// test, destroys whatever is left and checks that no window record, class or
// queued event outlives the test.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // WindowCreate, remembering the number for clean-up; asserts success.
  HWND Create(int64_t number, uint32_t flags = 0, int32_t x = 100, int32_t y = 100, int32_t width = 200,
              int32_t height = 120, const char* title = "test");
  WindowObject* Record(int64_t number);
  std::vector<int64_t> numbers;
};

}  // namespace wintest
