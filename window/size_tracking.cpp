// Live size tracking. The default window procedure would answer SC_SIZE with
// a modal sizing loop of its own, during which the application's event loop
// stands still. The tracker takes the command first (only with full-window
// dragging on; outline dragging keeps the system's loop), captures the mouse
// and resizes the window on every mouse movement or arrow key that arrives
// through the application's own loop, so events keep flowing.
//
// The class window procedure hands every message to SizeTrackMessage before
// anything else and continues only on NOT_HANDLED. One SizeTrackState exists
// per process (created by WindowLibraryStart), so one window is sized at a
// time; while it is, messages of every other window pass untouched. Tracking
// always ends with WM_CAPTURECHANGED, whoever took the capture away.
// GUI thread only; the messages sent during tracking re-enter the tracker.
#include "window/size_tracking.h"

#include "core/state_record.h"
#include "core/toolkit.h"

namespace {

SizeTrackState* sizeTrackState;

enum {
  CURSOR_SIZE_NWSE = 32642,
  CURSOR_SIZE_NESW = 32643,
  CURSOR_SIZE_WE = 32644,
  CURSOR_SIZE_NS = 32645,
  CURSOR_SIZE_ALL = 32646,
};

// Where a key that chooses an edge puts the cursor: on a left or top edge,
// 2 pixels inside a right or bottom edge, 2 inside both edges of the
// top-left corner, so that a mouse movement to that point keeps the edges.
enum CursorAnchor {
  ANCHOR_CURSOR,      // the cursor's own coordinate
  ANCHOR_LOW_EDGE,    // left or top
  ANCHOR_LOW_INSIDE,  // left + 2 or top + 2
  ANCHOR_HIGH_INSIDE, // right - 2 or bottom - 2
};

struct EdgeChoice {
  WPARAM key;
  int32_t modeBefore;
  int32_t modeAfter;
  CursorAnchor anchorX;
  CursorAnchor anchorY;
  int32_t cursorId;
};

// The first arrow picks an edge, a second one at right angles a corner.
const EdgeChoice edgeChoices[] = {
    {VK_LEFT, 0, WMSZ_LEFT, ANCHOR_LOW_EDGE, ANCHOR_CURSOR, CURSOR_SIZE_WE},
    {VK_LEFT, WMSZ_TOP, WMSZ_TOPLEFT, ANCHOR_LOW_INSIDE, ANCHOR_LOW_INSIDE, CURSOR_SIZE_NWSE},
    {VK_LEFT, WMSZ_BOTTOM, WMSZ_BOTTOMLEFT, ANCHOR_LOW_EDGE, ANCHOR_HIGH_INSIDE, CURSOR_SIZE_NESW},
    {VK_UP, 0, WMSZ_TOP, ANCHOR_CURSOR, ANCHOR_LOW_EDGE, CURSOR_SIZE_NS},
    {VK_UP, WMSZ_LEFT, WMSZ_TOPLEFT, ANCHOR_LOW_INSIDE, ANCHOR_LOW_INSIDE, CURSOR_SIZE_NWSE},
    {VK_UP, WMSZ_RIGHT, WMSZ_TOPRIGHT, ANCHOR_HIGH_INSIDE, ANCHOR_LOW_EDGE, CURSOR_SIZE_NESW},
    {VK_RIGHT, 0, WMSZ_RIGHT, ANCHOR_HIGH_INSIDE, ANCHOR_CURSOR, CURSOR_SIZE_WE},
    {VK_RIGHT, WMSZ_TOP, WMSZ_TOPRIGHT, ANCHOR_HIGH_INSIDE, ANCHOR_LOW_EDGE, CURSOR_SIZE_NESW},
    {VK_RIGHT, WMSZ_BOTTOM, WMSZ_BOTTOMRIGHT, ANCHOR_HIGH_INSIDE, ANCHOR_HIGH_INSIDE, CURSOR_SIZE_NWSE},
    {VK_DOWN, 0, WMSZ_BOTTOM, ANCHOR_CURSOR, ANCHOR_HIGH_INSIDE, CURSOR_SIZE_NS},
    {VK_DOWN, WMSZ_LEFT, WMSZ_BOTTOMLEFT, ANCHOR_LOW_EDGE, ANCHOR_HIGH_INSIDE, CURSOR_SIZE_NESW},
    {VK_DOWN, WMSZ_RIGHT, WMSZ_BOTTOMRIGHT, ANCHOR_HIGH_INSIDE, ANCHOR_HIGH_INSIDE, CURSOR_SIZE_NWSE},
};

const int32_t KEY_STEP = 10;  // pixels per arrow once the edges are chosen

int32_t AnchorCoordinate(CursorAnchor anchor, int32_t cursor, int32_t low, int32_t high) {
  switch (anchor) {
    case ANCHOR_LOW_EDGE: return low;
    case ANCHOR_LOW_INSIDE: return low + 2;
    case ANCHOR_HIGH_INSIDE: return high - 2;
    case ANCHOR_CURSOR: break;
  }
  return cursor;
}

// Hands the rectangle to the window's WM_SIZING handler, which may change
// it in place, and places the window where the handler left it.
void SizeTrackPlace(SizeTrackState* state, HWND window) {
  SendMessageA(window, WM_SIZING, static_cast<WPARAM>(state->mode), reinterpret_cast<LPARAM>(&state->trackRect));
  RECT placed = state->trackRect;
  SizeTrackMoveWindow(window, placed);
}

int64_t SizeTrackStart(SizeTrackState* state, HWND window, WPARAM command) {
  state->active = 1;
  state->trackedWindow = window;
  state->mode = static_cast<int32_t>(command & 0xF);
  GetWindowRect(window, &state->trackRect);

  MINMAXINFO& limits = state->limits;
  limits.ptReserved.x = 0;
  limits.ptReserved.y = 0;
  limits.ptMaxSize.x = GetSystemMetrics(SM_CXMAXIMIZED);
  limits.ptMaxSize.y = GetSystemMetrics(SM_CYMAXIMIZED);
  if (GetWindowLongPtrA(window, GWL_STYLE) & WS_BORDER) {
    limits.ptMaxPosition.x = GetSystemMetrics(SM_CXBORDER);
    limits.ptMaxPosition.y = GetSystemMetrics(SM_CYBORDER);
  } else if (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_WINDOWEDGE) {
    limits.ptMaxPosition.x = GetSystemMetrics(SM_CXEDGE);
    limits.ptMaxPosition.y = GetSystemMetrics(SM_CYEDGE);
  } else {
    limits.ptMaxPosition.x = 0;
    limits.ptMaxPosition.y = 0;
  }
  limits.ptMinTrackSize.x = GetSystemMetrics(SM_CXMINTRACK);
  limits.ptMinTrackSize.y = GetSystemMetrics(SM_CYMINTRACK);
  limits.ptMaxTrackSize.x = GetSystemMetrics(SM_CXMAXTRACK);
  limits.ptMaxTrackSize.y = GetSystemMetrics(SM_CYMAXTRACK);
  // active is already set, so this and the messages below come back to the
  // tracker's active branch and on to the window's normal handling.
  SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));

  // The window menu's size command comes without a pressed button; the
  // window should see the press that a border drag would have begun with.
  if (GetKeyState(VK_LBUTTON) == 0) SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  SetCapture(window);
  PostMessageA(window, WM_ENTERSIZEMOVE, 0, 0);

  if (state->mode == 0) {
    state->restoreCursor = 1;
    GetCursorPos(&state->savedCursor);
    SetCursor(static_cast<HCURSOR>(LoadImageA(nullptr, MAKEINTRESOURCEA(CURSOR_SIZE_ALL), IMAGE_CURSOR, 0, 0,
                                              LR_SHARED | LR_DEFAULTSIZE)));
  } else {
    state->restoreCursor = 0;
  }
  return 0;
}

void SizeTrackArrowKey(SizeTrackState* state, HWND window, WPARAM key) {
  POINT cursor;
  GetCursorPos(&cursor);
  const RECT& rect = state->trackRect;
  for (const EdgeChoice& choice : edgeChoices) {
    if (choice.key != key || choice.modeBefore != state->mode) continue;
    SizeTrackSetCursor(choice.cursorId, AnchorCoordinate(choice.anchorX, cursor.x, rect.left, rect.right),
                       AnchorCoordinate(choice.anchorY, cursor.y, rect.top, rect.bottom));
    state->mode = choice.modeAfter;
    return;
  }
  switch (key) {
    case VK_LEFT: SizeTrackStep(window, cursor.x - KEY_STEP, cursor.y); break;
    case VK_UP: SizeTrackStep(window, cursor.x, cursor.y - KEY_STEP); break;
    case VK_RIGHT: SizeTrackStep(window, cursor.x + KEY_STEP, cursor.y); break;
    case VK_DOWN: SizeTrackStep(window, cursor.x, cursor.y + KEY_STEP); break;
  }
}

// Every end of tracking, however it comes: keyboard sizing that no mouse
// movement took over puts the cursor back where it was.
void SizeTrackFinish(SizeTrackState* state) {
  state->active = 0;
  state->trackedWindow = nullptr;
  if (state->restoreCursor) SetCursorPos(state->savedCursor.x, state->savedCursor.y);
  state->restoreCursor = 0;
}

void SizeTrackEnd(SizeTrackState* state, HWND window) {
  PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
  SizeTrackFinish(state);
}

}  // namespace

SizeTrackState* SizeTrackStateGet(void) { return sizeTrackState; }

void SizeTrackStateCreate(void) {
  sizeTrackState = static_cast<SizeTrackState*>(StateRecordCreate(sizeof(SizeTrackState), nullptr));
}

int64_t SizeTrackMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SizeTrackState* state = sizeTrackState;
  if (!state) return NOT_HANDLED;

  if (!state->active) {
    if (message != WM_SYSCOMMAND || (wParam & 0xFFF0) != SC_SIZE) return NOT_HANDLED;
    BOOL fullWindowDragging = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &fullWindowDragging, 0);
    if (!fullWindowDragging) return NOT_HANDLED;
    return SizeTrackStart(state, window, wParam);
  }

  if (window != state->trackedWindow) return NOT_HANDLED;
  switch (message) {
    case WM_MOUSEMOVE: {
      state->restoreCursor = 0;
      POINT point = {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
      MapWindowPoints(window, nullptr, &point, 1);
      SizeTrackApplyPoint(point.x, point.y);
      SizeTrackPlace(state, window);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
        // Esc keeps the size reached, like Enter: the window has been
        // resized live all along and there is nothing to take back.
        ReleaseCapture();
        return 0;
      }
      if (wParam >= VK_LEFT && wParam <= VK_DOWN) SizeTrackArrowKey(state, window, wParam);
      // Arrows pass on so that the window's own key handling sees them too.
      return NOT_HANDLED;
    case WM_LBUTTONUP:
      ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      SizeTrackEnd(state, window);
      return 0;
    case WM_NCDESTROY:
      // Destroyed while sized: without this the tracker would stay busy
      // with a window that no longer exists and never size again.
      SizeTrackFinish(state);
      return NOT_HANDLED;
  }
  return NOT_HANDLED;
}

// A width or height held within the tracking limits.
static int32_t LimitedSpan(int32_t span, int32_t minimum, int32_t maximum) {
  if (span < minimum) return minimum;
  if (span > maximum) return maximum;
  return span;
}

void SizeTrackApplyPoint(int32_t x, int32_t y) {
  SizeTrackState* state = sizeTrackState;
  if (!state) return;
  RECT& rect = state->trackRect;
  const int32_t mode = state->mode;
  const int32_t minX = state->limits.ptMinTrackSize.x, minY = state->limits.ptMinTrackSize.y;
  const int32_t maxX = state->limits.ptMaxTrackSize.x, maxY = state->limits.ptMaxTrackSize.y;

  // The edge opposite a moving edge never moves: the limits are met by
  // holding the moving edge back.
  if (mode == WMSZ_LEFT || mode == WMSZ_TOPLEFT || mode == WMSZ_BOTTOMLEFT)
    rect.left = rect.right - LimitedSpan(rect.right - (mode == WMSZ_TOPLEFT ? x - 2 : x), minX, maxX);
  if (mode == WMSZ_RIGHT || mode == WMSZ_TOPRIGHT || mode == WMSZ_BOTTOMRIGHT)
    rect.right = rect.left + LimitedSpan(x + 2 - rect.left, minX, maxX);
  if (mode == WMSZ_TOP || mode == WMSZ_TOPLEFT || mode == WMSZ_TOPRIGHT)
    rect.top = rect.bottom - LimitedSpan(rect.bottom - (mode == WMSZ_TOPLEFT ? y - 2 : y), minY, maxY);
  if (mode == WMSZ_BOTTOM || mode == WMSZ_BOTTOMLEFT || mode == WMSZ_BOTTOMRIGHT)
    rect.bottom = rect.top + LimitedSpan(y + 2 - rect.top, minY, maxY);
}

void SizeTrackMoveWindow(HWND window, RECT rect) {
  // Child windows are placed in their parent's client coordinates; the
  // tracker's own rectangle stays in screen coordinates.
  if (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void SizeTrackStep(HWND window, int32_t x, int32_t y) {
  SizeTrackState* state = sizeTrackState;
  if (!state) return;
  SetCursorPos(x, y);
  SizeTrackApplyPoint(x, y);
  SizeTrackPlace(state, window);
}

void SizeTrackSetCursor(int32_t cursorId, int32_t x, int32_t y) {
  SetCursorPos(x, y);
  SetCursor(static_cast<HCURSOR>(
      LoadImageA(nullptr, MAKEINTRESOURCEA(cursorId), IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE)));
}
