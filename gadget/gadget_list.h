// Gadget lists: new gadgets go into the current gadget list, a window kept
// in GadgetState. Each window that has been current keeps its list state in
// a GadgetListSave record on the property "Zel_GadgetStack_%I64i" while
// another window is current, and is subclassed by GadgetListWindowProc,
// which frees that record on WM_NCDESTROY. Any process can overwrite the
// property, so the records are found through their own list, never through
// the property's value.
#pragma once

#include <windows.h>
#include <stdint.h>

struct GadgetState {
  HWND currentList;     // parent for new gadgets; null when there is none
  HFONT font;           // stock DEFAULT_GUI_FONT, sent to every new gadget
  HWND* listStack;      // the current list window's saved-list stack
  int32_t listDepth;    // entries in use; 0 = no nesting
  int32_t listCapacity; // entries allocated; 10 at first
};

struct GadgetListSave {
  HWND window;          // owner of the record
  HWND savedList;       // the window's currentList while another is current
  HWND* savedStack;     // null while the window itself is current
  int32_t savedDepth;
  int32_t savedCapacity;
  WNDPROC previousProc; // the procedure GadgetListWindowProc replaced
  GadgetListSave* next; // the list of every live record
};

GadgetState* GadgetStateGet(void);
// Creates GadgetState through StateRecordCreate with GadgetStateInit; the
// font must be given because the initialiser stores it.
void GadgetStateCreate(HFONT font);
// Returns the list window current before the call; null makes it a query.
// A window that has no record yet and cannot get one, or that refuses the
// subclass (a window of another process), does not become current: nothing
// changes then.
HWND GadgetListSwitch(HWND window);
// The live record of a window, or null; the property is not consulted.
GadgetListSave* GadgetListSaveOf(HWND window);
LRESULT CALLBACK GadgetListWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
