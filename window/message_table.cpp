// Window message translation: the class window procedure of every window
// that WindowCreate makes.
//
// Messages become events in one place, here: some are queued with EventPost,
// some write the event under construction into WindowState for the running
// wait, notifications about child controls go to the gadget's kind, and the
// Tab commands move the focus. Everything else gets default processing.
// Runs on the GUI thread inside a dispatch or a platform call that sends
// messages; it may be re-entered and keeps no state of its own.
//
// Any process on the desktop can send these windows messages, so nothing
// that arrives is trusted to point at memory: drop data only when this
// program made it (or there is none), notification headers only when
// readable and from a window of this process, and a window's record only
// when it is bound to the window that carries the number.
//
// Sections: owning window, message handlers, the message table, the class
// procedure.
#include "window/message_table.h"

#include "core/toolkit.h"
#include "gadget/gadget_core.h"
#include "window/drop_record.h"
#include "window/events/event_queue.h"
#include "window/events/window_properties.h"
#include "window/focus_navigation.h"
#include "window/size_tracking.h"
#include "window/window_object.h"

// ---- Owning window --------------------------------------------------------

// The window a message belongs to: the nearest of the window and its
// ancestors that carries PROPERTY_WINDOW_ID.
struct MessageOwner {
  int64_t number;        // window number, -1 for none
  WindowObject* object;  // its live record, or null
  HWND window;           // the window that carries the property, or null
};

static MessageOwner MessageOwnerFind(HWND window) {
  MessageOwner owner = {-1, nullptr, nullptr};
  for (HWND at = window; at; at = GetParent(at)) {
    // One read: another process could change the property between two.
    owner.number = WindowNumberOf(at);
    if (owner.number != -1) {
      owner.object = WindowObjectOfNumber(at, owner.number);
      owner.window = at;
      break;
    }
  }
  return owner;
}

// ---- Message handlers -----------------------------------------------------

static int64_t SizeMessage(HWND window, WPARAM wParam, const MessageOwner& owner) {
  if (window && window != owner.window) return 1;
  if (owner.number == -1) return NOT_HANDLED;
  // A record can be missing only if the property outlived it; then there is
  // no minimized or maximized state to keep.
  WindowObject* object = owner.object;
  switch (wParam) {
    case SIZE_MINIMIZED:
      if (object) object->minMaxState = 1;
      EventPost(EVENT_MINIMIZE_WINDOW, 0, owner.number, 0);
      break;
    case SIZE_MAXIMIZED:
      if (object) object->minMaxState = 1;
      EventPost(EVENT_MAXIMIZE_WINDOW, 0, owner.number, 0);
      EventPost(EVENT_SIZE_WINDOW, 0, owner.number, 0);
      break;
    case SIZE_RESTORED:
      if (object && object->minMaxState) {
        object->minMaxState = 0;
        EventPost(EVENT_RESTORE_WINDOW, 0, owner.number, 0);
      }
      EventPost(EVENT_SIZE_WINDOW, 0, owner.number, 0);
      break;
    default:
      EventPost(EVENT_SIZE_WINDOW, 0, owner.number, 0);
      break;
  }
  return 0;
}

static int64_t ActivateMessage(HWND window, WPARAM wParam, const MessageOwner& owner) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    SetPropA(window, PROPERTY_FOCUS, GetFocus());
    return 1;
  }
  // Any process can write the property: only a focus inside this window is
  // given back, never one that would activate another window.
  HWND focus = static_cast<HWND>(GetPropA(window, PROPERTY_FOCUS));
  if (focus && (focus == window || IsChild(window, focus))) SetFocus(focus);
  EventPost(EVENT_ACTIVATE_WINDOW, 0, owner.number, 0);
  return 1;
}

static int64_t EraseBackgroundMessage(HWND window, WPARAM wParam, const MessageOwner& owner) {
  int64_t result = NOT_HANDLED;
  WindowObject* object = owner.object;
  if (object && object->backgroundBrush) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, object->backgroundBrush);
    result = 1;
  } else if (object && window == object->handle && object->eraseCallback) {
    result = object->eraseCallback(reinterpret_cast<HDC>(wParam), window);
  }
  EventPost(EVENT_REPAINT, 0, owner.number, 0);
  return result;
}

static BOOL CALLBACK SystemColourForward(HWND descendant, LPARAM) {
  SendMessageA(descendant, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

static int64_t MinMaxInfoMessage(HWND window, LPARAM lParam, const MessageOwner& owner) {
  WindowObject* object = owner.object;
  MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
  if (!object || !info) return NOT_HANDLED;
  if (object->minWidth)
    info->ptMinTrackSize.x = object->minWidth;
  else if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)
    info->ptMinTrackSize.x = 1;
  if (object->minHeight) info->ptMinTrackSize.y = object->minHeight;
  if (object->maxWidth) info->ptMaxTrackSize.x = object->maxWidth;
  if (object->maxHeight) info->ptMaxTrackSize.y = object->maxHeight;
  return 0;
}

// True when every byte of [address, address + size) lies in committed memory
// that may be read, so that reading it cannot fault.
static bool MemoryReadable(uintptr_t address, size_t size) {
  if (address == 0 || address > UINTPTR_MAX - size) return false;
  const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                         PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  for (uintptr_t at = address; at < address + size;) {
    MEMORY_BASIC_INFORMATION region;
    if (!VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region)) return false;
    if (region.State != MEM_COMMIT || !(region.Protect & readable) || (region.Protect & PAGE_GUARD)) return false;
    at = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
  }
  return true;
}

// A notification header is read through lParam, which a sender in another
// process sets to whatever it likes: the header is read only when that
// memory can be read, and taken only from a window of this process. A
// notification sent from elsewhere about this process's own control (an
// accessibility tool driving it) still reaches the gadget.
static int64_t NotifyMessage(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!MemoryReadable(static_cast<uintptr_t>(lParam), sizeof(NMHDR))) return NOT_HANDLED;
  HWND control = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
  DWORD process = 0;
  if (!control || !GetWindowThreadProcessId(control, &process) || process != GetCurrentProcessId())
    return NOT_HANDLED;
  return GadgetNotify(control, window, WM_NOTIFY, wParam, lParam);
}

static void CommandMessage(HWND window, WPARAM wParam, LPARAM lParam) {
  // A control with this id (a toolbar, say) reports its commands as menu events.
  const int64_t MENU_CONTROL_ID = -10000;
  WindowState* state = WindowStateGet();
  HWND control = reinterpret_cast<HWND>(lParam);
  if (GadgetNotify(control, window, WM_COMMAND, wParam, lParam) != NOT_HANDLED) return;
  if (control) {
    state->eventCode = EVENT_GADGET;
    state->eventType = HIWORD(wParam);
    state->eventObject = GetWindowLongPtrA(control, GWLP_ID);
    if (state->eventObject == MENU_CONTROL_ID) {
      state->eventObject = LOWORD(wParam);
      state->eventCode = EVENT_MENU;
    }
  } else if (HIWORD(wParam) == 0) {
    state->eventObject = static_cast<int64_t>(wParam);
    state->eventCode = EVENT_MENU;
  } else if (LOWORD(wParam) == CMD_FOCUS_NEXT) {
    FocusNavigate(0);
  } else if (LOWORD(wParam) == CMD_FOCUS_PREVIOUS) {
    FocusNavigate(1);
  } else {
    state->eventObject = LOWORD(wParam);
    state->eventCode = EVENT_MENU;
  }
}

static void SystrayMessage(HWND window, WPARAM wParam, LPARAM lParam, const MessageOwner& owner) {
  int64_t type = -1;
  switch (lParam) {
    case WM_LBUTTONDOWN: type = 0; break;
    case WM_RBUTTONDOWN: type = 1; break;
    case WM_LBUTTONDBLCLK: type = 2; break;
    case WM_RBUTTONDBLCLK: type = 3; break;
  }
  if (type != -1) EventPost(EVENT_SYSTRAY, static_cast<int64_t>(wParam), owner.number, type);
  PostMessageA(window, WM_NULL, 0, 0);
}

// lParam 0 is a drop without data. Any other lParam must be a record this
// program made and has not released; anything else (a stale record, a
// forged pointer) is ignored, since the next wait would free it. A record
// still pending is released before it is replaced.
static bool DropAccept(LPARAM lParam) {
  void* record = reinterpret_cast<void*>(lParam);
  if (record && !DropRecordIsOwn(record)) return false;
  WindowState* state = WindowStateGet();
  if (state->dropData && state->dropData != record) DropRecordRelease(state->dropData);
  state->dropData = record;
  return true;
}

// ---- The message table ----------------------------------------------------

int64_t WindowMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  int64_t tracked = SizeTrackMessage(window, message, wParam, lParam);
  if (tracked != NOT_HANDLED) return tracked;

  MessageOwner owner = window ? MessageOwnerFind(window) : MessageOwner{-1, nullptr, nullptr};
  WindowState* state = WindowStateGet();
  WindowCallback callback = owner.object && owner.object->windowCallback ? owner.object->windowCallback
                                                                         : state->userWindowCallback;
  if (callback) {
    int64_t result = callback(window, message, wParam, lParam);
    if (result != CALL_DEFAULT) return result;
  }
  state->eventWindow = owner.number;
  WindowObject* object = owner.object;

  switch (message) {
    case WM_MOVE:
      if (object && window == object->handle) EventPost(EVENT_MOVE_WINDOW, owner.number, owner.number, 0);
      return 0;
    case WM_SIZE:
      return SizeMessage(window, wParam, owner);
    case WM_ACTIVATE:
      return ActivateMessage(window, wParam, owner);
    case WM_CLOSE:
      if (object && window == object->handle) EventPost(EVENT_CLOSE_WINDOW, owner.number, owner.number, 0);
      return 0;
    case WM_ERASEBKGND:
      return EraseBackgroundMessage(window, wParam, owner);
    case WM_SYSCOLORCHANGE:
      if (object && !object->mdiClient) EnumChildWindows(window, SystemColourForward, 0);
      return NOT_HANDLED;
    case WM_GETMINMAXINFO:
      return MinMaxInfoMessage(window, lParam, owner);
    case WM_NOTIFY:
      return NotifyMessage(window, wParam, lParam);
    case WM_NCDESTROY:
      RemovePropA(window, PROPERTY_FOCUS);
      return 1;
    case WM_COMMAND:
      CommandMessage(window, wParam, lParam);
      return 0;
    case WM_TIMER:
      if (!object) return NOT_HANDLED;
      state->eventCode = EVENT_TIMER;
      state->eventObject = static_cast<int64_t>(wParam);
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case MESSAGE_GADGET_CUSTOM:
      return GadgetNotify(reinterpret_cast<HWND>(lParam), window, message, wParam, lParam);
    case MESSAGE_SYSTRAY:
      SystrayMessage(window, wParam, lParam, owner);
      return 0;
    case MESSAGE_WINDOW_DROP:
      if (DropAccept(lParam)) state->eventCode = EVENT_WINDOW_DROP;
      return 0;
    case MESSAGE_GADGET_DROP:
      if (DropAccept(lParam)) {
        state->eventCode = EVENT_GADGET_DROP;
        state->eventObject = static_cast<int64_t>(wParam);
      }
      return 0;
    default:
      return NOT_HANDLED;
  }
}

// ---- The class procedure --------------------------------------------------

LRESULT CALLBACK WindowClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  int64_t result = WindowMessageHandler(window, message, wParam, lParam);
  if (message != WM_SIZE) {
    HWND mdiClient = static_cast<HWND>(GetPropA(window, PROPERTY_MDI_CLIENT));
    if (mdiClient) {
      if (result == NOT_HANDLED || message == WM_SETFOCUS || message == WM_MENUCHAR)
        return DefFrameProcA(window, mdiClient, message, wParam, lParam);
      if (message == WM_COMMAND && lParam == 0) return DefFrameProcA(window, mdiClient, WM_COMMAND, wParam, 0);
      return static_cast<LRESULT>(result);
    }
  }
  SetLastError(0);
  if (result == NOT_HANDLED) return DefWindowProcA(window, message, wParam, lParam);
  return static_cast<LRESULT>(result);
}
