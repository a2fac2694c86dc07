// See window_test_support.h.
#include "window_test_support.h"

#include <algorithm>
#include <sstream>

#include "window/event_wait.h"
#include "window/window_object.h"

namespace wintest {

// Whether the result of the wait that just returned passes the filter.
static bool Kept(const EventFilter& filter, int64_t result) {
  const WindowState* state = WindowStateGet();
  bool queued = state->lastCode != 0;
  bool direct = !queued && result >= EVENT_GADGET && result <= EVENT_TIMER;
  auto listed = [result](const std::vector<int64_t>& list) {
    return std::find(list.begin(), list.end(), result) != list.end();
  };
  if (filter.codes.empty() && filter.rawCodes.empty()) return queued || direct || result >= WM_APP;
  return (queued || direct) ? listed(filter.codes) : listed(filter.rawCodes);
}

static RecordedEvent LastEvent(int64_t result) {
  const WindowState* state = WindowStateGet();
  return {result, state->lastObject, state->lastWindow, state->lastType};
}

std::vector<RecordedEvent> DrainEvents(const EventFilter& filter, DWORD timeoutMs) {
  std::vector<RecordedEvent> events;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    int64_t result = EventPoll(0);
    if (result == 0) {
      MSG pending;
      if (!EventStateGet()->queueHead && !PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE)) break;
      continue;
    }
    if (Kept(filter, result)) events.push_back(LastEvent(result));
  }
  return events;
}

std::vector<RecordedEvent> AwaitEvents(const EventFilter& filter, size_t count, DWORD timeoutMs) {
  std::vector<RecordedEvent> events;
  DWORD start = GetTickCount();
  while (events.size() < count && GetTickCount() - start < timeoutMs) {
    int64_t result = EventPoll(50);
    if (result != 0 && Kept(filter, result)) events.push_back(LastEvent(result));
  }
  return events;
}

std::string EventName(int64_t code) {
  static const struct {
    int64_t code;
    const char* name;
  } names[] = {
      {EVENT_MOVE_WINDOW, "MOVE"},         {EVENT_SIZE_WINDOW, "SIZE"},         {EVENT_REPAINT, "REPAINT"},
      {EVENT_CLOSE_WINDOW, "CLOSE"},       {EVENT_GADGET, "GADGET"},            {EVENT_MENU, "MENU"},
      {EVENT_SYSTRAY, "SYSTRAY"},          {EVENT_ACTIVATE_WINDOW, "ACTIVATE"}, {EVENT_WINDOW_DROP, "WINDOW_DROP"},
      {EVENT_GADGET_DROP, "GADGET_DROP"},  {EVENT_MINIMIZE_WINDOW, "MINIMIZE"}, {EVENT_MAXIMIZE_WINDOW, "MAXIMIZE"},
      {EVENT_RESTORE_WINDOW, "RESTORE"},   {EVENT_TIMER, "TIMER"},
  };
  for (const auto& entry : names)
    if (entry.code == code) return entry.name;
  if (code >= WM_APP) return "WM_APP+" + std::to_string(code - WM_APP);
  return "message " + std::to_string(code);
}

static std::string ValueText(int64_t value) { return value == ANY_VALUE ? "*" : std::to_string(value); }

std::string DescribeEvents(const std::vector<RecordedEvent>& events) {
  if (events.empty()) return "  (none)\n";
  std::ostringstream text;
  for (const RecordedEvent& event : events)
    text << "  " << EventName(event.code) << " object " << ValueText(event.object) << " window "
         << ValueText(event.window) << " type " << ValueText(event.type) << "\n";
  return text.str();
}

static bool Matches(const RecordedEvent& expected, const RecordedEvent& actual) {
  auto same = [](int64_t want, int64_t have) { return want == ANY_VALUE || want == have; };
  return expected.code == actual.code && same(expected.object, actual.object) &&
         same(expected.window, actual.window) && same(expected.type, actual.type);
}

void ExpectEvents(const char* file, int line, const char* scenario, const RecordedEvent* expected,
                  const std::vector<RecordedEvent>& actual) {
  std::vector<RecordedEvent> wanted;
  for (const RecordedEvent* event = expected; !(*event == END_OF_EVENTS); event++) wanted.push_back(*event);
  bool same = wanted.size() == actual.size();
  for (size_t i = 0; same && i < wanted.size(); i++) same = Matches(wanted[i], actual[i]);
  if (same) return;
  ADD_FAILURE_AT(file, line) << scenario << ": event sequences differ\nexpected:\n"
                             << DescribeEvents(wanted) << "actual:\n"
                             << DescribeEvents(actual);
}

std::string ClassNameOfNumber(int64_t number) { return "WindowClass_" + std::to_string(number); }

bool ClassRegistered(int64_t number) {
  WNDCLASSA info;
  return GetClassInfoA(GetModuleHandleA(nullptr), ClassNameOfNumber(number).c_str(), &info) != 0;
}

void WindowTest::SetUp() {
  DrainEvents();
  EventPurge(-1, -1, -1, -1);
}

void WindowTest::TearDown() {
  for (int64_t number : numbers) WindowDestroy(number);
  DrainEvents();
  EventPurge(-1, -1, -1, -1);
  ObjectRegistry* registry = WindowRegistry();
  RegistryEnumStart(registry);
  int64_t live = 0;
  while (RegistryEnumNext(registry, &live)) ADD_FAILURE() << "window " << live << " outlived the test";
  for (int64_t number : numbers) EXPECT_FALSE(ClassRegistered(number)) << ClassNameOfNumber(number);
}

HWND WindowTest::Create(int64_t number, uint32_t flags, int32_t x, int32_t y, int32_t width, int32_t height,
                        const char* title) {
  int64_t result = WindowCreate(number, x, y, width, height, title, flags);
  EXPECT_NE(result, 0) << "WindowCreate(" << number << ")";
  if (number == OBJECT_ANY) number = result;
  numbers.push_back(number);
  WindowObject* object = Record(number);
  return object ? object->handle : nullptr;
}

WindowObject* WindowTest::Record(int64_t number) {
  return static_cast<WindowObject*>(RegistryLookup(WindowRegistry(), number));
}

}  // namespace wintest
