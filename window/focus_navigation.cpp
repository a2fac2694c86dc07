// Keyboard focus navigation for the toolkit's plain top-level windows, which
// get no dialog navigation from the system. Every window's accelerator table
// turns Tab and Shift+Tab into CMD_FOCUS_NEXT / CMD_FOCUS_PREVIOUS; the
// message table answers them with FocusNavigate, which walks the active
// window's descendants in EnumChildWindows order and wraps at either end.
// AcceleratorTableChoose is asked by the event wait before every message is
// translated, so that controls which need Tab themselves (writable rich edit
// controls, controls marked "Zel_Hotkey") still receive it.
//
// GUI thread only. Nothing outlives a call: FocusNavigate changes only the
// platform's focus, and the controls report that change themselves.
#include "window/focus_navigation.h"

#include <string.h>

#include "window/events/window_properties.h"
#include "window/window_object.h"

namespace {

struct FocusNavigationContext {
  HWND current;    // window to move from (focus or its composite control); null = none
  HWND previous;   // backward: last tab stop seen so far
  int32_t passed;  // forward: 1 once current was passed; the next tab stop takes the focus
  int32_t done;    // backward: 1 once the focus has been set
  int32_t composite; // current is a composite control, whose parts Tab passes over
};

const int CLASS_NAME_LIMIT = 50;
const UINT MESSAGE_GET_OPTIONS = 1102;     // EM_GETOPTIONS of rich edit controls
const LRESULT OPTION_READ_ONLY = 0x800;    // ECO_READONLY

bool WindowIsTabStop(HWND window) {
  return IsWindowEnabled(window) && IsWindowVisible(window) &&
         (GetWindowLongPtrA(window, GWL_STYLE) & WS_TABSTOP) != 0;
}

BOOL CALLBACK FocusVisitForward(HWND window, LPARAM contextAddress) {
  FocusNavigationContext* context = reinterpret_cast<FocusNavigationContext*>(contextAddress);
  if (!WindowIsTabStop(window)) return TRUE;
  if (context->passed) {
    // The parts of a composite control come right after it and may be tab
    // stops themselves (an extended combo box hands its own WS_TABSTOP to
    // the combo box inside); Tab would then never leave the control. Any
    // other container's tab stops are visited in their turn.
    if (context->composite && IsChild(context->current, window)) return TRUE;
    SetFocus(window);
    context->passed = 0;
    return FALSE;
  }
  if (!context->current) {
    SetFocus(window);
    return FALSE;
  }
  if (window == context->current) context->passed = 1;
  return TRUE;
}

BOOL CALLBACK FocusVisitBackward(HWND window, LPARAM contextAddress) {
  FocusNavigationContext* context = reinterpret_cast<FocusNavigationContext*>(contextAddress);
  if (!WindowIsTabStop(window)) return TRUE;
  if (window == context->current && context->previous) {
    SetFocus(context->previous);
    context->done = 1;
    context->previous = window;
    return FALSE;
  }
  context->previous = window;
  return TRUE;
}

bool KeyIsDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x80) != 0; }

}  // namespace

void FocusNavigate(int32_t direction) {
  HWND root = GetActiveWindow();
  HWND focus = GetFocus();
  FocusNavigationContext context = {};

  if (root && focus && IsChild(root, focus)) {
    context.current = focus;
    // Composite controls move as a whole, and inside an MDI child the child
    // is the window to navigate; the outermost match wins, so later
    // (higher) windows overwrite what lower ones set.
    for (HWND window = focus; window; window = GetParent(window)) {
      char className[CLASS_NAME_LIMIT] = {};
      GetClassNameA(window, className, CLASS_NAME_LIMIT);
      if (strcmp(className, "MDI_ChildClass") == 0) {
        root = window;
        if (window == focus) context.current = nullptr;
      } else if (strcmp(className, "ComboBoxEx32") == 0) {
        if (GetWindowLongPtrA(window, GWL_STYLE) & 1) context.current = window;
        if (context.current == window) context.composite = 1;
      } else if (strcmp(className, "SysIPAddress32") == 0) {
        context.current = window;
        context.composite = 1;
      }
    }
  }
  // EnumChildWindows of no window would walk every top-level window.
  if (!root) return;

  LPARAM contextAddress = reinterpret_cast<LPARAM>(&context);
  if (direction != 0) {
    EnumChildWindows(root, FocusVisitBackward, contextAddress);
    // current was the first tab stop (or none was found): wrap to the last.
    if (!context.done && context.previous) SetFocus(context.previous);
    return;
  }
  EnumChildWindows(root, FocusVisitForward, contextAddress);
  // current was the last tab stop: a second pass hands the focus to the first.
  if (context.passed) EnumChildWindows(root, FocusVisitForward, contextAddress);
}

HACCEL AcceleratorTableChoose(HWND window) {
  HWND focus = GetFocus();
  if (focus) {
    // The keys are read in this order on purpose: GetKeyState reflects the
    // state as of the message being translated, and Tab decides first.
    if (KeyIsDown(VK_TAB) && !KeyIsDown(VK_CONTROL) && !KeyIsDown(VK_SHIFT) && !KeyIsDown(VK_MENU)) {
      char className[5] = {};
      GetClassNameA(focus, className, sizeof className);
      // A writable rich edit control takes Tab as text.
      if (strncmp(className, "Rich", 4) == 0 &&
          (SendMessageA(focus, MESSAGE_GET_OPTIONS, 0, 0) & OPTION_READ_ONLY) == 0)
        return nullptr;
    }
    if (GetPropA(focus, PROPERTY_HOTKEY)) return nullptr;
  }
  WindowObject* object = WindowObjectOf(window);
  return object ? object->accelTable : nullptr;
}
