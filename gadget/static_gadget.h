// The static-text gadget (class "Static").
#pragma once

#include "gadget/gadget_core.h"

extern GadgetType StaticGadgetType;
int64_t StaticGadgetCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text,
                           uint32_t flags = 0);
