// Waiting for events: queued events first, else one window message read,
// offered to the active window's accelerator table and dispatched; the
// result is the direct event the dispatch wrote, or the raw message number.
//
// Timer procedures do not run under this loop: a WM_TIMER that names one
// is never dispatched (any process can post a WM_TIMER naming any function
// of this program, and the platform would call it). Use timer events: a
// timer set on a toolkit window without a procedure arrives as EVENT_TIMER.
// Likewise, posted messages whose lParam the window procedure would follow
// as a pointer (WM_NOTIFY, WM_GETMINMAXINFO) are dropped.
#pragma once

#include <stdint.h>

// timeout in ms: -1 = no limit, 0 = do not wait. 0 = no event.
int64_t EventPoll(int32_t timeout);
int64_t EventWait(void);
int64_t CurrentEventGadget(void);
int64_t CurrentEventType(void);
