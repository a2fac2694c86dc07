// Waiting for events: queued events first, else one window message read,
// offered to the active window's accelerator table and dispatched; the
// result is the direct event the dispatch wrote, or the raw message number.
#pragma once

#include <stdint.h>

// timeout in ms: -1 = no limit, 0 = do not wait. 0 = no event.
int64_t EventPoll(int32_t timeout);
int64_t EventWait(void);
int64_t CurrentEventGadget(void);
int64_t CurrentEventType(void);
