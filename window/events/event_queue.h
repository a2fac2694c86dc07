// The event queue: events posted while a window message is handled, popped
// by the waits oldest first. Records come from a private block pool (one
// block taken at start and kept, so the first chunk never goes back to the
// heap). Portable: it needs only the core. GUI thread only, no lock.
#pragma once

#include <stdint.h>

#include "core/block_pool.h"
#include "window/events/event_codes.h"

typedef void (*EventDataRelease)(void* data);

struct QueuedEvent {
  QueuedEvent* next;  // next newer event; null at the tail
  int32_t code;       // never 0
  int64_t object;
  int64_t window;
  int64_t type;
  void* data;
  EventDataRelease dataRelease;
};

struct EventState {
  BlockPool* nodePool;      // supplies the QueuedEvent records
  QueuedEvent* queueHead;   // oldest; null when empty
  QueuedEvent* queueTail;   // newest; null when empty
  int32_t postSuppressed;   // while non-zero EventPost does nothing
};

// The event library's state record; null until EventLibraryStart.
extern EventState* eventState;

inline EventState* EventStateGet(void) { return eventState; }

void EventLibraryStart(void);

// Queues an event unless posting is suppressed or the newest queued event
// has the same code, object, window and type. Out of memory, the event is
// lost and nothing else is.
void EventPost(int32_t code, int64_t object, int64_t window, int64_t type, void* data = nullptr,
               EventDataRelease dataRelease = nullptr);
// Takes the oldest event: returns its code, or 0 (out-fields untouched) when
// the queue is empty.
int32_t EventPop(int64_t* object, int64_t* window, int64_t* type, void** data, EventDataRelease* dataRelease);

// -1 in any argument matches every value.
void EventPurge(int32_t code, int64_t object, int64_t window, int64_t type);
void EventPurgeWindow(int64_t window);
