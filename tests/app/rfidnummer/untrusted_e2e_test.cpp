// rfidnummer.exe under hostile conditions: this test program writes wild
// values into every property the utility keeps on its windows while the
// utility handles input, and the utility must go on converting once the
// values are put back; and memory runs out at every step of its start.
#include <gtest/gtest.h>
#include <string.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/rfidnummer/rfidnummer.h"
#include "core/kernel.h"
#include "e2e_support.h"
#include "support/gui_test_support.h"

namespace {

using e2e::RfidNummerTest;

struct Property {
  HWND window;
  std::string name;
  HANDLE value;
};

// The program's own properties ("Zel_..."), not the platform's.
BOOL CALLBACK PropertyCollect(HWND window, LPSTR name, HANDLE value, ULONG_PTR list) {
  if (HIWORD(reinterpret_cast<uintptr_t>(name)) && strncmp(name, "Zel_", 4) == 0)
    reinterpret_cast<std::vector<Property>*>(list)->push_back({window, name, value});
  return TRUE;
}

TEST_F(RfidNummerTest, WildPropertyValuesLeaveItRunningAndConverting) {
  // Leaving the window once gives it its saved-focus property too.
  ClickInto(numberField);
  HWND other = CreateWindowExA(0, "Static", "another window", WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 120, 60,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(e2e::Activate(other));
  ASSERT_TRUE(e2e::Activate(program.window));
  DestroyWindow(other);
  ClickInto(numberField);

  std::vector<Property> properties;
  EnumPropsExA(program.window, PropertyCollect, reinterpret_cast<LPARAM>(&properties));
  for (HWND control : controls) EnumPropsExA(control, PropertyCollect, reinterpret_cast<LPARAM>(&properties));
  ASSERT_GE(properties.size(), 7u) << "number, gadget list and saved focus of the window, and each control's id";

  // Each wild value stays while a typed digit goes through the program's
  // loop, the field and the window's procedures.
  std::string typed;
  for (const Property& property : properties) {
    const intptr_t wild[] = {static_cast<intptr_t>(0x4141414141414141LL),
                             reinterpret_cast<intptr_t>(property.value) + 8};
    for (intptr_t value : wild) {
      SCOPED_TRACE(property.name + " = " + std::to_string(value));
      SetPropA(property.window, property.name.c_str(), reinterpret_cast<HANDLE>(value));
      typed += static_cast<char>('1' + typed.size() % 9);
      support::TypeText(typed.substr(typed.size() - 1).c_str());
      ASSERT_TRUE(e2e::AwaitText(numberField, typed)) << "awaited the digit typed under the wild value";
    }
    SetPropA(property.window, property.name.c_str(), property.value);
  }
  ASSERT_TRUE(support::ChildRunning(&program.child)) << "still running";

  e2e::ClearField(static_cast<int>(typed.size()));
  support::TypeText("12345678");
  ASSERT_TRUE(e2e::AwaitText(numberField, "12345678"));
  support::PressKey(VK_TAB);
  EXPECT_TRUE(e2e::AwaitText(resultField, "1D 00BC614E 2"))
      << "the result field shows \"" << e2e::ControlText(resultField) << "\"";
}

// How one start of the budget copy of the utility went.
struct BudgetRun {
  bool started = false;
  bool ended = false;
  DWORD exitCode = 0;
  std::string errorOutput;  // everything written to standard error
  std::string noticeTitle;  // the message box, when one showed
  std::string noticeText;
  bool loopRan = false;     // its window stood in the event loop
  size_t controls = 0;      // of that window
};

// Starts the copy with every allocation after `budget` failing and waits
// until it ends, or stands still in a message box or its event loop; a box
// is read and confirmed (or, when known() says it was seen before, the
// program is ended), a running loop is closed.
BudgetRun RunWithBudget(const std::string& program, long budget,
                        const std::function<bool(const std::string& notice)>& known) {
  BudgetRun run;
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  support::ChildStreams streams;
  streams.errors = writeEnd;
  support::ChildProcess child;
  SetEnvironmentVariableA("ZEL_ALLOCATION_BUDGET", std::to_string(budget).c_str());
  run.started = support::ChildStart(&child, program, {}, streams);
  SetEnvironmentVariableA("ZEL_ALLOCATION_BUDGET", nullptr);
  CloseHandle(writeEnd);
  if (!run.started) {
    CloseHandle(readEnd);
    return run;
  }
  // Idle means waiting for input: in the box's loop or in the event loop.
  WaitForInputIdle(child.process.hProcess, 15000);
  HWND notice = nullptr, mainWindow = nullptr;
  support::PumpUntil([&] {
    notice = support::ChildWindow(child, nullptr, "#32770");
    mainWindow = support::ChildWindow(child, "RFID Nummer");
    return notice || mainWindow || !support::ChildRunning(&child);
  }, 15000);
  if (notice) {
    run.noticeTitle = support::WindowText(notice);
    for (HWND part : e2e::ChildControls(notice)) run.noticeText += e2e::ControlText(part) + "\n";
    // Confirming a box costs Wine two seconds; a stop already seen is cut
    // short, since only its exit code would be left to see.
    if (known && known(run.noticeText)) {
      TerminateProcess(child.process.hProcess, KERNEL_FATAL_EXIT_CODE);
    } else {
      PostMessageA(notice, WM_COMMAND, IDOK, 0);
    }
  } else if (mainWindow) {
    run.loopRan = true;
    run.controls = e2e::ChildControls(mainWindow).size();
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
  }
  support::ChildExit exit = support::ChildAwaitExit(&child, 15000, "the end of the budget copy");
  run.ended = exit.ended;
  run.exitCode = static_cast<DWORD>(exit.code);
  char buffer[512];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got) run.errorOutput.append(buffer, got);
  CloseHandle(readEnd);
  return run;
}

// From no memory at all up to the first budget that builds the whole
// window, each start ends in one of three sound ways: a stop with exit
// code 3, one line on standard error and the same line in a message box;
// a window that cannot be made, which ends the program at once with 0; or
// a running window, which its close ends with 0.
TEST(OutOfMemory, EveryStartEndsSoundly) {
  const std::string program = e2e::ProgramArgument(3);
  if (program.empty()) GTEST_SKIP() << "the budget copy of the utility is the third argument";
  std::vector<std::string> stops;
  bool windowFailed = false, complete = false;
  for (long budget = 0; budget < 200 && !complete; budget++) {
    SCOPED_TRACE("allocation budget " + std::to_string(budget));
    BudgetRun run = RunWithBudget(program, budget, [&](const std::string& notice) {
      return !stops.empty() && notice.find(stops.back()) != std::string::npos;
    });
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.ended) << "awaited the end of the program";
    if (run.exitCode == 3) {
      std::string line = run.errorOutput.substr(0, run.errorOutput.find("\r\n"));
      EXPECT_EQ(run.errorOutput, line + "\r\n") << "exactly one line";
      EXPECT_EQ(line.rfind("fatal: out of memory: ", 0), 0u) << line;
      EXPECT_EQ(run.noticeTitle, FATAL_NOTICE_TITLE);
      EXPECT_NE(run.noticeText.find("kann nicht fortgesetzt werden und wird beendet."), std::string::npos)
          << run.noticeText;
      EXPECT_NE(run.noticeText.find("Nicht genügend Arbeitsspeicher. Schließen Sie andere Programme"),
                std::string::npos)
          << run.noticeText;
      EXPECT_NE(run.noticeText.find(line), std::string::npos) << "the box repeats the line:\n" << run.noticeText;
      if (stops.empty() || stops.back() != line) stops.push_back(line);
      continue;
    }
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.errorOutput, "");
    EXPECT_EQ(run.noticeTitle, "");
    windowFailed |= !run.loopRan;
    complete = run.controls == 4;
  }
  EXPECT_TRUE(complete) << "no budget built the whole window";
  EXPECT_TRUE(windowFailed) << "no budget reached the failed window creation";
  // Each stop of the start-up comes once at least, in this order; others
  // (the string buffer growing on the way) may come between them.
  const char* const startStops[] = {"process heap", "string heap", "event library", "window library",
                                    "gadget library"};
  size_t at = 0;
  for (const char* stop : startStops) {
    while (at < stops.size() && stops[at].find(stop) == std::string::npos) at++;
    EXPECT_LT(at, stops.size()) << "no stop for the " << stop << " (in this order)";
  }
}

}  // namespace
