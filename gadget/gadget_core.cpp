// The gadget core: the GadgetRegistry, registration of a freshly created
// control, the subclass procedure every gadget control runs, the hand-over
// of notifications to a gadget's kind, and gadget text.
//
// GadgetLibraryStart runs once, last in the toolkit's start-up, after the
// event and window libraries. There is no end: controls go with their
// windows, and each control releases its record, its properties and its
// queued events on its own WM_NCDESTROY, which is the only clean-up point.
// GUI thread only.
#include "gadget/gadget_core.h"

#include <commctrl.h>
#include <ole2.h>

#include "core/kernel.h"
#include "core/string_buffer.h"
#include "core/toolkit.h"
#include "gadget/gadget_colour.h"
#include "gadget/gadget_list.h"
#include "window/events/event_codes.h"
#include "window/events/event_queue.h"
#include "window/events/module_instance.h"
#include "window/events/window_properties.h"

static ObjectRegistry* gadgetRegistry;

ObjectRegistry* GadgetRegistry(void) { return gadgetRegistry; }

void GadgetLibraryStart(void) {
  BrushCacheStart();
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  gadgetRegistry = RegistryCreate(sizeof(GadgetObject), 50, GadgetDiscard);
  GadgetStateCreate(font);
  // Without these no gadget could ever be made: a window without controls.
  if (!gadgetRegistry || !GadgetStateGet()) KernelFatal("out of memory: cannot start the gadget library");
  INITCOMMONCONTROLSEX controls;
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_TAB_CLASSES | ICC_HOTKEY_CLASS | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES;
  InitCommonControlsEx(&controls);
}

// The live record of a gadget number or handle value, or null.
static GadgetObject* GadgetLookup(int64_t number) {
  if (!gadgetRegistry) return nullptr;
  return static_cast<GadgetObject*>(RegistryLookup(gadgetRegistry, number));
}

GadgetObject* GadgetControlCreate(int64_t number, const char* className, uint32_t style, uint32_t extendedStyle,
                                  int32_t x, int32_t y, int32_t width, int32_t height, const char* text,
                                  HWND* control) {
  GadgetState* state = GadgetStateGet();
  *control = CreateWindowExA(extendedStyle, className, text ? text : "", style, x, y, width, height,
                             state ? state->currentList : nullptr, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                             ModuleInstance(), nullptr);
  if (!*control) return nullptr;
  GadgetObject* gadget = static_cast<GadgetObject*>(RegistryAllocate(GadgetRegistry(), number));
  if (!gadget) {
    DestroyWindow(*control);
    *control = nullptr;
    return nullptr;
  }
  gadget->frontColour = -1;
  gadget->backColour = -1;
  return gadget;
}

int64_t GadgetRegister(int64_t number, GadgetObject* gadget, HWND control, GadgetType* type) {
  gadget->handle = control;
  gadget->gadgetType = type;
  int64_t id = number == OBJECT_ANY ? reinterpret_cast<int64_t>(gadget) : number;
  // The control id is still -1 here, so a message arriving before the id is
  // set reaches DefWindowProcA rather than a half-registered gadget.
  gadget->previousProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetWindowProc)));
  SetWindowLongPtrA(control, GWLP_ID, static_cast<LONG_PTR>(id));
  SetPropA(control, PROPERTY_GADGET_ID, reinterpret_cast<HANDLE>(static_cast<intptr_t>(id)));
  GadgetState* state = GadgetStateGet();
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(state ? state->font : nullptr), 1);
  return number == OBJECT_ANY ? id : reinterpret_cast<int64_t>(control);
}

// Everything a gadget owns outside its control goes here, exactly once.
static void GadgetRelease(HWND window, int64_t id) {
  GadgetObject* gadget = GadgetLookup(id);
  // Only the record that names this control is released: a record found
  // under the id but bound to another control belongs to someone else.
  if (gadget && gadget->handle == window && gadget->gadgetType && gadget->gadgetType->onRelease)
    gadget->gadgetType->onRelease(gadget);
  RemovePropA(window, PROPERTY_GADGET_ID);
  if (RemovePropA(window, PROPERTY_DROP_ACCEPT)) RevokeDragDrop(window);
  SetWindowLongPtrA(window, GWLP_ID, -1);
  EventPurge(EVENT_GADGET, id, -1, -1);
  if (gadget && gadget->handle == window) RegistryFree(gadgetRegistry, id);
}

LRESULT CALLBACK GadgetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  int64_t id = GetWindowLongPtrA(window, GWLP_ID);
  if (id == -1) return DefWindowProcA(window, message, wParam, lParam);
  GadgetObject* gadget = GadgetLookup(id);
  // A record bound to another control holds that control's procedure.
  if (!gadget || gadget->handle != window) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = CallWindowProcA(gadget->previousProc, window, message, wParam, lParam);
  switch (message) {
    case WM_NCDESTROY:
      // Looked up again: the previous procedure may have run code that
      // freed or re-used the record.
      GadgetRelease(window, id);
      return result;
    default:
      return result;
  }
}

int64_t GadgetNotify(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!control) return NOT_HANDLED;
  // A control whose "Zel_ID" disagrees with its id is not one of ours, even
  // if the number happens to name a live gadget.
  intptr_t number = reinterpret_cast<intptr_t>(GetPropA(control, PROPERTY_GADGET_ID));
  if (number != GetWindowLongPtrA(control, GWLP_ID)) return NOT_HANDLED;
  GadgetObject* gadget = GadgetLookup(number);
  // Any window without "Zel_ID" and with id 0 (most top-level windows) passes
  // the test above; only the control the record is bound to is its gadget.
  if (!gadget || gadget->handle != control) return NOT_HANDLED;
  if (!gadget->gadgetType || !gadget->gadgetType->onMessage) return NOT_HANDLED;
  return gadget->gadgetType->onMessage(gadget, parent, message, wParam, lParam);
}

HWND GadgetOwnerWindow(HWND control) {
  HWND window = control;
  for (;;) {
    HWND parent = GetParent(window);
    if (!parent) return window;
    if (WindowNumberOf(window) != -1) return window;
    window = parent;
  }
}

void GadgetEventPost(HWND control, int32_t type) {
  EventPost(EVENT_GADGET, GetWindowLongPtrA(control, GWLP_ID), WindowNumberOf(GadgetOwnerWindow(control)), type);
}

void GadgetTextGet(int64_t number, int32_t position) {
  GadgetObject* gadget = GadgetLookup(number);
  if (!gadget) return;
  if (gadget->gadgetType && gadget->gadgetType->onTextGet) {
    gadget->gadgetType->onTextGet(gadget, position);
    return;
  }
  int32_t length = GetWindowTextLengthA(gadget->handle);
  if (length < 0) length = 0;
  char* text = StringReserve(length, position);
  // A copy that fails must still leave a terminated (empty) text.
  text[0] = 0;
  GetWindowTextA(gadget->handle, text, length + 1);
  // The length reported beforehand may exceed what was copied.
  StringUnreserve(length - static_cast<int32_t>(StringLength(text)));
}

void GadgetTextSet(int64_t number, const char* text) {
  if (!text) text = "";
  GadgetObject* gadget = GadgetLookup(number);
  if (!gadget) return;
  if (gadget->gadgetType && gadget->gadgetType->onTextSet)
    gadget->gadgetType->onTextSet(gadget, text);
  else
    SetWindowTextA(gadget->handle, text);
}

void GadgetDiscard(int64_t number) {
  GadgetObject* gadget = GadgetLookup(number);
  if (gadget && gadget->handle) DestroyWindow(gadget->handle);
}
