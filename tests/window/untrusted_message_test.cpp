// Messages from elsewhere: any thread or process may send the toolkit's
// windows the drop, notification-area, custom and notify messages with any
// parameters. Only drop records this program made are ever taken (and later
// freed); nothing else may make it touch memory it does not own.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/kernel.h"
#include "core/process_heap.h"
#include "core/toolkit.h"
#include "window/drop_record.h"
#include "window/event_wait.h"
#include "window/message_table.h"
#include "support/child_process.h"
#include "support/window_fixtures.h"

namespace {

using support::ANY;
using support::END_OF_SEQUENCE;
using support::Recorded;
using support::WindowTest;

TEST_F(WindowTest, WildMessagesFromAnotherThreadChangeNothing) {
  HWND window = Create(50, WINDOW_HIDDEN);
  support::DrainEvents();
  DropRecord* stale = DropRecordCreate(32);
  DropRecordRelease(stale);
  static char foreignBuffer[64];
  void* foreignHeapBlock = HeapAlloc(GetProcessHeap(), 0, 64);
  const LPARAM wild[] = {1,
                         -1,
                         0x12345678,
                         static_cast<LPARAM>(0x7FFFFFFFFFFFFFFFLL),
                         reinterpret_cast<LPARAM>(foreignBuffer),
                         reinterpret_cast<LPARAM>(foreignHeapBlock),
                         reinterpret_cast<LPARAM>(stale),
                         reinterpret_cast<LPARAM>(window),
                         WM_LBUTTONDOWN};
  const UINT messages[] = {MESSAGE_WINDOW_DROP, MESSAGE_GADGET_DROP, MESSAGE_SYSTRAY,  MESSAGE_GADGET_CUSTOM,
                           WM_NOTIFY,           WM_COMMAND,          WM_HSCROLL,       WM_CTLCOLORSTATIC,
                           WM_GETMINMAXINFO,    WM_TIMER,            WM_ERASEBKGND,    WM_SYSCOLORCHANGE};
  std::atomic<bool> done(false);
  std::thread sender([&] {
    for (UINT message : messages)
      for (LPARAM lParam : wild) {
        SendMessageA(window, message, static_cast<WPARAM>(lParam), lParam);
        PostMessageA(window, message, static_cast<WPARAM>(lParam), lParam);
      }
    done = true;
  });
  DWORD start = GetTickCount();
  while (!done && GetTickCount() - start < 20000) {
    EventPoll(50);
    EXPECT_EQ(WindowStateGet()->dropData, nullptr);
  }
  sender.join();
  ASSERT_TRUE(done) << "awaited the sending thread";
  // An ignored drop message comes back as its raw number, which equals the
  // event code; what matters is that no record was ever taken.
  support::DrainEvents();
  EXPECT_EQ(WindowStateGet()->dropData, nullptr);
  EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
  HeapFree(GetProcessHeap(), 0, foreignHeapBlock);

  // The window still works.
  PostMessageA(window, WM_CLOSE, 0, 0);
  static const Recorded close[] = {{EVENT_CLOSE_WINDOW, 50, 50, 0}, END_OF_SEQUENCE};
  EXPECT_SEQUENCE("close after the storm", close, support::DrainEvents({{EVENT_CLOSE_WINDOW}}));
}

int forgedTimerCalls;
VOID CALLBACK ForgedTimerProcedure(HWND, UINT, UINT_PTR, DWORD) { forgedTimerCalls++; }

// The platform would call whatever function a posted WM_TIMER names, even
// one never registered as a timer procedure.
TEST_F(WindowTest, TimerNamingAProcedureIsNotDispatched) {
  HWND window = Create(54, WINDOW_HIDDEN);
  support::DrainEvents();
  forgedTimerCalls = 0;
  PostMessageA(window, WM_TIMER, 7, reinterpret_cast<LPARAM>(ForgedTimerProcedure));
  EXPECT_EQ(EventPoll(0), WM_TIMER);
  EXPECT_EQ(forgedTimerCalls, 0) << "a function of this program named by a posted timer ran";
  PostMessageA(window, WM_TIMER, 7, 0);
  EXPECT_EQ(EventPoll(0), EVENT_TIMER) << "a timer without a procedure is an event";
  EXPECT_EQ(CurrentEventGadget(), 7);
}

TEST_F(WindowTest, NotifyWithoutAHeaderIsNotHandled) {
  HWND window = Create(51, WINDOW_HIDDEN);
  EXPECT_EQ(WindowMessageHandler(window, WM_NOTIFY, 0, 0), NOT_HANDLED);
  EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 0, 0), 0);
}

TEST_F(WindowTest, OwnDropRecordsAreTakenOnceAndFreedByTheNextWait) {
  HWND window = Create(52, WINDOW_HIDDEN);
  support::DrainEvents();
  WindowState* state = WindowStateGet();
  DropRecord* record = DropRecordCreate(100);
  ASSERT_NE(record, nullptr);
  PostMessageA(window, MESSAGE_WINDOW_DROP, 0, reinterpret_cast<LPARAM>(record));
  ASSERT_EQ(EventPoll(0), EVENT_WINDOW_DROP);
  EXPECT_EQ(state->dropData, record);
  EXPECT_EQ(CurrentEventType(), -1);
  EXPECT_EQ(state->lastWindow, 52);
  EventPoll(0);
  EXPECT_EQ(state->dropData, nullptr);
  EXPECT_FALSE(DropRecordIsOwn(record));
  // The same pointer again is a stale record now.
  PostMessageA(window, MESSAGE_WINDOW_DROP, 0, reinterpret_cast<LPARAM>(record));
  EXPECT_EQ(EventPoll(0), MESSAGE_WINDOW_DROP);
  EXPECT_EQ(state->dropData, nullptr);

  DropRecord* gadgetDrop = DropRecordCreate(0);
  ASSERT_NE(gadgetDrop, nullptr);
  PostMessageA(window, MESSAGE_GADGET_DROP, 17, reinterpret_cast<LPARAM>(gadgetDrop));
  ASSERT_EQ(EventPoll(0), EVENT_GADGET_DROP);
  EXPECT_EQ(CurrentEventGadget(), 17);
  EXPECT_EQ(state->dropData, gadgetDrop);

  // A second record within one dispatch replaces the first, which is freed.
  DropRecord* second = DropRecordCreate(8);
  DropRecord* third = DropRecordCreate(8);
  EventPoll(0);
  WindowMessageHandler(window, MESSAGE_WINDOW_DROP, 0, reinterpret_cast<LPARAM>(second));
  WindowMessageHandler(window, MESSAGE_WINDOW_DROP, 0, reinterpret_cast<LPARAM>(third));
  EXPECT_FALSE(DropRecordIsOwn(second));
  EXPECT_EQ(state->dropData, third);
  // lParam 0 is a drop without data, which replaces a pending record too;
  // a gadget's drop keeps the gadget's number.
  static const struct { UINT message; WPARAM gadget; int64_t event, object; } withoutData[] = {
      {MESSAGE_WINDOW_DROP, 0, EVENT_WINDOW_DROP, -5}, {MESSAGE_GADGET_DROP, 18, EVENT_GADGET_DROP, 18}};
  for (const auto& row : withoutData) {
    state->eventCode = 0;
    state->eventObject = -5;
    EXPECT_EQ(WindowMessageHandler(window, row.message, row.gadget, 0), 0);
    EXPECT_EQ(state->eventCode, row.event);
    EXPECT_EQ(state->eventObject, row.object);
    EXPECT_EQ(state->dropData, nullptr);
  }
  EXPECT_FALSE(DropRecordIsOwn(third));
  EventPoll(0);
  EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));
}

TEST_F(WindowTest, DropRecordsAreLimitedAndReleasedOnlyOnce) {
  std::vector<DropRecord*> records;
  for (int i = 0; i < DROP_RECORD_LIMIT; i++) records.push_back(DropRecordCreate(4));
  for (DropRecord* record : records) EXPECT_NE(record, nullptr);
  EXPECT_EQ(DropRecordCreate(4), nullptr);
  for (DropRecord* record : records) {
    DropRecordRelease(record);
    DropRecordRelease(record);
  }
  EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));
}

}  // namespace

namespace {

const char FOREIGN_TARGET_VARIABLE[] = "ZEL_FOREIGN_TARGET";

// Runs only inside the child process that the next test starts: sends the
// parent's window the same wild messages from another process.
TEST(ForeignProcess, SenderRole) {
  char text[32] = {};
  if (!GetEnvironmentVariableA(FOREIGN_TARGET_VARIABLE, text, sizeof text)) GTEST_SKIP() << "helper role only";
  HWND target = reinterpret_cast<HWND>(static_cast<intptr_t>(_strtoi64(text, nullptr, 10)));
  const LPARAM wild[] = {1, -1, 0x12345678, 0x10000, reinterpret_cast<LPARAM>(target), WM_RBUTTONDOWN};
  const UINT messages[] = {MESSAGE_WINDOW_DROP, MESSAGE_GADGET_DROP, MESSAGE_SYSTRAY, MESSAGE_GADGET_CUSTOM,
                           WM_NOTIFY,           WM_COMMAND,          WM_VSCROLL,      WM_CTLCOLOREDIT,
                           WM_TIMER,            WM_SYSCOLORCHANGE};
  for (UINT message : messages)
    for (LPARAM lParam : wild) {
      DWORD_PTR answer;
      SendMessageTimeoutA(target, message, static_cast<WPARAM>(lParam), lParam, SMTO_ABORTIFHUNG, 2000, &answer);
      PostMessageA(target, message, static_cast<WPARAM>(lParam), lParam);
    }
}

TEST_F(WindowTest, WildMessagesFromAnotherProcessChangeNothing) {
  char text[32] = {};
  if (GetEnvironmentVariableA(FOREIGN_TARGET_VARIABLE, text, sizeof text)) GTEST_SKIP() << "inside the helper";
  HWND window = Create(53, WINDOW_HIDDEN);
  support::DrainEvents();
  char program[MAX_PATH];
  ASSERT_NE(GetModuleFileNameA(nullptr, program, sizeof program), 0u);
  snprintf(text, sizeof text, "%lld", static_cast<long long>(reinterpret_cast<intptr_t>(window)));
  SetEnvironmentVariableA(FOREIGN_TARGET_VARIABLE, text);
  support::ChildProcess sender;
  bool started = support::ChildStart(&sender, program, {"--gtest_filter=ForeignProcess.SenderRole"});
  SetEnvironmentVariableA(FOREIGN_TARGET_VARIABLE, nullptr);
  ASSERT_TRUE(started) << "error " << sender.startError;
  support::ChildExit exit = support::ChildAwaitExit(&sender, 60000, "the sending process", [] {
    EventPoll(50);
    EXPECT_EQ(WindowStateGet()->dropData, nullptr);
  });
  ASSERT_TRUE(exit.ended);
  EXPECT_EQ(exit.code, 0);
  support::DrainEvents();
  EXPECT_EQ(WindowStateGet()->dropData, nullptr);
  EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
  PostMessageA(window, WM_CLOSE, 0, 0);
  static const Recorded close[] = {{EVENT_CLOSE_WINDOW, 53, 53, 0}, END_OF_SEQUENCE};
  EXPECT_SEQUENCE("close after the foreign storm", close, support::DrainEvents({{EVENT_CLOSE_WINDOW}}));
}

}  // namespace
