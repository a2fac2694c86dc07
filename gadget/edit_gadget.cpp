// The edit gadget: a one-line text field on the platform class "Edit",
// placed in the current gadget list. Each control is subclassed twice:
// EditFocusProc (which queues the focus events) under GadgetWindowProc, so
// every message runs GadgetWindowProc, EditFocusProc, then the class
// procedure. The focus event is queued before the class procedure sees the
// focus change, so it precedes anything the change itself queues.
#include "gadget/gadget_colour.h"
#include "gadget/edit_gadget.h"
#include "window/events/event_codes.h"

GadgetType EditGadgetType;
static int32_t editTypeFilled;
WNDPROC editClassProc;

int64_t EditGadgetCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text,
                         uint32_t flags) {
  GadgetColourTypeFill(&EditGadgetType, &editTypeFilled, 2, EditColourMessage);
  // Flag bit 0x20000 (WS_GROUP, already in the base style) takes the
  // sunken edge away.
  DWORD extendedStyle = ~(flags >> 8) & WS_EX_CLIENTEDGE;
  HWND control;
  GadgetObject* gadget =
      GadgetControlCreate(number, "Edit", flags | WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL,
                          extendedStyle, x, y, width, height, text, &control);
  if (!gadget) return 0;
  editClassProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditFocusProc)));
  return GadgetRegister(number, gadget, control, &EditGadgetType);
}

LRESULT CALLBACK EditFocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      GadgetEventPost(window, EVENT_TYPE_FOCUS);
      break;
    case WM_KILLFOCUS:
      GadgetEventPost(window, EVENT_TYPE_LOST_FOCUS);
      break;
    default:
      break;
  }
  if (!editClassProc) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(editClassProc, window, message, wParam, lParam);
}
