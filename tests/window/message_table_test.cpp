// Message translation under Wine: real messages to real windows, and the
// events or results they must produce, compared as whole sequences.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "core/toolkit.h"
#include "gadget/gadget_core.h"
#include "support/gui_test_support.h"
#include "window/event_wait.h"
#include "window/focus_navigation.h"
#include "window/message_table.h"
#include "support/window_fixtures.h"

namespace {

using support::ANY;
using support::END_OF_SEQUENCE;
using support::Recorded;
using support::WindowTest;

HWND ChildCreate(const char* className, HWND parent, intptr_t id, DWORD style = WS_CHILD | WS_VISIBLE) {
  return CreateWindowExA(0, className, "", style, 10, 10, 80, 20, parent, reinterpret_cast<HMENU>(id),
                         GetModuleHandleA(nullptr), nullptr);
}

TEST_F(WindowTest, CloseButtonPostsCloseAndKeepsTheWindow) {
  HWND window = Create(30, WS_OVERLAPPEDWINDOW);
  support::DrainEvents();
  PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  static const Recorded expected[] = {{EVENT_CLOSE_WINDOW, 30, 30, 0}, END_OF_SEQUENCE};
  EXPECT_SEQUENCE("close from the system menu", expected, support::DrainEvents());
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(window));
}

enum SizeAction { NONE, MINIMIZE, MAXIMIZE, RESTORE, RESIZE };

struct SizeCase {
  const char* name;
  SizeAction setup;
  SizeAction action;
  uint32_t minMaxState;  // after the action
  Recorded expected[3];
};

void SizeActionRun(HWND window, SizeAction action) {
  switch (action) {
    case NONE: break;
    case MINIMIZE: ShowWindow(window, SW_MINIMIZE); break;
    case MAXIMIZE: ShowWindow(window, SW_MAXIMIZE); break;
    case RESTORE: ShowWindow(window, SW_RESTORE); break;
    case RESIZE: SetWindowPos(window, nullptr, 0, 0, 333, 222, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); break;
  }
}

const SizeCase sizeCases[] = {
    {"minimizing posts only the minimize event", NONE, MINIMIZE, 1,
     {{EVENT_MINIMIZE_WINDOW, 0, 31, 0}, END_OF_SEQUENCE}},
    {"restoring from minimized posts restore, then size", MINIMIZE, RESTORE, 0,
     {{EVENT_RESTORE_WINDOW, 0, 31, 0}, {EVENT_SIZE_WINDOW, 0, 31, 0}, END_OF_SEQUENCE}},
    {"maximizing posts maximize, then size", NONE, MAXIMIZE, 1,
     {{EVENT_MAXIMIZE_WINDOW, 0, 31, 0}, {EVENT_SIZE_WINDOW, 0, 31, 0}, END_OF_SEQUENCE}},
    {"restoring from maximized posts restore, then size", MAXIMIZE, RESTORE, 0,
     {{EVENT_RESTORE_WINDOW, 0, 31, 0}, {EVENT_SIZE_WINDOW, 0, 31, 0}, END_OF_SEQUENCE}},
    {"an ordinary resize posts only size", NONE, RESIZE, 0, {{EVENT_SIZE_WINDOW, 0, 31, 0}, END_OF_SEQUENCE}},
};

TEST_F(WindowTest, MinimizeMaximizeRestoreEventSequences) {
  support::EventFilter sizing = {
      {EVENT_MINIMIZE_WINDOW, EVENT_MAXIMIZE_WINDOW, EVENT_RESTORE_WINDOW, EVENT_SIZE_WINDOW}};
  for (const SizeCase& row : sizeCases) {
    SCOPED_TRACE(row.name);
    HWND window = Create(31, WS_OVERLAPPEDWINDOW);
    SizeActionRun(window, row.setup);
    support::DrainEvents();
    SizeActionRun(window, row.action);
    EXPECT_SEQUENCE(row.name, row.expected, support::DrainEvents(sizing));
    EXPECT_EQ(Record(31)->minMaxState, row.minMaxState);
    WindowDestroy(31);
  }
}

TEST_F(WindowTest, MoveEventNamesTheWindow) {
  HWND window = Create(32, WS_OVERLAPPEDWINDOW);
  support::DrainEvents();
  SetWindowPos(window, nullptr, 150, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  static const Recorded expected[] = {{EVENT_MOVE_WINDOW, 32, 32, 0}, END_OF_SEQUENCE};
  EXPECT_SEQUENCE("move", expected, support::DrainEvents({{EVENT_MOVE_WINDOW}}));
}

TEST_F(WindowTest, ActivationRestoresTheSavedFocus) {
  HWND first = Create(33, 0, 50, 50, 250, 120);
  ChildCreate("Edit", first, 1, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  HWND edit2 = ChildCreate("Edit", first, 2, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  ASSERT_TRUE(support::BringToForeground(first));
  // The first activation has no saved focus and gives none to a control
  // (Wine itself puts the focus on the activated top-level window).
  HWND firstFocus = GetFocus();
  EXPECT_TRUE(firstFocus == nullptr || firstFocus == first) << firstFocus;
  SetFocus(edit2);
  HWND second = Create(34, 0, 400, 50, 250, 120);
  ASSERT_TRUE(support::BringToForeground(second));
  EXPECT_EQ(GetPropA(first, "Zel_Focus"), edit2);
  support::DrainEvents();
  ASSERT_TRUE(support::BringToForeground(first));
  EXPECT_EQ(GetFocus(), edit2);
  static const Recorded expected[] = {{EVENT_ACTIVATE_WINDOW, 0, 33, 0}, END_OF_SEQUENCE};
  EXPECT_SEQUENCE("activating the first window again", expected, support::DrainEvents({{EVENT_ACTIVATE_WINDOW}}));
  // Written by another process, a saved focus outside the window does not
  // take the focus away to another window.
  HWND elsewhere = ChildCreate("Edit", second, 3, WS_CHILD | WS_VISIBLE | WS_TABSTOP);
  SetPropA(first, "Zel_Focus", elsewhere);
  WindowMessageHandler(first, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(GetFocus(), edit2) << "the saved focus names a control of another window";
  support::DrainEvents();
  // The saved focus lives until the window's last message.
  EXPECT_EQ(WindowMessageHandler(second, WM_NCDESTROY, 0, 0), 1);
  EXPECT_NE(GetPropA(first, "Zel_Focus"), nullptr);
  EXPECT_EQ(WindowMessageHandler(first, WM_NCDESTROY, 0, 0), 1);
  EXPECT_EQ(GetPropA(first, "Zel_Focus"), nullptr);
}

enum CommandSource { FROM_WINDOW, FROM_EDIT, FROM_BUTTON };

struct CommandCase {
  const char* name;
  CommandSource target;  // where the message is posted
  UINT message;
  WPARAM wParam;
  CommandSource lParamControl;  // FROM_WINDOW: lParam 0
  Recorded expected[2];
};

const WPARAM BUTTON_ID_LOW = static_cast<WORD>(-10000);

const CommandCase commandCases[] = {
    {"edit notification becomes a gadget event", FROM_WINDOW, WM_COMMAND, MAKEWPARAM(41, EN_KILLFOCUS), FROM_EDIT,
     {{EVENT_GADGET, 41, 35, EN_KILLFOCUS}, END_OF_SEQUENCE}},
    {"typing into an edit reports its last notification", FROM_EDIT, WM_CHAR, 'x', FROM_WINDOW,
     {{EVENT_GADGET, 41, 35, EN_CHANGE}, END_OF_SEQUENCE}},
    {"menu item", FROM_WINDOW, WM_COMMAND, 77, FROM_WINDOW, {{EVENT_MENU, 77, 35, -1}, END_OF_SEQUENCE}},
    {"accelerator command other than Tab", FROM_WINDOW, WM_COMMAND, MAKEWPARAM(78, 1), FROM_WINDOW,
     {{EVENT_MENU, 78, 35, -1}, END_OF_SEQUENCE}},
    {"Tab command produces no event", FROM_WINDOW, WM_COMMAND, MAKEWPARAM(CMD_FOCUS_NEXT, 1), FROM_WINDOW,
     {END_OF_SEQUENCE}},
    {"Shift+Tab command produces no event", FROM_WINDOW, WM_COMMAND, MAKEWPARAM(CMD_FOCUS_PREVIOUS, 1), FROM_WINDOW,
     {END_OF_SEQUENCE}},
    {"control with id -10000 reports a menu event", FROM_WINDOW, WM_COMMAND, MAKEWPARAM(BUTTON_ID_LOW, BN_CLICKED),
     FROM_BUTTON, {{EVENT_MENU, static_cast<int64_t>(BUTTON_ID_LOW), 35, BN_CLICKED}, END_OF_SEQUENCE}},
    {"clicking the -10000 button", FROM_BUTTON, BM_CLICK, 0, FROM_WINDOW,
     {{EVENT_MENU, static_cast<int64_t>(BUTTON_ID_LOW), 35, BN_CLICKED}, END_OF_SEQUENCE}},
};

TEST_F(WindowTest, CommandsFromControlsMenusAndAccelerators) {
  HWND window = Create(35, 0, 100, 100, 300, 150);
  HWND handles[3] = {window, ChildCreate("Edit", window, 41), ChildCreate("Button", window, -10000)};
  SetWindowPos(handles[FROM_BUTTON], nullptr, 10, 50, 80, 25, SWP_NOZORDER);
  ASSERT_EQ(GetWindowLongPtrA(handles[FROM_BUTTON], GWLP_ID), -10000);
  ASSERT_TRUE(support::BringToForeground(window));
  support::EventFilter commands = {{EVENT_GADGET, EVENT_MENU}};
  for (const CommandCase& row : commandCases) {
    support::DrainEvents();
    LPARAM lParam = row.lParamControl == FROM_WINDOW ? 0 : reinterpret_cast<LPARAM>(handles[row.lParamControl]);
    PostMessageA(handles[row.target], row.message, row.wParam, lParam);
    EXPECT_SEQUENCE(row.name, row.expected, support::DrainEvents(commands));
  }
}

// A gadget kind that records what it is handed.
std::vector<UINT> kindMessages;
int64_t RecordingKindMessage(GadgetObject*, HWND, UINT message, WPARAM, LPARAM) {
  kindMessages.push_back(message);
  return 5;
}
GadgetType RecordingKindMake() {
  GadgetType kind = {};
  kind.kindNumber = 99;
  kind.descriptorSize = sizeof(GadgetType);
  kind.onMessage = RecordingKindMessage;
  return kind;
}
GadgetType recordingKind = RecordingKindMake();

TEST_F(WindowTest, GadgetNotifyReachesOnlyRealGadgets) {
  HWND window = Create(36, WINDOW_HIDDEN);
  HWND control = ChildCreate("Static", window, 40);
  HWND stranger = ChildCreate("Static", window, 0);
  GadgetObject* gadget = static_cast<GadgetObject*>(RegistryAllocate(GadgetRegistry(), 40));
  ASSERT_NE(gadget, nullptr);
  gadget->handle = control;
  gadget->gadgetType = &recordingKind;
  SetPropA(control, "Zel_ID", reinterpret_cast<HANDLE>(40));
  kindMessages.clear();

  EXPECT_EQ(GadgetNotify(control, window, WM_CTLCOLORSTATIC, 0, 0), 5);
  EXPECT_EQ(SendMessageA(window, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(control)), 5);
  NMHDR header = {control, 40, 0};
  EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 40, reinterpret_cast<LPARAM>(&header)), 5);
  // The kind handles the command, so no event is produced.
  support::DrainEvents();
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(40, STN_CLICKED), reinterpret_cast<LPARAM>(control));
  static const Recorded none[] = {END_OF_SEQUENCE};
  EXPECT_SEQUENCE("command handled by the kind", none, support::DrainEvents());
  std::vector<UINT> expectedMessages = {WM_CTLCOLORSTATIC, WM_CTLCOLORSTATIC, WM_NOTIFY, WM_COMMAND};
  EXPECT_EQ(kindMessages, expectedMessages);

  // "Zel_ID" differing from the control id: not a gadget.
  kindMessages.clear();
  SetPropA(control, "Zel_ID", reinterpret_cast<HANDLE>(41));
  EXPECT_EQ(GadgetNotify(control, window, WM_CTLCOLORSTATIC, 0, 0), NOT_HANDLED);
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(40, STN_CLICKED), reinterpret_cast<LPARAM>(control));
  static const Recorded plain[] = {{EVENT_GADGET, 40, 36, STN_CLICKED}, END_OF_SEQUENCE};
  EXPECT_SEQUENCE("command of a refused control", plain, support::DrainEvents());
  // Neither a null control nor one that only shares the number.
  EXPECT_EQ(GadgetNotify(nullptr, window, WM_COMMAND, 0, 0), NOT_HANDLED);
  SetPropA(control, "Zel_ID", reinterpret_cast<HANDLE>(40));
  SetPropA(stranger, "Zel_ID", reinterpret_cast<HANDLE>(40));
  SetWindowLongPtrA(stranger, GWLP_ID, 40);
  EXPECT_EQ(GadgetNotify(stranger, window, WM_CTLCOLORSTATIC, 0, 0), NOT_HANDLED);
  EXPECT_TRUE(kindMessages.empty());

  RemovePropA(stranger, "Zel_ID");
  RemovePropA(control, "Zel_ID");
  RegistryFree(GadgetRegistry(), 40);
}

// A notification names its control through a header that lParam points
// at; whoever sends it, only an unreadable header or a control outside this
// process is refused.
TEST_F(WindowTest, NotifyIsRefusedExactlyWhenItsHeaderIsUnsafe) {
  HWND window = Create(37, WINDOW_HIDDEN);
  HWND control = ChildCreate("Static", window, 42);
  GadgetObject* gadget = static_cast<GadgetObject*>(RegistryAllocate(GadgetRegistry(), 42));
  ASSERT_NE(gadget, nullptr);
  gadget->handle = control;
  gadget->gadgetType = &recordingKind;
  SetPropA(control, "Zel_ID", reinterpret_cast<HANDLE>(42));
  // Two pages, the second unreadable: a header may end in it.
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  char* pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD old;
  VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old);
  NMHDR* straddling = reinterpret_cast<NMHDR*>(pages + system.dwPageSize - sizeof(HWND));
  straddling->hwndFrom = control;
  NMHDR own = {control, 42, 0}, foreign = {GetDesktopWindow(), 0, 0}, wild = {reinterpret_cast<HWND>(0x5A5A5A), 0, 0};
  static const struct {
    const char* header;
    int which;
    bool reaches;
  } cases[] = {{"none", 0, false},         {"in an unreadable page", 1, false}, {"running into one", 2, false},
               {"of another process's window", 3, false}, {"of no window", 4, false}, {"of our control", 5, true}};
  const LPARAM headers[] = {0, reinterpret_cast<LPARAM>(pages + system.dwPageSize), reinterpret_cast<LPARAM>(straddling),
                            reinterpret_cast<LPARAM>(&foreign), reinterpret_cast<LPARAM>(&wild),
                            reinterpret_cast<LPARAM>(&own)};
  for (const auto& row : cases) {
    kindMessages.clear();
    int64_t result = WindowMessageHandler(window, WM_NOTIFY, 42, headers[row.which]);
    EXPECT_EQ(result, row.reaches ? 5 : NOT_HANDLED) << "header " << row.header;
    EXPECT_EQ(kindMessages.size(), row.reaches ? 1u : 0u) << "header " << row.header;
  }

  // The control's own notification, raised while another thread's message
  // is being handled (an accessibility tool pressing it), still arrives.
  kindMessages.clear();
  static WNDPROC staticProc;
  staticProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND self, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_APP) return CallWindowProcA(staticProc, self, message, wParam, lParam);
        NMHDR header = {self, 42, 0};
        return SendMessageA(GetParent(self), WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&header));
      })));
  DWORD_PTR nested = 0;
  std::thread tool([&] { SendMessageTimeoutA(control, WM_APP, 0, 0, SMTO_NORMAL, 5000, &nested); });
  EXPECT_TRUE(support::PumpUntil([&] { return nested != 0; })) << "awaited the nested notification";
  tool.join();
  EXPECT_EQ(nested, 5u);
  EXPECT_EQ(kindMessages.size(), 1u);

  VirtualFree(pages, 0, MEM_RELEASE);
  RemovePropA(control, "Zel_ID");
  RegistryFree(GadgetRegistry(), 42);
}

TEST_F(WindowTest, SystemColourChangeReachesEveryDescendant) {
  HWND window = Create(37, WINDOW_HIDDEN);
  HWND child = ChildCreate("Static", window, 1);
  HWND grandchild = ChildCreate("Static", child, 2);
  static std::vector<HWND> reached;
  static WNDPROC staticProc;
  reached.clear();
  struct Recorder {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_SYSCOLORCHANGE) reached.push_back(hwnd);
      return CallWindowProcA(staticProc, hwnd, message, wParam, lParam);
    }
  };
  staticProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Recorder::Proc)));
  SetWindowLongPtrA(grandchild, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Recorder::Proc));
  SendMessageA(window, WM_SYSCOLORCHANGE, 0, 0);
  std::vector<HWND> expected = {child, grandchild};
  EXPECT_EQ(reached, expected);
}

TEST_F(WindowTest, TrackingLimitsAreReported) {
  HWND window = Create(38, WINDOW_HIDDEN | WS_OVERLAPPEDWINDOW);
  WindowObject* object = Record(38);
  MINMAXINFO info = {};
  info.ptMinTrackSize = {11, 12};
  info.ptMaxTrackSize = {2000, 2001};
  EXPECT_EQ(SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.ptMinTrackSize.x, 11);
  EXPECT_EQ(info.ptMaxTrackSize.y, 2001);
  object->minWidth = 150;
  object->minHeight = 100;
  object->maxWidth = 600;
  object->maxHeight = 500;
  EXPECT_EQ(SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_EQ(info.ptMinTrackSize.x, 150);
  EXPECT_EQ(info.ptMinTrackSize.y, 100);
  EXPECT_EQ(info.ptMaxTrackSize.x, 600);
  EXPECT_EQ(info.ptMaxTrackSize.y, 500);

  HWND tool = Create(39, WINDOW_HIDDEN | WINDOW_TOOL);
  info.ptMinTrackSize = {11, 12};
  SendMessageA(tool, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 1);
  EXPECT_EQ(info.ptMinTrackSize.y, 12);
}

TEST_F(WindowTest, TimerBecomesADirectEvent) {
  HWND window = Create(42, WINDOW_HIDDEN);
  support::DrainEvents();
  SetTimer(window, 7, 10, nullptr);
  int64_t result = 0;
  DWORD start = GetTickCount();
  while (result != EVENT_TIMER && GetTickCount() - start < 5000) result = EventPoll(100);
  KillTimer(window, 7);
  ASSERT_EQ(result, EVENT_TIMER) << "awaited the timer event";
  EXPECT_EQ(CurrentEventGadget(), 7);
  EXPECT_EQ(CurrentEventType(), -1);
  EXPECT_EQ(WindowStateGet()->lastWindow, 42);
}

int64_t EraseReturns77(HDC, HWND) { return 77; }

TEST_F(WindowTest, EveryEraseBackgroundPostsRepaint) {
  HWND window = Create(43, 0, 100, 100, 120, 80);
  support::DrainEvents();
  support::EventFilter repaint = {{EVENT_REPAINT}};
  static const Recorded expected[] = {{EVENT_REPAINT, 0, 43, 0}, END_OF_SEQUENCE};
  // Each row adds to the one before: the callback, then the window's brush.
  static const struct {
    const char* eraser;
    bool callback;
    bool ownBrush;
    LRESULT result;
  } cases[] = {
      {"the class brush", false, false, 1},
      {"the callback", true, false, 77},
      {"the window's brush", true, true, 1},
  };
  HDC context = GetDC(window);
  for (const auto& row : cases) {
    if (row.callback) Record(43)->eraseCallback = EraseReturns77;
    if (row.ownBrush) Record(43)->backgroundBrush = CreateSolidBrush(RGB(255, 0, 0));
    EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(context), 0), row.result) << row.eraser;
    if (row.ownBrush) {
      EXPECT_EQ(GetPixel(context, 5, 5), RGB(255, 0, 0));
    }
    EXPECT_SEQUENCE(std::string("erase with ") + row.eraser, expected, support::DrainEvents(repaint));
  }
  ReleaseDC(window, context);
}

int64_t callbackAnswer;
int64_t AnsweringCallback(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_APP + 3 ? callbackAnswer : CALL_DEFAULT;
}

TEST_F(WindowTest, SentinelsAreComparedAsSixtyFourBitValues) {
  HWND window = Create(44, WINDOW_HIDDEN);
  WindowState* state = WindowStateGet();
  state->eventWindow = 99;
  EXPECT_EQ(WindowMessageHandler(window, WM_APP + 3, 0, 0), NOT_HANDLED);
  EXPECT_EQ(state->eventWindow, 44);
  Record(44)->windowCallback = AnsweringCallback;
  callbackAnswer = CALL_DEFAULT;
  EXPECT_EQ(WindowMessageHandler(window, WM_APP + 3, 0, 0), NOT_HANDLED);
  // The low 32 bits of CALL_DEFAULT without the sign extension are an
  // ordinary answer.
  callbackAnswer = 0xE0E0E0E1LL;
  state->eventWindow = 99;
  EXPECT_EQ(WindowMessageHandler(window, WM_APP + 3, 0, 0), 0xE0E0E0E1LL);
  EXPECT_EQ(state->eventWindow, 99);
  // The global callback serves windows without their own.
  Record(44)->windowCallback = nullptr;
  state->userWindowCallback = AnsweringCallback;
  callbackAnswer = 12;
  EXPECT_EQ(SendMessageA(window, WM_APP + 3, 0, 0), 12);
  state->userWindowCallback = nullptr;
}

TEST_F(WindowTest, MessagesOfNoWindow) {
  HWND window = Create(45, WINDOW_HIDDEN);
  HWND child = ChildCreate("Static", window, 3);
  HWND stranger = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  support::DrainEvents();
  WindowState* state = WindowStateGet();
  EXPECT_EQ(WindowMessageHandler(stranger, WM_SIZE, 0, 0), 1);
  EXPECT_EQ(state->eventWindow, -1);
  EXPECT_EQ(WindowMessageHandler(stranger, WM_MOVE, 0, 0), 0);
  EXPECT_EQ(WindowMessageHandler(stranger, WM_CLOSE, 0, 0), 0);
  EXPECT_EQ(WindowMessageHandler(stranger, WM_GETMINMAXINFO, 0, 0), NOT_HANDLED);
  EXPECT_EQ(WindowMessageHandler(stranger, WM_TIMER, 1, 0), NOT_HANDLED);
  EXPECT_EQ(WindowMessageHandler(nullptr, WM_SIZE, 0, 0), NOT_HANDLED);
  // A child's messages belong to the window above it, but its size and move
  // are not the window's.
  EXPECT_EQ(WindowMessageHandler(child, WM_SIZE, 0, 0), 1);
  EXPECT_EQ(state->eventWindow, 45);
  EXPECT_EQ(WindowMessageHandler(child, WM_MOVE, 0, 0), 0);
  EXPECT_EQ(WindowMessageHandler(child, WM_CLOSE, 0, 0), 0);
  // A number written onto another window names a record that is not its
  // own; the most negative value names window INT64_MAX, which is none.
  static const struct {
    intptr_t property;
    int64_t number;
  } forged[] = {{46, 45}, {INTPTR_MIN, INT64_MAX}};
  for (const auto& row : forged) {
    SetPropA(stranger, "Zel_WindowID", reinterpret_cast<HANDLE>(row.property));
    EXPECT_EQ(WindowMessageHandler(stranger, WM_TIMER, 1, 0), NOT_HANDLED);
    EXPECT_EQ(state->eventWindow, row.number);
    EXPECT_EQ(AcceleratorTableChoose(stranger), nullptr);
  }
  RemovePropA(stranger, "Zel_WindowID");
  static const Recorded none[] = {END_OF_SEQUENCE};
  EXPECT_SEQUENCE("nothing posted for messages of no window", none, support::DrainEvents());
  DestroyWindow(stranger);
}

struct SystrayCase {
  LPARAM mouseMessage;
  int64_t type;  // -1: nothing posted
};

TEST_F(WindowTest, NotificationAreaMessagesPostTheirType) {
  HWND window = Create(46, WINDOW_HIDDEN);
  static const SystrayCase cases[] = {{WM_LBUTTONDOWN, 0}, {WM_RBUTTONDOWN, 1}, {WM_LBUTTONDBLCLK, 2},
                                      {WM_RBUTTONDBLCLK, 3}, {WM_MOUSEMOVE, -1},   {123456, -1}};
  for (const SystrayCase& row : cases) {
    support::DrainEvents();
    EXPECT_EQ(SendMessageA(window, MESSAGE_SYSTRAY, 5, row.mouseMessage), 0);
    Recorded expected[2] = {{EVENT_SYSTRAY, 5, 46, row.type}, END_OF_SEQUENCE};
    if (row.type == -1) expected[0] = END_OF_SEQUENCE;
    EXPECT_SEQUENCE("notification-area icon", expected, support::DrainEvents());
  }
}

}  // namespace
