// Gadget colours: text and background colours of a gadget, the handlers of
// the controls' colour messages, and the brush cache that shares one solid
// brush among all gadgets of the same background colour.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "gadget/gadget_core.h"

const int64_t COLOUR_DEFAULT = -1;
enum {
  COLOUR_FRONT = 1,
  COLOUR_BACK = 2,
};

struct BrushCacheEntry {
  uint32_t colour;
  HBRUSH brush;     // null only if CreateSolidBrush failed
  int32_t useCount; // gadgets holding the brush
};

// Called first by GadgetLibraryStart.
void BrushCacheStart(void);
// The list head's address, for tests.
struct ListNode** BrushCacheHead(void);
// The shared solid brush of colour, counted once more; null if
// CreateSolidBrush fails.
HBRUSH BrushAcquire(uint32_t colour);
// Gives one count of brush back; the last deletes it. A brush not in the
// cache is left alone.
void BrushRelease(HBRUSH brush);

// Fills a kind descriptor on its first use, which the kind's own flag
// records: colours handled here, messages by onMessage.
void GadgetColourTypeFill(GadgetType* type, int32_t* filled, int32_t kindNumber, GadgetMessageRoutine onMessage);
void GadgetColourSet(GadgetObject* gadget, int32_t attribute, int32_t colour);
int64_t GadgetColourGet(GadgetObject* gadget, int32_t attribute);
void GadgetColourRelease(GadgetObject* gadget);
int64_t StaticColourMessage(GadgetObject* gadget, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
int64_t EditColourMessage(GadgetObject* gadget, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
