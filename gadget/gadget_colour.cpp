// Gadget colours and the brush cache.
//
// The brush cache is a process-wide list of solid brushes, one per
// background colour in use, each counted by the gadgets holding it; the last
// release deletes the brush. BrushCacheStart (called by GadgetLibraryStart)
// must run before any acquire. Every walk and update of the list, including
// CreateSolidBrush and DeleteObject, happens under brushCacheLock; nothing
// else is locked while it is held. The lock and the list live as long as the
// process.
//
// The colour-message handlers answer WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT for
// the parent window: NOT_HANDLED while both colours are default, so that the
// platform paints the control as usual.
#include "gadget/gadget_colour.h"

#include "core/object_list.h"
#include "core/toolkit.h"

static CRITICAL_SECTION brushCacheLock;
static ListNode* brushCacheHead;

void BrushCacheStart(void) { InitializeCriticalSection(&brushCacheLock); }

ListNode** BrushCacheHead(void) { return &brushCacheHead; }

static BrushCacheEntry* EntryOf(ListNode* node) { return static_cast<BrushCacheEntry*>(ListPayloadOf(node)); }

HBRUSH BrushAcquire(uint32_t colour) {
  EnterCriticalSection(&brushCacheLock);
  for (ListNode* node = brushCacheHead; node; node = node->next) {
    BrushCacheEntry* entry = EntryOf(node);
    if (entry->colour != colour) continue;
    // A failed entry (null brush) is passed over: a new one is tried below.
    if (entry->brush) {
      entry->useCount++;
      LeaveCriticalSection(&brushCacheLock);
      return entry->brush;
    }
    break;
  }
  HBRUSH brush = nullptr;
  BrushCacheEntry* entry = static_cast<BrushCacheEntry*>(
      ListPushFront(&brushCacheHead, static_cast<int32_t>(sizeof(ListNode) + sizeof(BrushCacheEntry))));
  // Without an entry the brush could never be released, so none is made.
  if (entry) {
    entry->colour = colour;
    entry->brush = CreateSolidBrush(colour);
    entry->useCount = 1;
    brush = entry->brush;
  }
  LeaveCriticalSection(&brushCacheLock);
  return brush;
}

void BrushRelease(HBRUSH brush) {
  EnterCriticalSection(&brushCacheLock);
  for (ListNode* node = brushCacheHead; node; node = node->next) {
    BrushCacheEntry* entry = EntryOf(node);
    if (entry->brush != brush) continue;
    if (--entry->useCount <= 0) {
      DeleteObject(brush);
      ListRemove(&brushCacheHead, entry);
    }
    break;
  }
  LeaveCriticalSection(&brushCacheLock);
}

void GadgetColourSet(GadgetObject* gadget, int32_t attribute, int32_t colour) {
  switch (attribute) {
    case COLOUR_FRONT:
      gadget->frontColour = colour;
      break;
    case COLOUR_BACK:
      // Released before the new acquire, so a brush whose only holder sets
      // the same colour again is deleted and made anew.
      if (gadget->backBrush) BrushRelease(gadget->backBrush);
      gadget->backBrush = colour == -1 ? nullptr : BrushAcquire(static_cast<uint32_t>(colour));
      gadget->backColour = colour;
      break;
    default:
      break;
  }
  RedrawWindow(gadget->handle, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
}

int64_t GadgetColourGet(GadgetObject* gadget, int32_t attribute) {
  switch (attribute) {
    case COLOUR_FRONT:
      return gadget->frontColour;
    case COLOUR_BACK:
      return gadget->backColour;
    default:
      return COLOUR_DEFAULT;
  }
}

void GadgetColourRelease(GadgetObject* gadget) {
  // The field is left as it is: the record is zero-filled or freed next.
  if (gadget->backBrush) BrushRelease(gadget->backBrush);
}

// The outcome shared by both kinds once the message is accepted; systemColour
// is what a control with only a text colour is painted on.
static int64_t ColourMessageOutcome(GadgetObject* gadget, HDC deviceContext, int systemColour) {
  if (gadget->frontColour != COLOUR_DEFAULT) {
    SetTextColor(deviceContext, static_cast<COLORREF>(gadget->frontColour));
    if (gadget->backColour == COLOUR_DEFAULT) {
      SetBkColor(deviceContext, GetSysColor(systemColour));
      return reinterpret_cast<int64_t>(GetSysColorBrush(systemColour));
    }
  } else if (gadget->backColour == COLOUR_DEFAULT) {
    return NOT_HANDLED;
  }
  SetBkColor(deviceContext, static_cast<COLORREF>(gadget->backColour));
  return reinterpret_cast<int64_t>(gadget->backBrush);
}

int64_t StaticColourMessage(GadgetObject* gadget, HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_CTLCOLORSTATIC) return NOT_HANDLED;
  return ColourMessageOutcome(gadget, reinterpret_cast<HDC>(wParam), COLOR_BTNFACE);
}

int64_t EditColourMessage(GadgetObject* gadget, HWND, UINT message, WPARAM wParam, LPARAM) {
  // Read-only and disabled edit controls ask with WM_CTLCOLORSTATIC; a
  // disabled one keeps the platform's greyed look.
  bool accepted = message == WM_CTLCOLOREDIT || (message == WM_CTLCOLORSTATIC && IsWindowEnabled(gadget->handle));
  if (!accepted) return NOT_HANDLED;
  return ColourMessageOutcome(gadget, reinterpret_cast<HDC>(wParam), COLOR_WINDOW);
}

void GadgetColourTypeFill(GadgetType* type, int32_t* filled, int32_t kindNumber, GadgetMessageRoutine onMessage) {
  if (*filled) return;
  *type = GadgetType();
  type->kindNumber = kindNumber;
  type->descriptorSize = sizeof(GadgetType);
  type->onMessage = onMessage;
  type->onRelease = GadgetColourRelease;
  type->onColourSet = GadgetColourSet;
  type->onColourGet = GadgetColourGet;
  *filled = 1;
}
