// Helpers shared by the GUI tests under Wine: pumping messages until a
// condition holds (bounded, never a blind sleep), bringing a window to the
// foreground, synthesized keys and clicks, and recording what the
// toolkit's own waits return (compared with EXPECT_SEQUENCE).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/event_sequence.h"
#include "tools/input/synthetic_input.h"

namespace support {

// Pumps this thread's messages (PeekMessage/Translate/Dispatch) until
// condition() is true or timeoutMs passes. Returns whether it became true.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// Pumps until the queue has been empty for quietMs (bounded by timeoutMs).
void PumpUntilIdle(DWORD quietMs = 50, DWORD timeoutMs = 2000);
// SetForegroundWindow and pump until it is the foreground and active window.
bool BringToForeground(HWND window, DWORD timeoutMs = 5000);

// Keys and clicks through SendInput, shared with the scripts' input tool.
using synthetic::ClickAt;
using synthetic::ClickWindow;
using synthetic::LeftButton;
using synthetic::MoveMouseTo;
using synthetic::PressKey;
using synthetic::TypeText;

std::string WindowText(HWND window);
std::string ClassNameOf(HWND window);

// Which results of the toolkit's waits a recording keeps. Both lists empty:
// queued events, direct events (EVENT_GADGET to EVENT_TIMER) and raw
// messages from WM_APP up; raw system messages (WM_PAINT, the platform's
// WM_TIMER) are left out, as their number and order depend on the window
// manager. Otherwise the events in `events` and the raw messages in
// `messages`.
struct EventFilter {
  EventFilter(std::vector<int64_t> eventCodes = {}, std::vector<int64_t> messageNumbers = {})
      : events(eventCodes), messages(messageNumbers) {}
  std::vector<int64_t> events;
  std::vector<int64_t> messages;
};

// Runs EventPoll(0) until the queue is empty and no message is pending
// (bounded), and records what passes the filter: code, CurrentEventGadget,
// the window number and CurrentEventType of each wait.
std::vector<Recorded> DrainEvents(const EventFilter& filter = EventFilter(), DWORD timeoutMs = 2000);
// Waits through EventPoll until `count` results passed the filter (or
// timeoutMs passed) and returns them.
std::vector<Recorded> AwaitEvents(const EventFilter& filter, size_t count, DWORD timeoutMs = 5000);

}  // namespace support
