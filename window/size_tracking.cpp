// Live size tracking. See size_tracking.h.
#include "window/size_tracking.h"

#include "core/state_record.h"
#include "core/toolkit.h"

static SizeTrackState* sizeTrackState;

SizeTrackState* SizeTrackStateGet(void) { return sizeTrackState; }

void SizeTrackStateCreate(void) {
  sizeTrackState = static_cast<SizeTrackState*>(StateRecordCreate(sizeof(SizeTrackState), nullptr));
}

int64_t SizeTrackMessage(HWND, UINT, WPARAM, LPARAM) { return NOT_HANDLED; }
