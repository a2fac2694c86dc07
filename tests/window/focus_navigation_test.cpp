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
const ControlEntry tabStopContainerLayout[] = {{STOP}, {STOP, "Static"}, END};
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
    support::PumpUntilIdle();
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
    support::PumpUntilIdle();
    EXPECT_SEQUENCE("events left behind", support::NOTHING, support::QueuedEventsTake());
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
  ASSERT_TRUE(support::BringToForeground(window)) << "awaited the test window in the foreground";
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

struct NestedStep {
  int start, direction, expected;  // control indices; direction 1 is Shift+Tab
};
// Control 0, then a container (control 1) holding 2 and 3, then 4 outside it.
const NestedStep plainContainerSteps[] = {{0, 0, 2}, {2, 0, 3}, {3, 0, 4}, {4, 1, 3}, {2, 1, 0}, {-1, 0, 0}};
// A container that is a tab stop itself comes before its contents (only a
// composite control's parts are passed over), and Shift+Tab undoes Tab.
const NestedStep tabStopContainerSteps[] = {{0, 0, 1}, {1, 0, 2}, {2, 0, 3}, {3, 0, 4}, {4, 0, 0}, {1, 1, 0},
                                            {2, 1, 1}, {3, 1, 2}, {4, 1, 3}, {0, 1, 4}, {-1, 0, 0}};
const NestedStep mdiChildSteps[] = {
    {2, 0, 3}, {3, 0, 2},  // wraps inside the child, never out to 4
    {2, 1, 3}, {3, 1, 2},
    {1, 0, 2}, {1, 1, 3},  // focus on the child itself: its first or last tab stop
    {-1, 0, 0}};

TEST_F(FocusTest, NestedTabStopsFollowTheirContainer) {
  WNDCLASSA childClass = {};
  childClass.lpfnWndProc = DefWindowProcA;
  childClass.hInstance = GetModuleHandleA(nullptr);
  childClass.lpszClassName = "MDI_ChildClass";
  ASSERT_NE(RegisterClassA(&childClass), 0);
  static const struct {
    const char* situation;
    const ControlEntry* layout;
    const NestedStep* steps;  // ended by start -1
  } cases[] = {
      {"descendants follow their parent", containerLayout, plainContainerSteps},
      {"a tab-stop container comes before its contents", tabStopContainerLayout, tabStopContainerSteps},
      {"Tab stays inside an MDI child", mdiLayout, mdiChildSteps},
  };
  HWND window = PlainWindow();
  for (const auto& row : cases) {
    std::vector<HWND> controls = Populate(window, row.layout);
    std::vector<HWND> inner = Populate(controls[1], twoStops);
    controls.insert(controls.end(), inner.begin(), inner.end());
    controls.push_back(CreateWindowExA(0, "Button", "", WS_CHILD | STOP, 10, 200, 80, 20, window, nullptr,
                                       GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(support::BringToForeground(window));
    for (const NestedStep* step = row.steps; step->start >= 0; step++) {
      SetFocus(controls[step->start]);
      ASSERT_EQ(GetFocus(), controls[step->start]) << row.situation;
      FocusNavigate(step->direction);
      EXPECT_EQ(FocusIndex(window, controls), step->expected)
          << row.situation << ": from " << step->start << " direction " << step->direction;
    }
    DestroyWindow(controls[1]);
    DestroyWindow(controls[0]);
    DestroyWindow(controls[4]);
  }
  EXPECT_TRUE(UnregisterClassA("MDI_ChildClass", GetModuleHandleA(nullptr)));
}

// An IP address control (four edit fields) and an extended combo box (a
// combo box inside) are each one tab stop: Tab from any part goes past the
// whole control, Shift+Tab before it.
TEST_F(FocusTest, CompositeControlsAreLeftAsAWhole) {
  static const struct {
    const ControlEntry* layout;
    size_t parts;
    bool partTakesTheTabStop;  // the part inherits the outer control's WS_TABSTOP
  } cases[] = {{addressLayout, 4, false}, {comboLayout, 1, true}};
  HWND window = PlainWindow();
  for (const auto& row : cases) {
    std::vector<HWND> controls = Populate(window, row.layout);
    ASSERT_NE(controls[1], nullptr) << "the common controls are initialised by the gadget library";
    std::string kind = support::ClassNameOf(controls[1]);
    ASSERT_TRUE(support::BringToForeground(window));
    std::vector<HWND> parts;
    for (HWND part = GetWindow(controls[1], GW_CHILD); part; part = GetWindow(part, GW_HWNDNEXT))
      parts.push_back(part);
    ASSERT_EQ(parts.size(), row.parts) << kind;
    for (size_t i = 0; i < parts.size(); i++) {
      if (row.partTakesTheTabStop) {
        EXPECT_NE(GetWindowLongA(parts[i], GWL_STYLE) & WS_TABSTOP, 0) << kind;
      }
      SetFocus(parts[i]);
      ASSERT_EQ(GetFocus(), parts[i]);
      FocusNavigate(0);
      EXPECT_EQ(GetFocus(), controls[2]) << kind << ": Tab from part " << i << " goes past the whole control, not to "
                                         << support::ClassNameOf(GetFocus());
      SetFocus(parts[i]);
      FocusNavigate(1);
      EXPECT_EQ(GetFocus(), controls[0]) << kind << ": Shift+Tab from part " << i << " goes before the whole control";
    }
    for (HWND control : controls) DestroyWindow(control);
  }
}

TEST_F(FocusTest, AcceleratorTableIsWithheldFromControlsThatTakeTabThemselves) {
  ASSERT_NE(LoadLibraryA("riched20.dll"), nullptr);
  HWND window = ToolkitWindow(40);
  ASSERT_NE(window, nullptr);
  std::vector<HWND> controls = Populate(window, keyTakerLayout);
  enum { EDIT, RICH_WRITABLE, RICH_READ_ONLY, HOTKEY };
  SendMessageA(controls[RICH_READ_ONLY], EM_SETOPTIONS, ECOOP_OR, ECO_READONLY);
  SetPropA(controls[HOTKEY], "Zel_Hotkey", reinterpret_cast<HANDLE>(1));
  ASSERT_TRUE(support::BringToForeground(window));
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
  ASSERT_TRUE(support::BringToForeground(foreign));
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
    ASSERT_TRUE(support::BringToForeground(window));
    SetFocus(controls[0]);
    support::DrainEvents();
    support::PressKey(VK_TAB);
    // The key's release is the last message the Tab press produces.
    DWORD start = GetTickCount();
    bool released = false;
    while (!released && GetTickCount() - start < 5000) released = EventPoll(100) == WM_KEYUP;
    ASSERT_TRUE(released) << "awaited WM_KEYUP of Tab through the event wait";
    if (row.focusStays) {
      EXPECT_EQ(GetFocus(), controls[0]) << "a writable rich edit control keeps the focus on Tab";
      EXPECT_NE(support::WindowText(controls[0]).find('\t'), std::string::npos) << "and receives the Tab as text";
    } else {
      EXPECT_EQ(GetFocus(), controls[1]) << "Tab leaves a read-only rich edit control";
    }
    for (HWND control : controls) DestroyWindow(control);
  }
}

}  // namespace
