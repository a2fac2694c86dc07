// Keyboard focus navigation among the active window's tab stops, and the
// choice of the accelerator table a key message is offered to.
#pragma once

#include <windows.h>
#include <stdint.h>

// direction 0 = forward (Tab), non-zero = backward (Shift+Tab).
void FocusNavigate(int32_t direction);
HACCEL AcceleratorTableChoose(HWND window);
