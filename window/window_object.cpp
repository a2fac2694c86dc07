// Window objects: the window registry, the window library's start and end,
// and the creation and destruction of numbered top-level windows.
//
// WindowLibraryStart runs once, after EventLibraryStart and before the gadget
// library; WindowLibraryEnd runs once at shut-down and destroys every window
// still open. A window's record is live from the moment CreateWindowExA
// succeeds until WindowDestroy frees it; a create call under a number in use
// destroys the old window first (the registry calls WindowDestroy). GUI
// thread only. The messages of these windows go to WindowClassProc.
#include "window/window_object.h"

#include <ole2.h>

#include "core/number_text.h"
#include "core/process_heap.h"
#include "core/state_record.h"
#include "gadget/gadget_list.h"
#include "window/drop_record.h"
#include "window/events/event_queue.h"
#include "window/events/module_instance.h"
#include "window/events/window_properties.h"
#include "window/message_table.h"
#include "window/size_tracking.h"

static ObjectRegistry* windowRegistry;
static WindowState* windowState;
static HICON classIcon;
static HCURSOR classCursor;

ObjectRegistry* WindowRegistry(void) { return windowRegistry; }

WindowObject* WindowObjectOf(HWND window) { return WindowObjectOfNumber(window, WindowNumberOf(window)); }

WindowObject* WindowObjectOfNumber(HWND window, int64_t number) {
  WindowObject* object = static_cast<WindowObject*>(RegistryLookup(windowRegistry, number));
  // Another process can write any number into the property; a record bound
  // to another window is not this window's.
  return object && object->handle == window ? object : nullptr;
}

WindowState* WindowStateGet(void) { return windowState; }

void WindowLibraryStart(void) {
  windowRegistry = RegistryCreate(sizeof(WindowObject), 16, WindowDestroy);
  windowState = static_cast<WindowState*>(StateRecordCreate(sizeof(WindowState), nullptr));
  classIcon = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(1));
  classCursor = LoadCursorA(nullptr, IDC_ARROW);
  SizeTrackStateCreate();
  // Without its records no window could ever be made or handled; like a
  // string heap that cannot start, that is a stop, not a silent exit.
  if (!windowRegistry || !windowState || !SizeTrackStateGet())
    KernelFatal("out of memory: cannot start the window library");
}

void WindowLibraryEnd(void) {
  ObjectRegistry* registry = windowRegistry;
  if (registry) {
    RegistryEnumStart(registry);
    int64_t number = 0;
    while (RegistryEnumNext(registry, &number)) WindowDestroy(number);
  }
  if (windowState && windowState->dropData) {
    DropRecordRelease(windowState->dropData);
    windowState->dropData = nullptr;
  }
}

// Masks over WindowCreate's flag word. Every bit but the centring options
// and WINDOW_HIDDEN; with none of them set, a caption is added.
const uint32_t COUNTED_STYLE_BITS = ~static_cast<uint32_t>(WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_WINDOW | WINDOW_HIDDEN);
// Every bit but the minimized and maximized states and their boxes, which a tool window lacks.
const uint32_t TOOL_STYLE_BITS = ~static_cast<uint32_t>(WS_MINIMIZE | WS_MAXIMIZE | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
// Every bit but the three options: the window style handed to the platform.
const uint32_t PLATFORM_STYLE_BITS = ~static_cast<uint32_t>(WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_WINDOW | WINDOW_TOOL);

static void ClassNameFormat(char* name, size_t size, int64_t number) {
  NameWithNumber(name, size, "WindowClass_", number);
}

// Outer position and size of a new window from the requested client area,
// position and option bits.
struct WindowPlacement {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

static WindowPlacement WindowPlacementCompute(int32_t x, int32_t y, int32_t width, int32_t height, uint32_t options,
                                              DWORD style, DWORD extendedStyle, HWND parent) {
  RECT frame = {0, 0, width, height};
  AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
  WindowPlacement placement = {x, y, frame.right - frame.left, frame.bottom - frame.top};
  const uint32_t centring = WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_WINDOW;
  if ((x == WINDOW_DEFAULT_POSITION || y == WINDOW_DEFAULT_POSITION) && !(options & centring)) {
    placement.x = CW_USEDEFAULT;
    placement.y = CW_USEDEFAULT;
  }
  if (options & WINDOW_CENTRE_SCREEN) {
    int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    if (placement.width > screenWidth) placement.width = screenWidth;
    placement.x = (screenWidth - placement.width) / 2;
    int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (placement.height > screenHeight) placement.height = screenHeight;
    placement.y = (screenHeight - placement.height) / 2;
  } else if (options & WINDOW_CENTRE_WINDOW) {
    HWND reference = parent ? parent : GetActiveWindow();
    RECT area;
    if (reference && GetWindowRect(reference, &area)) {
      placement.x = (area.right - area.left - placement.width) / 2 + area.left;
      placement.y = (area.bottom - area.top - placement.height) / 2 + area.top;
      if (placement.x < 0) placement.x = 0;
      if (placement.y < 0) placement.y = 0;
    }
  }
  return placement;
}

// The Tab accelerators of every window. False when the heap or the platform
// cannot supply them.
static bool WindowAcceleratorsCreate(WindowObject* object) {
  object->accelCount = 2;
  object->accelEntries = static_cast<ACCEL*>(KernelHeapAlloc(ProcessHeap(), 2 * sizeof(ACCEL), 1));
  if (!object->accelEntries) return false;
  object->accelEntries[0].fVirt = FVIRTKEY | FNOINVERT;
  object->accelEntries[0].key = VK_TAB;
  object->accelEntries[0].cmd = CMD_FOCUS_NEXT;
  object->accelEntries[1].fVirt = FVIRTKEY | FNOINVERT | FSHIFT;
  object->accelEntries[1].key = VK_TAB;
  object->accelEntries[1].cmd = CMD_FOCUS_PREVIOUS;
  object->accelTable = CreateAcceleratorTableA(object->accelEntries, object->accelCount);
  return object->accelTable != nullptr;
}

int64_t WindowCreate(int64_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* title,
                     uint32_t flags, HWND parent) {
  if (!windowRegistry) return 0;
  WindowObject* object = static_cast<WindowObject*>(RegistryAllocate(windowRegistry, number));
  if (!object) return 0;
  const bool dynamic = number == OBJECT_ANY;
  if (dynamic) number = reinterpret_cast<intptr_t>(object);

  char className[40];
  ClassNameFormat(className, sizeof className, number);
  WNDCLASSA windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = WindowClassProc;
  windowClass.hInstance = ModuleInstance();
  windowClass.hIcon = classIcon;
  windowClass.hCursor = classCursor;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = className;
  RegisterClassA(&windowClass);

  const bool joinGadgetList = !(flags & WINDOW_NO_GADGET_LIST);
  uint32_t style = flags & ~static_cast<uint32_t>(WINDOW_NO_GADGET_LIST);
  if ((style & COUNTED_STYLE_BITS) == 0) style |= WS_CAPTION;
  const bool show = !(style & WINDOW_HIDDEN);
  style &= ~static_cast<uint32_t>(WINDOW_HIDDEN);
  DWORD extendedStyle = 0;
  if (style & WINDOW_TOOL) {
    style = (style & TOOL_STYLE_BITS) | WS_CAPTION;
    extendedStyle = WS_EX_TOOLWINDOW;
  }
  const uint32_t options = style;
  style &= PLATFORM_STYLE_BITS;

  WindowPlacement placement = WindowPlacementCompute(x, y, width, height, options, style, extendedStyle, parent);
  object->handle = CreateWindowExA(extendedStyle, className, title ? title : "", style, placement.x, placement.y,
                                   placement.width, placement.height, parent, nullptr, ModuleInstance(), nullptr);
  if (!object->handle) {
    UnregisterClassA(className, ModuleInstance());
    RegistryFree(windowRegistry, number);
    return 0;
  }
  HWND handle = object->handle;
  SetPropA(handle, PROPERTY_WINDOW_ID, reinterpret_cast<HANDLE>(static_cast<intptr_t>(number + 1)));
  if (show) {
    int command = SW_SHOWNORMAL;
    if (style & WS_MAXIMIZE)
      command = SW_SHOWMAXIMIZED;
    else if (style & WS_MINIMIZE)
      command = SW_SHOWMINIMIZED;
    ShowWindow(handle, command);
  }
  // ShowWindow may have re-entered the toolkit; the record is re-read from
  // the registry so that a window destroyed meanwhile is not used.
  object = static_cast<WindowObject*>(RegistryLookup(windowRegistry, number));
  if (!object || object->handle != handle) return 0;
  object->minMaxState = (style & (WS_MINIMIZE | WS_MAXIMIZE)) ? 1 : 0;
  if (!WindowAcceleratorsCreate(object)) {
    // A window without its Tab table would stay half made; it is taken down
    // completely instead, like a failed CreateWindowExA.
    WindowDestroy(number);
    return 0;
  }
  object->backgroundColour = -1;
  object->mdiClient = nullptr;
  if (joinGadgetList) {
    // A switch that could not take the window leaves another list current;
    // the window's gadgets would land there, so it is taken down instead.
    GadgetListSwitch(handle);
    if (GadgetListSwitch(nullptr) != handle) {
      WindowDestroy(number);
      return 0;
    }
  }
  return dynamic ? number : reinterpret_cast<intptr_t>(handle);
}

void WindowDestroy(int64_t number) {
  WindowObject* object = static_cast<WindowObject*>(RegistryLookup(windowRegistry, number));
  if (!object) return;
  HWND handle = object->handle;
  HWND owner = GetWindow(handle, GW_OWNER);
  if (owner && !object->mdiClient) SetActiveWindow(owner);
  // The property goes first, so that the messages DestroyWindow sends are
  // handled as messages of no window.
  RemovePropA(handle, PROPERTY_WINDOW_ID);
  if (RemovePropA(handle, PROPERTY_DROP_ACCEPT)) RevokeDragDrop(handle);
  if (object->mdiClient) {
    SendMessageA(object->mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(handle), 0);
  } else {
    DestroyWindow(handle);
    char className[40];
    ClassNameFormat(className, sizeof className, number);
    UnregisterClassA(className, ModuleInstance());
  }
  if (object->accelEntries) {
    KernelHeapFree(ProcessHeap(), object->accelEntries);
    object->accelEntries = nullptr;
    if (object->accelTable) DestroyAcceleratorTable(object->accelTable);
    object->accelTable = nullptr;
  }
  if (object->backgroundBrush) DeleteObject(object->backgroundBrush);
  object->backgroundBrush = nullptr;
  EventPurgeWindow(number);
  RegistryFree(windowRegistry, number);
}
