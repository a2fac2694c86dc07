// The properties the toolkit hangs on windows and controls, for every layer.
#pragma once

#include <windows.h>
#include <stdint.h>

const char PROPERTY_WINDOW_ID[] = "Zel_WindowID";         // window number + 1, on each toolkit window
const char PROPERTY_GADGET_ID[] = "Zel_ID";               // gadget number, equal to the control id
const char PROPERTY_FOCUS[] = "Zel_Focus";                // the focus a window had when deactivated
const char PROPERTY_DROP_ACCEPT[] = "Zel_DropAccept";     // set while registered as a drop target
const char PROPERTY_MDI_CLIENT[] = "Zel_MDI_Gadget";      // the MDI client of a frame window
const char PROPERTY_HOTKEY[] = "Zel_Hotkey";              // a control that takes Tab itself
const char PROPERTY_GADGET_STACK[] = "Zel_GadgetStack_";  // + module instance: saved gadget list

// The number of the toolkit window that is window, or -1 when it is none.
// Any process can write the property, so V - 1 is taken in unsigned
// arithmetic: the most negative value wraps to INT64_MAX, which names no
// window, instead of overflowing.
inline int64_t WindowNumberOf(HWND window) {
  return static_cast<int64_t>(reinterpret_cast<uintptr_t>(GetPropA(window, PROPERTY_WINDOW_ID)) - 1u);
}
