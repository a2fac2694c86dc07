// Live size tracking: takes over SC_SIZE (with full-window dragging on) and
// sizes the window from messages of the application's own loop, so events
// keep flowing during a resize. One operation at a time per process.
#pragma once

#include <windows.h>
#include <stdint.h>

struct SizeTrackState {
  int32_t active;          // non-zero while a sizing operation is tracked
  int32_t restoreCursor;   // keyboard sizing: put the cursor back at the end
  POINT savedCursor;       // screen position when keyboard sizing started
  RECT trackRect;          // screen coordinates; WM_SIZING carries its address
  int32_t mode;            // 0 = keyboard, no edge yet; 1-8 = WMSZ_* edge codes
  MINMAXINFO limits;       // defaults narrowed by WM_GETMINMAXINFO; only the track sizes are read
  HWND trackedWindow;      // the window being sized; messages of other windows pass untouched
};

SizeTrackState* SizeTrackStateGet(void);
// Creates the record (WindowLibraryStart calls it).
void SizeTrackStateCreate(void);

int64_t SizeTrackMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SizeTrackApplyPoint(int32_t x, int32_t y);
void SizeTrackMoveWindow(HWND window, RECT rect);
void SizeTrackStep(HWND window, int32_t x, int32_t y);
void SizeTrackSetCursor(int32_t cursorId, int32_t x, int32_t y);
