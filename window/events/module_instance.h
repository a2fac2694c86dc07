// The module's own instance handle (GetModuleHandleA(NULL)), used for window
// classes, the icon resource and the gadget-list property name.
#pragma once

#include <windows.h>

HINSTANCE ModuleInstance(void);
