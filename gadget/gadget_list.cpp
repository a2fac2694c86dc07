// Gadget lists: which window new gadgets go into, and each window's list
// state while another window is current.
//
// GadgetLibraryStart creates GadgetState through GadgetStateCreate before it
// makes any gadget. WindowCreate makes each new window current through
// GadgetListSwitch (unless told not to); the first switch to a window hangs a
// GadgetListSave on it and subclasses it with GadgetListWindowProc, which
// frees the record on WM_NCDESTROY. A stack array belongs to exactly one
// place at a time: GadgetState (the current window's) or one saved record.
// The property is written for others to see but never read back: another
// process can set it to any value, and the subclass would follow that
// value on every message. GUI thread only.
#include "gadget/gadget_list.h"

#include "core/number_text.h"
#include "core/process_heap.h"
#include "core/state_record.h"
#include "window/events/module_instance.h"
#include "window/events/window_properties.h"

enum { LIST_STACK_ENTRIES = 10 };

static GadgetState* gadgetState;
// Every live GadgetListSave, newest first. The few windows that have been
// current are walked on each of their messages.
static GadgetListSave* saveHead;
// Handed from GadgetStateCreate to the initialiser, which takes no argument.
static HFONT initialFont;

GadgetState* GadgetStateGet(void) { return gadgetState; }

static HWND* ListStackCreate(void) {
  return static_cast<HWND*>(KernelHeapAlloc(ProcessHeap(), LIST_STACK_ENTRIES * sizeof(HWND), 1));
}

static void GadgetStateInit(void* record) {
  GadgetState* state = static_cast<GadgetState*>(record);
  state->listStack = ListStackCreate();
  state->listCapacity = state->listStack ? LIST_STACK_ENTRIES : 0;
  state->font = initialFont;
}

void GadgetStateCreate(HFONT font) {
  initialFont = font;
  gadgetState = static_cast<GadgetState*>(StateRecordCreate(sizeof(GadgetState), GadgetStateInit));
}

// The name embeds the instance handle, so that lists of two modules sharing
// a window never mix; it is formatted afresh on every use.
static void PropertyNameFormat(char* name, size_t size) {
  NameWithNumber(name, size, PROPERTY_GADGET_STACK, reinterpret_cast<intptr_t>(ModuleInstance()));
}

static HWND ListWindow(const GadgetState* state) {
  return state->listDepth != 0 ? state->listStack[0] : state->currentList;
}

GadgetListSave* GadgetListSaveOf(HWND window) {
  for (GadgetListSave* save = saveHead; save; save = save->next)
    if (save->window == window) return save;
  return nullptr;
}

static void SaveUnlink(GadgetListSave* save) {
  for (GadgetListSave** link = &saveHead; *link; link = &(*link)->next)
    if (*link == save) {
      *link = save->next;
      return;
    }
}

HWND GadgetListSwitch(HWND window) {
  GadgetState* state = gadgetState;
  if (!state) return nullptr;
  HWND previous = ListWindow(state);
  if (!window) return previous;

  // A new window's record is made before anything moves, so that a failure
  // leaves the current list as it was rather than a window without one.
  GadgetListSave* save = GadgetListSaveOf(window);
  const bool known = save != nullptr;
  if (!known) {
    save = static_cast<GadgetListSave*>(KernelHeapAlloc(ProcessHeap(), sizeof(GadgetListSave), 1));
    if (!save) return previous;
    save->window = window;
  }

  // Kept so that a window refusing the subclass leaves everything as it was.
  const GadgetState before = *state;
  GadgetListSave* previousSave = previous ? GadgetListSaveOf(previous) : nullptr;
  if (previousSave) {
    previousSave->savedList = state->currentList;
    previousSave->savedStack = state->listStack;
    previousSave->savedDepth = state->listDepth;
    previousSave->savedCapacity = state->listCapacity;
    state->listStack = nullptr;
  }

  if (known) {
    if (state->listStack) KernelHeapFree(ProcessHeap(), state->listStack);
    state->currentList = save->savedList;
    state->listStack = save->savedStack;
    state->listDepth = save->savedDepth;
    state->listCapacity = save->savedCapacity;
    save->savedStack = nullptr;
    return previous;
  }

  if (!state->listStack) {
    state->listStack = ListStackCreate();
    state->listCapacity = state->listStack ? LIST_STACK_ENTRIES : 0;
  }
  state->listDepth = 0;
  state->currentList = window;
  // Linked before the subclass: the new procedure finds its record from the
  // first message on.
  save->next = saveHead;
  saveHead = save;
  char property[48];
  PropertyNameFormat(property, sizeof property);
  const bool attached = SetPropA(window, property, save) != 0;
  SetLastError(0);
  save->previousProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GadgetListWindowProc)));
  if (!save->previousProc && GetLastError() != 0) {
    // Refused (a window of another process): nothing would ever clear this
    // window as the list or free its record, so it does not become current.
    SaveUnlink(save);
    KernelHeapFree(ProcessHeap(), save);
    if (attached) RemovePropA(window, property);
    if (state->listStack && state->listStack != before.listStack) KernelHeapFree(ProcessHeap(), state->listStack);
    *state = before;
    if (previousSave) previousSave->savedStack = nullptr;
  }
  return previous;
}

LRESULT CALLBACK GadgetListWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  GadgetListSave* save = GadgetListSaveOf(window);
  if (!save) return DefWindowProcA(window, message, wParam, lParam);
  WNDPROC previousProc = save->previousProc;
  if (message == WM_NCDESTROY) {
    GadgetState* state = gadgetState;
    if (state && ListWindow(state) == save->window) {
      // The stack stays with the state for the next window made current.
      state->currentList = nullptr;
      state->listDepth = 0;
    }
    SaveUnlink(save);
    if (save->savedStack) KernelHeapFree(ProcessHeap(), save->savedStack);
    KernelHeapFree(ProcessHeap(), save);
    char property[48];
    PropertyNameFormat(property, sizeof property);
    RemovePropA(window, property);
  }
  if (previousProc) return CallWindowProcA(previousProc, window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}
