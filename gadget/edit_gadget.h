// The edit gadget (class "Edit"): queues EVENT_GADGET with EVENT_TYPE_FOCUS
// or EVENT_TYPE_LOST_FOCUS before the class procedure sees the focus change.
#pragma once

#include "gadget/gadget_core.h"

extern GadgetType EditGadgetType;
// The "Edit" class procedure, shared by every edit gadget.
extern WNDPROC editClassProc;
int64_t EditGadgetCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text,
                         uint32_t flags = 0);
LRESULT CALLBACK EditFocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
