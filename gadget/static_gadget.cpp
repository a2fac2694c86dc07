// The static-text gadget: a label on the platform class "Static", placed in
// the current gadget list. Its kind descriptor is filled by the first
// creation call and shared by every label for the life of the process.
#include "gadget/gadget_colour.h"
#include "gadget/static_gadget.h"

GadgetType StaticGadgetType;
static int32_t staticTypeFilled;

int64_t StaticGadgetCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text,
                           uint32_t flags) {
  GadgetColourTypeFill(&StaticGadgetType, &staticTypeFilled, 3, StaticColourMessage);
  // Flag bit 0x20000 (WS_GROUP, already in the base style) asks for a
  // sunken edge.
  DWORD extendedStyle = (flags >> 8) & WS_EX_CLIENTEDGE;
  HWND control;
  GadgetObject* gadget = GadgetControlCreate(number, "Static", flags | WS_CHILD | WS_VISIBLE | WS_GROUP, extendedStyle,
                                             x, y, width, height, text, &control);
  if (!gadget) return 0;
  return GadgetRegister(number, gadget, control, &StaticGadgetType);
}
