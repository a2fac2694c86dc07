// Gadget lists under Wine: which window is the current list, and how each
// window's list, stack, depth and capacity move between GadgetState and the
// window's own record as the current list switches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/kernel.h"
#include "core/process_heap.h"
#include "core/toolkit.h"
#include "gadget/gadget_list.h"
#include "window/message_table.h"
#include "support/window_fixtures.h"

namespace {

using support::WindowTest;

std::string PropertyName() {
  return "Zel_GadgetStack_" + std::to_string(reinterpret_cast<intptr_t>(GetModuleHandleA(nullptr)));
}

GadgetListSave* SaveOf(HWND window) { return static_cast<GadgetListSave*>(GetPropA(window, PropertyName().c_str())); }

// What the property held when the class procedure saw WM_NCDESTROY; the
// subclass is done with the window by then.
std::vector<HANDLE> propertyAtEnd;
int64_t PropertyAtEndRecord(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_NCDESTROY) propertyAtEnd.push_back(GetPropA(window, PropertyName().c_str()));
  return CALL_DEFAULT;
}

const uint32_t UNLISTED = WINDOW_NO_GADGET_LIST | WINDOW_HIDDEN;

TEST_F(WindowTest, GadgetListSwitchingSavesAndRestoresEachWindowsState) {
  // A fresh state, as after start-up: no list, a stack of ten ready.
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  GadgetStateCreate(font);
  GadgetState* state = GadgetStateGet();
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->font, font);
  EXPECT_EQ(state->currentList, nullptr);
  EXPECT_EQ(state->listCapacity, 10);
  HWND* startStack = state->listStack;
  ASSERT_NE(startStack, nullptr);

  HWND a = Create(60, UNLISTED);
  EXPECT_EQ(SaveOf(a), nullptr) << "a window made with bit 8 is not in the scheme";
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(a, GWLP_WNDPROC)), WindowClassProc);

  EXPECT_EQ(GadgetListSwitch(a), nullptr) << "the first window switched to";
  EXPECT_EQ(state->listStack, startStack) << "takes over the start-up stack";
  EXPECT_EQ(state->currentList, a);
  GadgetListSave* saveA = SaveOf(a);
  ASSERT_NE(saveA, nullptr);
  EXPECT_EQ(saveA->window, a);
  EXPECT_EQ(saveA->savedStack, nullptr);
  EXPECT_EQ(saveA->previousProc, WindowClassProc);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(a, GWLP_WNDPROC)), GadgetListWindowProc);

  HWND b = Create(61, UNLISTED);
  EXPECT_EQ(GadgetListSwitch(b), a);
  EXPECT_EQ(saveA->savedList, a);
  EXPECT_EQ(saveA->savedStack, startStack);
  EXPECT_EQ(saveA->savedDepth, 0);
  EXPECT_EQ(saveA->savedCapacity, 10);
  HWND* stackB = state->listStack;
  EXPECT_NE(stackB, nullptr);
  EXPECT_NE(stackB, startStack);
  EXPECT_EQ(state->listCapacity, 10);
  EXPECT_EQ(state->listDepth, 0);
  EXPECT_EQ(state->currentList, b);

  EXPECT_EQ(GadgetListSwitch(a), b) << "switching back";
  EXPECT_EQ(state->listStack, startStack);
  EXPECT_EQ(state->currentList, a);
  EXPECT_EQ(saveA->savedStack, nullptr);
  EXPECT_EQ(SaveOf(b)->savedStack, stackB);

  EXPECT_EQ(GadgetListSwitch(a), a) << "switching to the current window";
  EXPECT_EQ(state->listStack, startStack);
  EXPECT_EQ(state->currentList, a);
  EXPECT_EQ(saveA->savedStack, nullptr);
  EXPECT_EQ(GadgetListSwitch(nullptr), a) << "the query form";
  EXPECT_EQ(state->currentList, a);

  // With nesting, entry 0 of the stack names the list's window, whatever
  // currentList holds; the depth travels with the window.
  HWND child = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 10, 10, a, nullptr, nullptr, nullptr);
  state->listStack[0] = a;
  state->listDepth = 1;
  state->currentList = child;
  EXPECT_EQ(GadgetListSwitch(nullptr), a);
  EXPECT_EQ(GadgetListSwitch(b), a);
  EXPECT_EQ(saveA->savedList, child);
  EXPECT_EQ(saveA->savedDepth, 1);
  EXPECT_EQ(state->listDepth, 0);
  EXPECT_EQ(GadgetListSwitch(a), b);
  EXPECT_EQ(state->currentList, child);
  EXPECT_EQ(state->listDepth, 1);
  state->listDepth = 0;
  state->listStack[0] = nullptr;
  state->currentList = a;

  // A window that is not current takes only its own record with it.
  WindowDestroy(61);
  EXPECT_EQ(state->currentList, a);
  EXPECT_EQ(state->listStack, startStack);
  EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));

  // The current window leaves no list behind, but its stack stays.
  WindowDestroy(60);
  EXPECT_EQ(state->currentList, nullptr);
  EXPECT_EQ(state->listDepth, 0);
  EXPECT_EQ(GadgetListSwitch(nullptr), nullptr);
  EXPECT_EQ(state->listStack, startStack);

  // A new window reuses the left-over stack...
  HWND c = Create(62, UNLISTED);
  EXPECT_EQ(GadgetListSwitch(c), nullptr);
  EXPECT_EQ(state->listStack, startStack);
  HWND d = Create(63, UNLISTED);
  EXPECT_EQ(GadgetListSwitch(d), c);
  WindowDestroy(63);
  EXPECT_FALSE(IsWindow(d));
  EXPECT_EQ(GadgetListSwitch(nullptr), nullptr);
  // ...and a known window frees the left-over one for its own.
  EXPECT_EQ(GadgetListSwitch(c), nullptr);
  EXPECT_EQ(state->listStack, startStack);
  EXPECT_EQ(state->currentList, c);
  EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));
}

TEST_F(WindowTest, NewWindowsBecomeTheCurrentListUnlessToldNot) {
  HWND listed = Create(64, WINDOW_HIDDEN);
  EXPECT_EQ(GadgetListSwitch(nullptr), listed);
  ASSERT_NE(SaveOf(listed), nullptr);
  HWND unlisted = Create(65, UNLISTED);
  EXPECT_EQ(GadgetListSwitch(nullptr), listed);
  EXPECT_EQ(SaveOf(unlisted), nullptr);
  // The subclass passes messages on to the class procedure.
  WindowStateGet()->eventWindow = 0;
  SendMessageA(listed, WM_APP + 1, 0, 0);
  EXPECT_EQ(WindowStateGet()->eventWindow, 64);
}

// Any process can write the property; whatever it holds, the window keeps
// its own record, its subclass chain and its list state.
TEST_F(WindowTest, ForgedListPropertyIsNeverFollowed) {
  HWND a = Create(66, WINDOW_HIDDEN);
  HWND b = Create(67, WINDOW_HIDDEN);
  GadgetListSave* saveA = GadgetListSaveOf(a);
  ASSERT_NE(saveA, nullptr);
  EXPECT_EQ(SaveOf(a), saveA) << "the property shows the record";
  const std::string name = PropertyName();
  const intptr_t forged[] = {static_cast<intptr_t>(0x4141414141414141LL), reinterpret_cast<intptr_t>(saveA) + 8,
                             reinterpret_cast<intptr_t>(GadgetListSaveOf(b)), 0};
  for (intptr_t value : forged) {
    for (HWND window : {a, b}) {
      if (value) SetPropA(window, name.c_str(), reinterpret_cast<HANDLE>(value));
      else RemovePropA(window, name.c_str());
    }
    WindowStateGet()->eventWindow = 0;
    SendMessageA(a, WM_APP + 1, 0, 0);
    EXPECT_EQ(WindowStateGet()->eventWindow, 66) << "value " << value << ": the class procedure still runs";
    EXPECT_EQ(GadgetListSwitch(a), b);
    EXPECT_EQ(GadgetListSwitch(b), a);
    EXPECT_EQ(saveA->savedList, a);
    EXPECT_EQ(GadgetListSaveOf(a), saveA);
  }
  SetPropA(a, name.c_str(), saveA);
  WindowDestroy(67);
  EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));
}

TEST_F(WindowTest, DestroyedWindowTakesItsRecordAndPropertyWithIt) {
  HWND current = Create(68, WINDOW_HIDDEN);
  HWND earlier = Create(69, WINDOW_HIDDEN);
  GadgetListSwitch(current);
  ASSERT_NE(SaveOf(earlier), nullptr);
  WindowStateGet()->userWindowCallback = PropertyAtEndRecord;
  propertyAtEnd.clear();
  WindowDestroy(69);
  WindowDestroy(68);
  WindowStateGet()->userWindowCallback = nullptr;
  std::vector<HANDLE> expected = {nullptr, nullptr};
  EXPECT_EQ(propertyAtEnd, expected) << "neither the current nor another window keeps the property";
  EXPECT_EQ(GadgetListSaveOf(earlier), nullptr);
  EXPECT_EQ(GadgetListSaveOf(current), nullptr);
  EXPECT_EQ(GadgetListSwitch(nullptr), nullptr);
}

TEST_F(WindowTest, WindowThatCannotJoinDoesNotBecomeCurrent) {
  HWND listed = Create(70, WINDOW_HIDDEN);
  HWND other = Create(71, UNLISTED);
  static const struct {
    const char* cause;
    bool desktop;  // a window of another process, which refuses the subclass
    long budget;
  } rows[] = {{"its record cannot be allocated", false, 0}, {"the desktop refuses the subclass", true, -1}};
  GadgetState* state = GadgetStateGet();
  HWND* stack = state->listStack;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cause);
    HWND window = row.desktop ? GetDesktopWindow() : other;
    KernelFailAllocationsAfter(row.budget);
    EXPECT_EQ(GadgetListSwitch(window), listed);
    KernelFailAllocationsAfter(-1);
    EXPECT_EQ(GadgetListSwitch(nullptr), listed);
    EXPECT_EQ(state->listStack, stack);
    EXPECT_EQ(GadgetListSaveOf(listed)->savedStack, nullptr) << "the stack is the state's again";
    EXPECT_EQ(GadgetListSaveOf(window), nullptr);
    EXPECT_EQ(GetPropA(window, PropertyName().c_str()), nullptr);
  }
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(other, GWLP_WNDPROC)), WindowClassProc);
  WindowDestroy(71);
  EXPECT_EQ(GadgetListSwitch(nullptr), listed) << "no dead window is left as the list";
  EXPECT_TRUE(KernelHeapValidate(ProcessHeap()));
}

}  // namespace
