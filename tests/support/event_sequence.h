// The one recorder and the one comparer of the tests: whatever a test
// watches happen in order (events popped from the queue, what the toolkit's
// waits return, the messages a window procedure saw) is a row of four
// numbers. A test writes what must happen as a const table ended by
// END_OF_SEQUENCE; EXPECT_SEQUENCE walks both and, when they differ, prints
// them side by side (expected | actual) under the test's file and line,
// with codes and messages by name. Portable: the native build uses it too.
#pragma once

#include <gtest/gtest.h>
#include <stdint.h>

#include <string>
#include <vector>

namespace support {

struct Recorded {
  int64_t code;    // event code, or a message number
  int64_t object;  // the event's gadget or item; a message's wParam
  int64_t window;  // the event's window number
  int64_t type;    // the event's type; for a message, ANSWERED or PASSED_ON
};

inline bool operator==(const Recorded& a, const Recorded& b) {
  return a.code == b.code && a.object == b.object && a.window == b.window && a.type == b.type;
}

// In an expected row: any value matches.
const int64_t ANY = INT64_MIN;
// Ends an expected table; code 0 is never recorded.
const Recorded END_OF_SEQUENCE = {0, 0, 0, 0};
// The table of a sequence that must be empty.
const Recorded NOTHING[] = {END_OF_SEQUENCE};
// The type of a recorded message: the code under test answered it, or
// passed it on to the default handling.
enum { PASSED_ON = 0, ANSWERED = 1 };

// Pops every queued event, oldest first, releasing event data.
std::vector<Recorded> QueuedEventsTake();
// Only the EVENT_GADGET ones of QueuedEventsTake (destroying a control may
// queue repaints and the like).
std::vector<Recorded> QueuedGadgetEventsTake();

// "GADGET", "WM_KEYDOWN", "WM_APP+3" or the number: event codes first, then
// the window messages tests look at.
std::string CodeName(int64_t code);

// Both sequences, side by side; rows that differ are marked.
std::string SequenceText(const std::vector<Recorded>& expected, const std::vector<Recorded>& actual);

void ExpectSequence(const char* file, int line, const std::string& scenario, const Recorded* expected,
                    const std::vector<Recorded>& actual);

}  // namespace support

#define EXPECT_SEQUENCE(scenario, expected, actual) \
  ::support::ExpectSequence(__FILE__, __LINE__, scenario, expected, actual)
