// Window objects under Wine: the flag word read back from real windows,
// placement, the number property, dynamic windows, re-creation, failures
// that must leave nothing registered, and the library's end.
#include <gtest/gtest.h>

#include "core/kernel.h"
#include "core/process_heap.h"
#include "core/string_buffer.h"
#include "gadget/gadget_list.h"
#include "support/gui_test_support.h"
#include "window/drop_record.h"
#include "window/event_wait.h"
#include "window/message_table.h"
#include "support/window_fixtures.h"

namespace {

using support::WindowTest;

// Style bits the platform adds or changes by itself.
const LONG_PTR PLATFORM_STYLE_BITS = WS_VISIBLE | WS_CLIPSIBLINGS | WS_MINIMIZE | WS_MAXIMIZE;

enum Placement { AT_XY, CENTRED_ON_SCREEN, SYSTEM_CHOSEN, ICONIC };

struct FlagCase {
  const char* name;
  uint32_t flags;
  int32_t x, y;
  LONG_PTR style;  // GWL_STYLE without PLATFORM_STYLE_BITS
  bool toolWindow;
  bool visible;
  int shown;       // 0 normal, 1 minimized, 2 maximized
  uint32_t minMaxState;
  bool joinsGadgetList;
  Placement placement;
};

const FlagCase flagCases[] = {
    {"flag word 0 gets a caption, is shown and becomes the gadget list", 0, 40, 50, WS_CAPTION, false, true, 0, 0,
     true, AT_XY},
    {"hidden: the caption is still added, the window stays hidden", WINDOW_HIDDEN, 40, 50, WS_CAPTION, false, false, 0,
     0, true, AT_XY},
    {"the utility's flag word 0xCA0001", 0xCA0001, 0, 0, 0xCA0000, false, true, 0, 0, true, CENTRED_ON_SCREEN},
    {"tool window drops the maximize bit", WINDOW_TOOL | WS_MAXIMIZE, 40, 50, WS_CAPTION, true, true, 0, 0, true,
     AT_XY},
    {"tool window drops the boxes and keeps the system menu",
     WINDOW_TOOL | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, 40, 50, WS_CAPTION | WS_SYSMENU, true, true, 0, 0,
     true, AT_XY},
    {"maximized", WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, 40, 50, WS_OVERLAPPEDWINDOW, false, true, 2, 1, true,
     SYSTEM_CHOSEN},
    {"minimized", WS_OVERLAPPEDWINDOW | WS_MINIMIZE, 40, 50, WS_OVERLAPPEDWINDOW, false, true, 1, 1, true, ICONIC},
    {"bit 8 alone: caption added, no gadget list", WINDOW_NO_GADGET_LIST, 40, 50, WS_CAPTION, false, true, 0, 0,
     false, AT_XY},
    {"a popup style counts as a style: no caption", WS_POPUP | WS_BORDER, 40, 50, WS_POPUP | WS_BORDER, false, true,
     0, 0, true, AT_XY},
    {"hidden popup centred on the screen", WINDOW_HIDDEN | WINDOW_CENTRE_SCREEN | WS_POPUP, 0, 0, WS_POPUP, false,
     false, 0, 0, true, CENTRED_ON_SCREEN},
    {"x -65535 without centring: both coordinates system chosen", 0, WINDOW_DEFAULT_POSITION, 100, WS_CAPTION, false,
     true, 0, 0, true, SYSTEM_CHOSEN},
};

const int32_t CLIENT_WIDTH = 220, CLIENT_HEIGHT = 90;

TEST_F(WindowTest, FlagWordsBecomeStylesPlacementAndState) {
  for (const FlagCase& row : flagCases) {
    SCOPED_TRACE(row.name);
    HWND previousList = GadgetListSwitch(nullptr);
    HWND window = Create(3, row.flags, row.x, row.y, CLIENT_WIDTH, CLIENT_HEIGHT);
    ASSERT_NE(window, nullptr);
    LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    LONG_PTR extendedStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    EXPECT_EQ(style & ~PLATFORM_STYLE_BITS, row.style) << std::hex << style;
    EXPECT_EQ((extendedStyle & WS_EX_TOOLWINDOW) != 0, row.toolWindow) << std::hex << extendedStyle;
    EXPECT_EQ(IsWindowVisible(window) != 0, row.visible);
    EXPECT_EQ(IsIconic(window) != 0, row.shown == 1);
    EXPECT_EQ(IsZoomed(window) != 0, row.shown == 2);
    EXPECT_EQ(Record(3)->minMaxState, row.minMaxState);
    EXPECT_EQ(Record(3)->accelCount, 2);
    EXPECT_EQ(Record(3)->backgroundColour, -1);
    EXPECT_EQ(GadgetListSwitch(nullptr), row.joinsGadgetList ? window : previousList);

    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    if (row.shown == 0) {
      EXPECT_EQ(client.right, CLIENT_WIDTH);
      EXPECT_EQ(client.bottom, CLIENT_HEIGHT);
    }
    int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    switch (row.placement) {
      case AT_XY:
        EXPECT_EQ(outer.left, row.x);
        EXPECT_EQ(outer.top, row.y);
        break;
      case CENTRED_ON_SCREEN:
        EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2);
        EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2);
        break;
      case SYSTEM_CHOSEN:
        // -65535 would put the window far off the screen.
        EXPECT_GT(outer.left, -1000);
        break;
      case ICONIC:
        // Where the platform parks a minimized window is its own business.
        break;
    }
    WindowDestroy(3);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(support::ClassRegistered(3));
  }
}

TEST_F(WindowTest, ClassCarriesTheDocumentedValues) {
  HWND window = Create(4);
  WNDCLASSA info = {};
  ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "WindowClass_4", &info));
  EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(info.lpfnWndProc, WindowClassProc);
  EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1)));
  EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(support::ClassNameOf(window), "WindowClass_4");
  EXPECT_EQ(support::WindowText(window), "test");
  // The subclass of the gadget list sits in front of the class procedure.
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)), GadgetListWindowProc);
  ACCEL entries[4] = {};
  ASSERT_EQ(CopyAcceleratorTableA(Record(4)->accelTable, entries, 4), 2);
  EXPECT_EQ(entries[0].fVirt, FVIRTKEY | FNOINVERT);
  EXPECT_EQ(entries[0].key, VK_TAB);
  EXPECT_EQ(entries[0].cmd, CMD_FOCUS_NEXT);
  EXPECT_EQ(entries[1].fVirt, FVIRTKEY | FNOINVERT | FSHIFT);
  EXPECT_EQ(entries[1].cmd, CMD_FOCUS_PREVIOUS);
}

TEST_F(WindowTest, TitlesComeBackUnchangedAndNamingLeavesTheBufferAlone) {
  // A null title, then one made in the buffer: on its terminator (as
  // StringAppend leaves it), and passed on past it 62 bytes before the
  // area's end, where a 64-byte reservation would grow and move the area.
  TempStringBuffer* buffer = StringBuffer();
  const int64_t saved = buffer->writePosition;
  StringReserve(128, static_cast<int32_t>(saved));
  const int64_t starts[] = {-1, saved, buffer->capacity - 70};
  numbers.push_back(6);
  for (int64_t at : starts) {
    buffer->writePosition = at < 0 ? saved : at;
    if (at >= 0) StringAppend("Fenster");
    if (at > saved) buffer->writePosition++;
    const TempStringBuffer before = *buffer;
    int64_t result = WindowCreate(6, 10, 10, 100, 50, at < 0 ? nullptr : buffer->base + at, WINDOW_HIDDEN);
    ASSERT_NE(result, 0);
    EXPECT_EQ(support::WindowText(reinterpret_cast<HWND>(result)), at < 0 ? "" : "Fenster") << at;
    EXPECT_EQ(buffer->capacity, before.capacity);
    EXPECT_EQ(buffer->base, before.base);
    EXPECT_EQ(buffer->writePosition, before.writePosition);
  }
  buffer->writePosition = saved;
}

TEST_F(WindowTest, WindowIdPropertyIsNumberPlusOne) {
  HWND window0 = Create(0, WINDOW_HIDDEN);
  HWND window5 = Create(5, WINDOW_HIDDEN);
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(window0, "Zel_WindowID")), 1);
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(window5, "Zel_WindowID")), 6);
  // The numbered form returns the platform handle.
  WindowDestroy(5);
  int64_t result = WindowCreate(5, 10, 10, 100, 50, "again", WINDOW_HIDDEN);
  EXPECT_EQ(result, reinterpret_cast<intptr_t>(Record(5)->handle));
}

TEST_F(WindowTest, DynamicWindowIsNamedByItsHandleValue) {
  int64_t value = WindowCreate(OBJECT_ANY, 10, 10, 100, 50, "dynamic", WINDOW_HIDDEN);
  ASSERT_NE(value, 0);
  numbers.push_back(value);
  WindowObject* object = Record(value);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(value, reinterpret_cast<intptr_t>(object));
  EXPECT_NE(value, reinterpret_cast<intptr_t>(object->handle));
  EXPECT_EQ(support::ClassNameOf(object->handle), support::ClassNameOfNumber(value));
  EXPECT_EQ(reinterpret_cast<intptr_t>(GetPropA(object->handle, "Zel_WindowID")), value + 1);
  HWND handle = object->handle;
  WindowDestroy(value);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(Record(value), nullptr);
  EXPECT_FALSE(support::ClassRegistered(value));
}

TEST_F(WindowTest, RecreatingANumberDestroysTheOldWindowAndItsEvents) {
  HWND old = Create(7, WINDOW_HIDDEN);
  Create(8, WINDOW_HIDDEN);
  support::DrainEvents();
  EventPost(EVENT_SYSTRAY, 99, 7, 0);
  EventPost(EVENT_SYSTRAY, 99, 8, 0);
  HWND fresh = Create(7, WINDOW_HIDDEN);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(IsWindow(fresh));
  EXPECT_EQ(support::ClassNameOf(fresh), "WindowClass_7");
  static const support::Recorded expected[] = {{EVENT_SYSTRAY, 99, 8, 0}, support::END_OF_SEQUENCE};
  EXPECT_SEQUENCE("only the other window's event survives", expected, support::DrainEvents());
}

TEST_F(WindowTest, RefusedCreationLeavesNothingRegistered) {
  // A parent handle that names no window makes CreateWindowExA fail.
  HWND bogusParent = reinterpret_cast<HWND>(static_cast<intptr_t>(0x7FFF1234));
  static const struct {
    const char* cause;
    int64_t number;
    bool bogusParent;
  } cases[] = {
      {"a parent that names no window", 9, true},
      {"a dynamic window with such a parent", OBJECT_ANY, true},
      {"a number the registry refuses", REGISTRY_SLOT_LIMIT, false},
      {"a negative number", -2, false},
  };
  for (const auto& row : cases) {
    EXPECT_EQ(WindowCreate(row.number, 10, 10, 100, 50, "refused", 0, row.bogusParent ? bogusParent : nullptr), 0)
        << row.cause;
    EXPECT_EQ(FindWindowA(nullptr, "refused"), nullptr) << row.cause;
    if (row.number == OBJECT_ANY) continue;
    EXPECT_FALSE(support::ClassRegistered(row.number)) << row.cause;
    if (row.number >= 0 && row.number < REGISTRY_SLOT_LIMIT) {
      EXPECT_EQ(Record(row.number), nullptr) << row.cause;
    }
  }
}

TEST_F(WindowTest, FailedAllocationsLeaveTheWindowUnregistered) {
  // The slot's record exists from an earlier window, so the only process-heap
  // allocations left in WindowCreate are the accelerator entries and then
  // the gadget list's record (and event records, which may be lost).
  static const struct {
    const char* cause;
    long budget;
  } rows[] = {{"the accelerator entries", 0}, {"the gadget list's record", 1}};
  Create(10, WINDOW_HIDDEN);
  HWND before = Create(9, WINDOW_HIDDEN);
  WindowDestroy(10);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cause);
    KernelFailAllocationsAfter(row.budget);
    int64_t result = WindowCreate(10, 10, 10, 100, 50, "half made", WINDOW_HIDDEN);
    KernelFailAllocationsAfter(-1);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Record(10), nullptr);
    EXPECT_FALSE(support::ClassRegistered(10));
    EXPECT_EQ(FindWindowA(nullptr, "half made"), nullptr);
    EXPECT_EQ(GadgetListSwitch(nullptr), before);
    EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));
  }
}

TEST_F(WindowTest, CentringOnTheActiveWindow) {
  // Reference near the top-left corner: the result is clamped to 0, 0.
  HWND reference = Create(11, 0, 0, 0, 60, 40);
  ASSERT_TRUE(support::BringToForeground(reference));
  HWND centred = Create(12, WINDOW_CENTRE_WINDOW, 500, 500, 300, 200);
  RECT rect;
  GetWindowRect(centred, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  WindowDestroy(12);

  // Near the bottom-right corner: no clamp, the window may leave the screen.
  WindowDestroy(11);
  reference = Create(11, 0, 900, 650, 60, 40);
  ASSERT_TRUE(support::BringToForeground(reference));
  RECT area;
  GetWindowRect(reference, &area);
  centred = Create(12, WINDOW_CENTRE_WINDOW, 0, 0, 300, 200);
  GetWindowRect(centred, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  EXPECT_EQ(rect.left, (area.right - area.left - width) / 2 + area.left);
  EXPECT_EQ(rect.top, (area.bottom - area.top - height) / 2 + area.top);
  EXPECT_GT(rect.right, GetSystemMetrics(SM_CXSCREEN));
}

TEST_F(WindowTest, CentringOnAGivenParent) {
  HWND parent = Create(13, 0, 200, 150, 400, 300);
  RECT area;
  GetWindowRect(parent, &area);
  int64_t result = WindowCreate(14, 0, 0, 200, 100, "owned", WINDOW_CENTRE_WINDOW, parent);
  ASSERT_NE(result, 0);
  numbers.push_back(14);
  RECT rect;
  GetWindowRect(Record(14)->handle, &rect);
  EXPECT_EQ(rect.left, (area.right - area.left - (rect.right - rect.left)) / 2 + area.left);
  EXPECT_EQ(rect.top, (area.bottom - area.top - (rect.bottom - rect.top)) / 2 + area.top);
  EXPECT_EQ(GetWindow(Record(14)->handle, GW_OWNER), parent);
  // Destroying the owned window hands activation back to its owner.
  ASSERT_TRUE(support::BringToForeground(Record(14)->handle));
  WindowDestroy(14);
  EXPECT_EQ(GetActiveWindow(), parent);
}

TEST_F(WindowTest, CentringWithoutAReferenceKeepsTheCoordinates) {
  // No window of this thread is active once every window is gone.
  ASSERT_EQ(GetActiveWindow(), nullptr);
  HWND window = Create(15, WINDOW_CENTRE_WINDOW | WINDOW_HIDDEN | WS_POPUP, 30, 40, 100, 50);
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 40);
  WindowDestroy(15);
  ASSERT_EQ(GetActiveWindow(), nullptr);
  window = Create(15, WINDOW_CENTRE_WINDOW | WINDOW_HIDDEN | WS_POPUP, WINDOW_DEFAULT_POSITION, 40, 100, 50);
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, WINDOW_DEFAULT_POSITION);
  EXPECT_EQ(rect.top, 40);
}

TEST_F(WindowTest, ScreenCentringCutsAnOversizedWindowToTheScreen) {
  HWND window = Create(16, WINDOW_CENTRE_SCREEN | WINDOW_HIDDEN | WS_POPUP, 0, 0, 3000, 2000);
  RECT rect;
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(WindowTest, LibraryEndDestroysEveryWindowAndReleasesPendingDropData) {
  HWND first = Create(17, WINDOW_HIDDEN);
  HWND second = Create(18, WINDOW_HIDDEN);
  int64_t dynamic = WindowCreate(OBJECT_ANY, 0, 0, 50, 50, "dynamic", WINDOW_HIDDEN);
  ASSERT_NE(dynamic, 0);
  numbers.push_back(dynamic);
  HWND third = Record(dynamic)->handle;
  // Several dynamic windows: each is unlinked while the enumeration goes on.
  int64_t dynamic2 = WindowCreate(OBJECT_ANY, 0, 0, 50, 50, "dynamic 2", WINDOW_HIDDEN);
  int64_t dynamic3 = WindowCreate(OBJECT_ANY, 0, 0, 50, 50, "dynamic 3", WINDOW_HIDDEN);
  ASSERT_NE(dynamic2, 0);
  ASSERT_NE(dynamic3, 0);
  numbers.push_back(dynamic2);
  numbers.push_back(dynamic3);
  HWND fourth = Record(dynamic2)->handle, fifth = Record(dynamic3)->handle;
  DropRecord* record = DropRecordCreate(16);
  ASSERT_NE(record, nullptr);
  WindowStateGet()->dropData = record;
  WindowLibraryEnd();
  EXPECT_FALSE(IsWindow(first));
  EXPECT_FALSE(IsWindow(second));
  EXPECT_FALSE(IsWindow(third));
  EXPECT_FALSE(IsWindow(fourth));
  EXPECT_FALSE(IsWindow(fifth));
  EXPECT_EQ(WindowStateGet()->dropData, nullptr);
  EXPECT_FALSE(DropRecordIsOwn(record));
  EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));
  // With nothing open, only pending drop data is left to release.
  DropRecord* pending = DropRecordCreate(8);
  WindowStateGet()->dropData = pending;
  WindowLibraryEnd();
  EXPECT_EQ(WindowStateGet()->dropData, nullptr);
  EXPECT_FALSE(DropRecordIsOwn(pending));
  WindowLibraryEnd();
}

}  // namespace
