// The gadget core: numbered child controls kept in the GadgetRegistry, their
// per-kind descriptors, registration (subclass, control id, "Zel_ID", font),
// the subclass procedure whose WM_NCDESTROY is the one clean-up point, and
// gadget text through the temporary string buffer.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "core/registry.h"

struct GadgetObject;

typedef int64_t (*GadgetMessageRoutine)(GadgetObject* gadget, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
typedef void (*GadgetReleaseRoutine)(GadgetObject* gadget);
typedef void (*GadgetTextGetRoutine)(GadgetObject* gadget, int32_t position);
typedef void (*GadgetTextSetRoutine)(GadgetObject* gadget, const char* text);
typedef void (*GadgetColourSetRoutine)(GadgetObject* gadget, int32_t attribute, int32_t colour);
typedef int64_t (*GadgetColourGetRoutine)(GadgetObject* gadget, int32_t attribute);

// Per-kind descriptor; a null slot means the default behaviour.
struct GadgetType {
  int32_t kindNumber;      // 2 = edit, 3 = static text
  int32_t descriptorSize;
  GadgetMessageRoutine onMessage;
  GadgetReleaseRoutine onRelease;
  GadgetTextGetRoutine onTextGet;
  GadgetTextSetRoutine onTextSet;
  GadgetColourSetRoutine onColourSet;
  GadgetColourGetRoutine onColourGet;
  void* reserved[8];       // room for further per-kind operations
};

struct GadgetObject {
  HWND handle;             // first: non-null exactly while live
  GadgetType* gadgetType;
  WNDPROC previousProc;    // the procedure GadgetWindowProc replaced
  int64_t backColour;      // RGB, or COLOUR_DEFAULT (-1)
  int64_t frontColour;     // RGB, or COLOUR_DEFAULT (-1)
  HBRUSH backBrush;        // from the brush cache; null while backColour is default
};

ObjectRegistry* GadgetRegistry(void);

void GadgetLibraryStart(void);
// The common start of every creation call: the control, made in the current
// gadget list with child id -1 (so nothing reaches a gadget before it is
// registered), and its record with both colours default. Null when either
// cannot be had; a control left without a record is destroyed again.
GadgetObject* GadgetControlCreate(int64_t number, const char* className, uint32_t style, uint32_t extendedStyle,
                                  int32_t x, int32_t y, int32_t width, int32_t height, const char* text,
                                  HWND* control);
// Every creation call returns 0 on failure, else this: the handle value for OBJECT_ANY, or the control handle.
int64_t GadgetRegister(int64_t number, GadgetObject* gadget, HWND control, GadgetType* type);
LRESULT CALLBACK GadgetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Hands a message the parent received about a child control to the gadget's
// kind; NOT_HANDLED when the control is no live gadget.
int64_t GadgetNotify(HWND control, HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
HWND GadgetOwnerWindow(HWND control);
void GadgetEventPost(HWND control, int32_t type);
void GadgetTextGet(int64_t number, int32_t position);
void GadgetTextSet(int64_t number, const char* text);
void GadgetDiscard(int64_t number);
