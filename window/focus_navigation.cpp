// Keyboard focus navigation. See focus_navigation.h.
#include "window/focus_navigation.h"

#include "core/registry.h"
#include "window/window_object.h"

void FocusNavigate(int32_t) {}

HACCEL AcceleratorTableChoose(HWND window) {
  intptr_t value = reinterpret_cast<intptr_t>(GetPropA(window, "Zel_WindowID"));
  if (value == 0) return nullptr;
  WindowObject* object = static_cast<WindowObject*>(RegistryLookup(WindowRegistry(), value - 1));
  return object ? object->accelTable : nullptr;
}
