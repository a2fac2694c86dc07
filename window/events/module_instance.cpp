// See module_instance.h.
#include "window/events/module_instance.h"

HINSTANCE ModuleInstance(void) {
  static HINSTANCE instance;
  if (!instance) instance = GetModuleHandleA(nullptr);
  return instance;
}
