// The event queue against a std::deque of the same records, built as the
// product is (cross-compiled, the C runtime's heap beneath the deque) and
// run under Wine. The rounds are the native benchmark's (event_rounds.h).
// The queue must be no slower than the deque.
//
//   event_queue_bench.exe [EVENTS-PER-MEASUREMENT]   (default 3,000,000)
#include <stdlib.h>

#include <deque>

#include "bench/event_rounds.h"
#include "bench/windows/timing.h"
#include "core/process_heap.h"

namespace {

// Sums every popped field, so that neither side can skip one; a round's sum
// ends in `sink`.
struct Consume {
  int64_t* total;
  void operator()(int32_t code, int64_t object, int64_t window, int64_t type, void* data,
                  EventDataRelease release) const {
    *total += code + object + window + type + static_cast<int64_t>(reinterpret_cast<intptr_t>(data)) +
              static_cast<int64_t>(reinterpret_cast<intptr_t>(release));
  }
};

volatile int64_t sink;

}  // namespace

int main(int argc, char** argv) {
  long events = argc > 1 ? strtol(argv[1], nullptr, 10) : 3000000;
  if (events < 1) events = 1;
  ProcessHeapStart();
  EventLibraryStart();
  PrintHeader("queue ns", "deque ns");
  std::deque<QueuedEvent> records;
  for (int burst : {3, 64, 1024}) {
    char name[32];
    snprintf(name, sizeof name, "burst %d", burst);
    long rounds = events / burst > 0 ? events / burst : 1;
    PrintComparison(
        name, rounds,
        [burst] {
          int64_t total = 0;
          QueueRound(burst, Consume{&total});
          sink = sink + total;
        },
        [burst, &records] {
          int64_t total = 0;
          DequeRound(records, burst, Consume{&total});
          sink = sink + total;
        });
  }
  return 0;
}
