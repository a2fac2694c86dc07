// The event queue: events posted while a window message is handled, popped
// by the waits oldest first. Records come from a private block pool (one
// block taken at start and kept, so the first chunk never goes back to the
// heap). Portable: it needs only the core. GUI thread only, no lock.
//
// Post and pop are inline, as the pool's common paths are, so that a caller
// pays no call unless the pool has to make, move or give back a chunk.
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

// The parts of post and pop that need more than a ready block from the
// pool, or give one back that moves or frees its chunk. Out of line.
void EventPostSlow(int32_t code, int64_t object, int64_t window, int64_t type, void* data,
                   EventDataRelease dataRelease);
int32_t EventHeadFreeSlow(BlockPool* pool, QueuedEvent* head);

// Fills the new tail. Head and tail are null together, so the old tail
// alone says where to link.
inline void EventAppend(EventState* state, QueuedEvent* tail, QueuedEvent* event, int32_t code, int64_t object,
                        int64_t window, int64_t type, void* data, EventDataRelease dataRelease) {
  event->next = nullptr;
  event->code = code;
  event->object = object;
  event->window = window;
  event->type = type;
  event->data = data;
  event->dataRelease = dataRelease;
  if (tail) tail->next = event;
  else state->queueHead = event;
  state->queueTail = event;
}

// Queues an event unless posting is suppressed or the newest queued event
// has the same code, object, window and type. Out of memory, the event is
// lost and nothing else is.
inline void EventPost(int32_t code, int64_t object, int64_t window, int64_t type, void* data = nullptr,
                      EventDataRelease dataRelease = nullptr) {
  EventState* state = eventState;
  if (!state || state->postSuppressed) return;
  QueuedEvent* tail = state->queueTail;
  if (tail && tail->code == code && tail->object == object && tail->window == window && tail->type == type) return;
  // A null pool yields no block on either road, so it needs no test here.
  QueuedEvent* event = static_cast<QueuedEvent*>(BlockPoolAllocFast(state->nodePool));
  if (!event) return EventPostSlow(code, object, window, type, data, dataRelease);
  EventAppend(state, tail, event, code, object, window, type, data, dataRelease);
}

// Returns 0 (out-fields untouched) when the queue is empty.
inline int32_t EventPop(int64_t* object, int64_t* window, int64_t* type, void** data,
                        EventDataRelease* dataRelease) {
  EventState* state = eventState;
  QueuedEvent* head = state ? state->queueHead : nullptr;
  if (!head) return 0;
  *object = head->object;
  *window = head->window;
  *type = head->type;
  *data = head->data;
  *dataRelease = head->dataRelease;
  QueuedEvent* next = head->next;
  state->queueHead = next;
  if (!next) state->queueTail = nullptr;  // only the tail has no next
  int32_t code = head->code;
  if (!BlockPoolFreeFast(state->nodePool, head)) return EventHeadFreeSlow(state->nodePool, head);
  return code;
}

// -1 in any argument matches every value.
void EventPurge(int32_t code, int64_t object, int64_t window, int64_t type);
void EventPurgeWindow(int64_t window);
