// The static-text gadget: a label on the platform class "Static", placed in
// the current gadget list. Its kind descriptor is filled by the first
// creation call and shared by every label for the life of the process.
#include "gadget/gadget_colour.h"
#include "gadget/gadget_kinds.h"
#include "gadget/gadget_state.h"
#include "window/module_instance.h"

GadgetType StaticGadgetType;
static int32_t staticTypeFilled;

static void StaticGadgetTypeFill(void) {
  if (staticTypeFilled) return;
  StaticGadgetType = GadgetType();
  StaticGadgetType.kindNumber = 3;
  StaticGadgetType.descriptorSize = sizeof(GadgetType);
  StaticGadgetType.onMessage = StaticColourMessage;
  StaticGadgetType.onRelease = GadgetColourRelease;
  StaticGadgetType.onColourSet = GadgetColourSet;
  StaticGadgetType.onColourGet = GadgetColourGet;
  staticTypeFilled = 1;
}

int64_t StaticGadgetCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text,
                           uint32_t flags) {
  StaticGadgetTypeFill();
  // Flag bit 0x20000 (WS_GROUP, already in the base style) asks for a
  // sunken edge.
  DWORD extendedStyle = (flags >> 8) & WS_EX_CLIENTEDGE;
  GadgetState* state = GadgetStateGet();
  HWND control = CreateWindowExA(extendedStyle, "Static", text ? text : "",
                                 flags | WS_CHILD | WS_VISIBLE | WS_GROUP, x, y, width, height,
                                 state ? state->currentList : nullptr, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)),
                                 ModuleInstance(), nullptr);
  if (!control) return 0;
  GadgetObject* gadget = static_cast<GadgetObject*>(RegistryAllocate(GadgetRegistry(), number));
  // The control exists but has no record to belong to: take it down again
  // rather than leave an unregistered control in the window.
  if (!gadget) {
    DestroyWindow(control);
    return 0;
  }
  gadget->frontColour = -1;
  gadget->backColour = -1;
  return GadgetRegister(number, gadget, control, &StaticGadgetType);
}
