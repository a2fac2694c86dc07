// The module's own instance handle (GetModuleHandleA(NULL)), used for window
// classes, the icon resource and the gadget-list property name.
#pragma once

#include <windows.h>

inline HINSTANCE ModuleInstance(void) {
  static HINSTANCE instance;
  if (!instance) instance = GetModuleHandleA(nullptr);
  return instance;
}
