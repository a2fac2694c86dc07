// Keyboard focus navigation and the choice of accelerator table, on real
// windows and controls under Wine.
#include <gtest/gtest.h>

#include <richedit.h>

#include <string>
#include <vector>

#include "support/gui_test_support.h"
#include "window/event_wait.h"
#include "window/events/event_queue.h"
#include "window/focus_navigation.h"
#include "window/window_object.h"

namespace {

const char* const PLAIN_CLASS = "FocusTestWindow";

// A control of a test layout: a push button unless a class is given.
struct ControlEntry {
  DWORD style;        // added to WS_CHILD; END_OF_LAYOUT ends a layout
  const char* className = nullptr;
};

const DWORD STOP = WS_VISIBLE | WS_TABSTOP;
const DWORD END_OF_LAYOUT = 0xFFFFFFFF;
const ControlEntry END = {END_OF_LAYOUT, nullptr};

// Tab stops 0, 3 and 5; 1 lacks WS_TABSTOP, 2 is disabled, 4 is hidden.
const ControlEntry mixedLayout[] = {{STOP}, {WS_VISIBLE}, {STOP | WS_DISABLED}, {STOP}, {WS_TABSTOP}, {STOP}, END};
const ControlEntry singleLayout[] = {{WS_VISIBLE}, {STOP}, {WS_VISIBLE}, END};
const ControlEntry noStopLayout[] = {{WS_VISIBLE}, {STOP | WS_DISABLED}, END};
const ControlEntry containerLayout[] = {{STOP}, {WS_VISIBLE, "Static"}, END};
const ControlEntry twoStops[] = {{STOP}, {STOP}, END};
const ControlEntry comboLayout[] = {{STOP}, {STOP | CBS_DROPDOWNLIST, "ComboBoxEx32"}, {STOP}, END};
const ControlEntry mdiLayout[] = {{STOP}, {WS_VISIBLE, "MDI_ChildClass"}, END};
const ControlEntry addressLayout[] = {{STOP}, {STOP, "SysIPAddress32"}, {STOP}, END};
const ControlEntry keyTakerLayout[] = {{STOP, "Edit"}, {STOP | ES_MULTILINE, "RichEdit20A"},
                                      {STOP | ES_MULTILINE, "RichEdit20A"}, {STOP, "Edit"}, END};
const ControlEntry richThenEdit[] = {{STOP | ES_MULTILINE, "RichEdit20A"}, {STOP, "Edit"}, END};

enum { NO_FOCUS = -1, WINDOW_ITSELF = -2 };

// The tests share one plain top-level window and empty it after each test:
// destroying a top-level window costs Wine a two-second wait for a window
// manager that is not there.
class FocusTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = PLAIN_CLASS;
    RegisterClassA(&windowClass);
    shared = CreateWindowExA(0, PLAIN_CLASS, "focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  }

  static void TearDownTestSuite() {
    DestroyWindow(shared);
    shared = nullptr;
    gui::PumpUntilIdle();
    EXPECT_TRUE(UnregisterClassA(PLAIN_CLASS, GetModuleHandleA(nullptr))) << "all test windows destroyed";
  }

  void SetUp() override {
    ASSERT_NE(shared, nullptr);
    GetKeyboardState(savedKeys);
  }

  void TearDown() override {
    SetKeyboardState(savedKeys);
    std::vector<HWND> children;
    for (HWND child = GetWindow(shared, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      children.push_back(child);
    for (HWND child : children) DestroyWindow(child);
    for (int64_t number : toolkitWindows) WindowDestroy(number);
    gui::PumpUntilIdle();
    int64_t object, window, type;
    void* data;
    EventDataRelease release;
    EXPECT_EQ(EventPop(&object, &window, &type, &data, &release), 0) << "no queued event left behind";
  }

  // The shared window, emptied after every test.
  static HWND PlainWindow() { return shared; }

  // A toolkit window: it carries "Zel_WindowID" and an accelerator table.
  HWND ToolkitWindow(int64_t number) {
    HWND window = reinterpret_cast<HWND>(
        WindowCreate(number, 100, 100, 400, 300, "focus", WS_CAPTION | WS_SYSMENU | WINDOW_NO_GADGET_LIST));
    toolkitWindows.push_back(number);
    return window;
  }

  static std::vector<HWND> Populate(HWND parent, const ControlEntry* layout) {
    std::vector<HWND> controls;
    for (const ControlEntry* entry = layout; entry->style != END_OF_LAYOUT; entry++) {
      int index = static_cast<int>(controls.size());
      controls.push_back(CreateWindowExA(0, entry->className ? entry->className : "Button", "", WS_CHILD | entry->style,
                                         10, 10 + 25 * index, 120, 22, parent, nullptr, GetModuleHandleA(nullptr),
                                         nullptr));
    }
    return controls;
  }

  static void FocusOn(HWND window, const std::vector<HWND>& controls, int which) {
    SetFocus(which == NO_FOCUS ? nullptr : which == WINDOW_ITSELF ? window : controls[which]);
  }

  static int FocusIndex(HWND window, const std::vector<HWND>& controls) {
    HWND focus = GetFocus();
    if (!focus) return NO_FOCUS;
    if (focus == window) return WINDOW_ITSELF;
    for (size_t i = 0; i < controls.size(); i++)
      if (controls[i] == focus) return static_cast<int>(i);
    return -100;
  }

  static void SetKeys(std::initializer_list<int> keysDown) {
    BYTE keys[256] = {};
    for (int key : keysDown) keys[key] = 0x80;
    SetKeyboardState(keys);
  }

  // Reads what is pending, so that the next results belong to the test.
  static void DrainEvents() {
    DWORD start = GetTickCount();
    while (EventPoll(0) != 0 && GetTickCount() - start < 2000) {
    }
  }

  static HWND shared;
  BYTE savedKeys[256];
  std::vector<int64_t> toolkitWindows;
};

HWND FocusTest::shared;

TEST_F(FocusTest, TabAndShiftTabVisitTheTabStopsAndWrapAround) {
  static const struct {
    const char* situation;
    const ControlEntry* layout;
    int start;
    int forward;   // focus after Tab
    int backward;  // focus after Shift+Tab
  } cases[] = {
      {"first tab stop", mixedLayout, 0, 3, 5},
      {"middle tab stop", mixedLayout, 3, 5, 0},
      {"last tab stop", mixedLayout, 5, 0, 3},
      {"no focus", mixedLayout, NO_FOCUS, 0, 5},
      {"focus on the active window itself", mixedLayout, WINDOW_ITSELF, 0, 5},
      {"focus on a control without WS_TABSTOP", mixedLayout, 1, 1, 5},
      {"single tab stop", singleLayout, 1, 1, 1},
      {"single tab stop, no focus", singleLayout, NO_FOCUS, 1, 1},
      {"no tab stop", noStopLayout, 0, 0, 0},
      {"no tab stop, no focus", noStopLayout, NO_FOCUS, NO_FOCUS, NO_FOCUS},
  };
  HWND window = PlainWindow();
  ASSERT_TRUE(gui::BringToForeground(window)) << "awaited the test window in the foreground";
  for (const auto& row : cases) {
    std::vector<HWND> controls = Populate(window, row.layout);
    for (int direction = 0; direction <= 1; direction++) {
      FocusOn(window, controls, row.start);
      ASSERT_EQ(FocusIndex(window, controls), row.start) << row.situation;
      FocusNavigate(direction);
      EXPECT_EQ(FocusIndex(window, controls), direction ? row.backward : row.forward)
          << row.situation << (direction ? ", Shift+Tab" : ", Tab");
    }
    for (HWND control : controls) DestroyWindow(control);
  }
}

TEST_F(FocusTest, DescendantsFollowTheirParentInTabOrder) {
  HWND window = PlainWindow();
  // 0, then a container (no tab stop) holding 2 and 3, then 4.
  std::vector<HWND> controls = Populate(window, containerLayout);
  std::vector<HWND> inner = Populate(controls[1], twoStops);
  controls.insert(controls.end(), inner.begin(), inner.end());
  controls.push_back(CreateWindowExA(0, "Button", "", WS_CHILD | STOP, 10, 200, 80, 20, window, nullptr,
                                     GetModuleHandleA(nullptr), nullptr));
  ASSERT_TRUE(gui::BringToForeground(window));
  static const struct {
    int start, direction, expected;
  } cases[] = {{0, 0, 2}, {2, 0, 3}, {3, 0, 4}, {4, 1, 3}, {2, 1, 0}};
  for (const auto& row : cases) {
    SetFocus(controls[row.start]);
    FocusNavigate(row.direction);
    EXPECT_EQ(FocusIndex(window, controls), row.expected) << "from " << row.start << " direction " << row.direction;
  }
}

TEST_F(FocusTest, AnIpAddressControlIsLeftAsAWhole) {
  HWND window = PlainWindow();
  std::vector<HWND> controls = Populate(window, addressLayout);
  ASSERT_NE(controls[1], nullptr) << "the common controls are initialised by the gadget library";
  ASSERT_TRUE(gui::BringToForeground(window));
  std::vector<HWND> fields;
  for (HWND field = GetWindow(controls[1], GW_CHILD); field; field = GetWindow(field, GW_HWNDNEXT))
    fields.push_back(field);
  ASSERT_EQ(fields.size(), 4u) << "an address control has four fields";
  for (size_t i = 0; i < fields.size(); i++) {
    SetFocus(fields[i]);
    ASSERT_EQ(GetFocus(), fields[i]);
    FocusNavigate(0);
    EXPECT_EQ(GetFocus(), controls[2]) << "Tab from field " << i << " goes past the whole control";
    SetFocus(fields[i]);
    FocusNavigate(1);
    EXPECT_EQ(GetFocus(), controls[0]) << "Shift+Tab from field " << i << " goes before the whole control";
  }
}

TEST_F(FocusTest, AComboBoxExListIsLeftAsAWhole) {
  HWND window = PlainWindow();
  std::vector<HWND> controls = Populate(window, comboLayout);
  HWND inner = GetWindow(controls[1], GW_CHILD);
  ASSERT_NE(inner, nullptr) << "the extended combo box holds a combo box";
  // The combo box inside inherits the outer control's WS_TABSTOP.
  EXPECT_NE(GetWindowLongA(inner, GWL_STYLE) & WS_TABSTOP, 0);
  ASSERT_TRUE(gui::BringToForeground(window));
  SetFocus(inner);
  ASSERT_EQ(GetFocus(), inner);
  FocusNavigate(0);
  EXPECT_EQ(GetFocus(), controls[2]) << "Tab goes past the whole control, not to a part of it ("
                                     << gui::ClassNameOf(GetFocus()) << ")";
  SetFocus(inner);
  FocusNavigate(1);
  EXPECT_EQ(GetFocus(), controls[0]) << "Shift+Tab goes before the whole control";
}

TEST_F(FocusTest, InsideAnMdiChildTabStaysInTheChild) {
  WNDCLASSA childClass = {};
  childClass.lpfnWndProc = DefWindowProcA;
  childClass.hInstance = GetModuleHandleA(nullptr);
  childClass.lpszClassName = "MDI_ChildClass";
  ASSERT_NE(RegisterClassA(&childClass), 0);
  HWND window = PlainWindow();
  // 0, the MDI child holding 2 and 3, then 4 outside it.
  std::vector<HWND> controls = Populate(window, mdiLayout);
  std::vector<HWND> inner = Populate(controls[1], twoStops);
  controls.insert(controls.end(), inner.begin(), inner.end());
  controls.push_back(CreateWindowExA(0, "Button", "", WS_CHILD | STOP, 10, 200, 80, 20, window, nullptr,
                                     GetModuleHandleA(nullptr), nullptr));
  ASSERT_TRUE(gui::BringToForeground(window));
  static const struct {
    int start, direction, expected;
  } cases[] = {
      {2, 0, 3}, {3, 0, 2},  // wraps inside the child, never out to 4
      {2, 1, 3}, {3, 1, 2},
      {1, 0, 2}, {1, 1, 3},  // focus on the child itself: its first or last tab stop
  };
  for (const auto& row : cases) {
    SetFocus(controls[row.start]);
    ASSERT_EQ(GetFocus(), controls[row.start]);
    FocusNavigate(row.direction);
    EXPECT_EQ(FocusIndex(window, controls), row.expected) << "from " << row.start << " direction " << row.direction;
  }
  DestroyWindow(controls[1]);
  EXPECT_TRUE(UnregisterClassA("MDI_ChildClass", GetModuleHandleA(nullptr)));
}

TEST_F(FocusTest, AcceleratorTableIsWithheldFromControlsThatTakeTabThemselves) {
  ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
  HWND window = ToolkitWindow(40);
  ASSERT_NE(window, nullptr);
  std::vector<HWND> controls = Populate(window, keyTakerLayout);
  enum { EDIT, RICH_WRITABLE, RICH_READ_ONLY, HOTKEY };
  SendMessageA(controls[RICH_READ_ONLY], EM_SETOPTIONS, ECOOP_OR, ECO_READONLY);
  SetPropA(controls[HOTKEY], "Zel_Hotkey", reinterpret_cast<HANDLE>(1));
  ASSERT_TRUE(gui::BringToForeground(window));
  HACCEL table = static_cast<WindowObject*>(RegistryLookup(WindowRegistry(), 40))->accelTable;
  ASSERT_NE(table, nullptr);

  static const struct {
    const char* situation;
    int focus;
    std::initializer_list<int> keys;
    bool tableUsed;
  } cases[] = {
      {"Tab in an edit control", EDIT, {VK_TAB}, true},
      {"Tab in a writable rich edit control", RICH_WRITABLE, {VK_TAB}, false},
      {"Ctrl+Tab in a writable rich edit control", RICH_WRITABLE, {VK_TAB, VK_CONTROL}, true},
      {"Shift+Tab in a writable rich edit control", RICH_WRITABLE, {VK_TAB, VK_SHIFT}, true},
      {"Alt+Tab in a writable rich edit control", RICH_WRITABLE, {VK_TAB, VK_MENU}, true},
      {"no key in a writable rich edit control", RICH_WRITABLE, {}, true},
      {"Tab in a read-only rich edit control", RICH_READ_ONLY, {VK_TAB}, true},
      {"Tab in a control marked Zel_Hotkey", HOTKEY, {VK_TAB}, false},
      {"Shift+Tab in a control marked Zel_Hotkey", HOTKEY, {VK_TAB, VK_SHIFT}, false},
      {"Tab with no focus", NO_FOCUS, {VK_TAB}, true},
  };
  for (const auto& row : cases) {
    FocusOn(window, controls, row.focus);
    SetKeys(row.keys);
    EXPECT_EQ(AcceleratorTableChoose(window), row.tableUsed ? table : nullptr) << row.situation;
  }
  SetKeyboardState(savedKeys);
  RemovePropA(controls[HOTKEY], "Zel_Hotkey");

  HWND foreign = PlainWindow();
  HWND foreignEdit = CreateWindowExA(0, "Edit", "", WS_CHILD | STOP, 10, 10, 100, 20, foreign, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(gui::BringToForeground(foreign));
  SetFocus(foreignEdit);
  EXPECT_EQ(AcceleratorTableChoose(foreign), nullptr) << "a window without Zel_WindowID has no table";
  EXPECT_EQ(AcceleratorTableChoose(nullptr), nullptr) << "no active window";
}

TEST_F(FocusTest, RealTabReachesAWritableRichEditButLeavesAReadOnlyOne) {
  ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
  static const struct {
    bool readOnly;
    bool focusStays;
  } cases[] = {{false, true}, {true, false}};
  HWND window = ToolkitWindow(41);
  ASSERT_NE(window, nullptr);
  for (const auto& row : cases) {
    std::vector<HWND> controls = Populate(window, richThenEdit);
    if (row.readOnly) SendMessageA(controls[0], EM_SETOPTIONS, ECOOP_OR, ECO_READONLY);
    ASSERT_TRUE(gui::BringToForeground(window));
    SetFocus(controls[0]);
    DrainEvents();
    gui::PressKey(VK_TAB);
    // The key's release is the last message the Tab press produces.
    DWORD start = GetTickCount();
    bool released = false;
    while (!released && GetTickCount() - start < 5000) released = EventPoll(100) == WM_KEYUP;
    ASSERT_TRUE(released) << "awaited WM_KEYUP of Tab through the event wait";
    if (row.focusStays) {
      EXPECT_EQ(GetFocus(), controls[0]) << "a writable rich edit control keeps the focus on Tab";
      EXPECT_NE(gui::WindowText(controls[0]).find('\t'), std::string::npos) << "and receives the Tab as text";
    } else {
      EXPECT_EQ(GetFocus(), controls[1]) << "Tab leaves a read-only rich edit control";
    }
    for (HWND control : controls) DestroyWindow(control);
  }
}

}  // namespace
