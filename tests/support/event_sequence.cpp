// See event_sequence.h.
#include "support/event_sequence.h"

#include <stdio.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "window/events/event_codes.h"
#include "window/events/event_queue.h"

namespace support {

std::vector<Recorded> QueuedEventsTake() {
  std::vector<Recorded> events;
  for (;;) {
    Recorded event = {};
    void* data = nullptr;
    EventDataRelease release = nullptr;
    event.code = EventPop(&event.object, &event.window, &event.type, &data, &release);
    if (event.code == 0) break;
    if (data && release) release(data);
    events.push_back(event);
  }
  return events;
}

std::vector<Recorded> QueuedGadgetEventsTake() {
  std::vector<Recorded> events;
  for (const Recorded& event : QueuedEventsTake())
    if (event.code == EVENT_GADGET) events.push_back(event);
  return events;
}

namespace {

struct CodeNameEntry {
  int64_t code;
  const char* name;
};

// Event codes share small numbers with messages (EVENT_CLOSE_WINDOW is
// WM_CLOSE); the event's name wins.
const CodeNameEntry codeNames[] = {
    {EVENT_MOVE_WINDOW, "MOVE"},         {EVENT_SIZE_WINDOW, "SIZE"},         {EVENT_REPAINT, "REPAINT"},
    {EVENT_CLOSE_WINDOW, "CLOSE"},       {EVENT_GADGET, "GADGET"},            {EVENT_MENU, "MENU"},
    {EVENT_SYSTRAY, "SYSTRAY"},          {EVENT_ACTIVATE_WINDOW, "ACTIVATE"}, {EVENT_WINDOW_DROP, "WINDOW_DROP"},
    {EVENT_GADGET_DROP, "GADGET_DROP"},  {EVENT_MINIMIZE_WINDOW, "MINIMIZE"}, {EVENT_MAXIMIZE_WINDOW, "MAXIMIZE"},
    {EVENT_RESTORE_WINDOW, "RESTORE"},   {EVENT_TIMER, "TIMER"},
#ifdef _WIN32
    {WM_CREATE, "WM_CREATE"},             {WM_DESTROY, "WM_DESTROY"},         {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},         {WM_KILLFOCUS, "WM_KILLFOCUS"},     {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"}, {WM_NOTIFY, "WM_NOTIFY"},         {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_KEYDOWN, "WM_KEYDOWN"},           {WM_KEYUP, "WM_KEYUP"},             {WM_CHAR, "WM_CHAR"},
    {WM_COMMAND, "WM_COMMAND"},           {WM_SYSCOMMAND, "WM_SYSCOMMAND"},   {WM_TIMER, "WM_TIMER"},
    {WM_MOUSEMOVE, "WM_MOUSEMOVE"},       {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"}, {WM_LBUTTONUP, "WM_LBUTTONUP"},
    {WM_SIZING, "WM_SIZING"},             {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
    {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"}, {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"},
#endif
};

#ifdef _WIN32
const int64_t FIRST_APP_MESSAGE = WM_APP;
#else
const int64_t FIRST_APP_MESSAGE = 0x8000;
#endif

std::string ValueText(int64_t value) { return value == ANY ? "*" : std::to_string(value); }

std::string RowText(const Recorded& row) {
  char text[96];
  snprintf(text, sizeof text, "%-18s %6s %6s %6s", CodeName(row.code).c_str(), ValueText(row.object).c_str(),
           ValueText(row.window).c_str(), ValueText(row.type).c_str());
  return text;
}

bool Matches(const Recorded& expected, const Recorded& actual) {
  auto same = [](int64_t want, int64_t have) { return want == ANY || want == have; };
  return expected.code == actual.code && same(expected.object, actual.object) &&
         same(expected.window, actual.window) && same(expected.type, actual.type);
}

}  // namespace

std::string CodeName(int64_t code) {
  for (const CodeNameEntry& entry : codeNames)
    if (entry.code == code) return entry.name;
  if (code >= FIRST_APP_MESSAGE && code < FIRST_APP_MESSAGE + 0x4000)
    return "WM_APP+" + std::to_string(code - FIRST_APP_MESSAGE);
  return "message " + std::to_string(code);
}

std::string SequenceText(const std::vector<Recorded>& expected, const std::vector<Recorded>& actual) {
  const std::string blank(RowText(Recorded()).size(), ' ');
  std::string text = "    expected" + std::string(blank.size() - 8, ' ') + " | actual\n";
  size_t rows = expected.size() > actual.size() ? expected.size() : actual.size();
  for (size_t i = 0; i < rows; i++) {
    bool both = i < expected.size() && i < actual.size();
    text += both && Matches(expected[i], actual[i]) ? "    " : "!!  ";
    text += i < expected.size() ? RowText(expected[i]) : blank;
    text += " | ";
    text += i < actual.size() ? RowText(actual[i]) : std::string("(none)");
    text += "\n";
  }
  if (rows == 0) text += "    (none)\n";
  return text;
}

void ExpectSequence(const char* file, int line, const std::string& scenario, const Recorded* expected,
                    const std::vector<Recorded>& actual) {
  std::vector<Recorded> wanted;
  for (const Recorded* row = expected; !(*row == END_OF_SEQUENCE); row++) wanted.push_back(*row);
  bool same = wanted.size() == actual.size();
  for (size_t i = 0; same && i < wanted.size(); i++) same = Matches(wanted[i], actual[i]);
  if (!same)
    ADD_FAILURE_AT(file, line) << scenario << ": sequences differ (code, object, window, type)\n"
                               << SequenceText(wanted, actual);
}

}  // namespace support
