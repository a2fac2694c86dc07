// The two gadget kinds: static text (class "Static") and edit field (class
// "Edit"). Edit gadgets queue EVENT_GADGET with EVENT_TYPE_FOCUS or
// EVENT_TYPE_LOST_FOCUS before the class procedure sees the focus change.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "gadget/gadget_core.h"

extern GadgetType StaticGadgetType;
extern GadgetType EditGadgetType;
// The "Edit" class procedure, shared by every edit gadget.
extern WNDPROC editClassProc;

// 0 on failure; else the handle value for OBJECT_ANY, or the control handle.
int64_t StaticGadgetCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text,
                           uint32_t flags = 0);
int64_t EditGadgetCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text,
                         uint32_t flags = 0);
LRESULT CALLBACK EditFocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
