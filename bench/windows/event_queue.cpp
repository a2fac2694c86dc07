// The event queue against a std::deque of the same records, built as the
// product is (cross-compiled, the C runtime's heap beneath the deque) and
// run under Wine, where Google Benchmark is not available. The rounds are
// the native benchmark's (event_rounds.h). Both sides are measured in the
// same run, interleaved, and the median of the repetitions is reported.
//
//   event_queue_bench.exe [EVENTS-PER-MEASUREMENT]   (default 3,000,000)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <deque>

#include "bench/event_rounds.h"
#include "core/process_heap.h"

namespace {

const int REPETITIONS = 9;

// Every popped field is summed into here, so that neither side can skip one.
volatile int64_t sink;

double Seconds() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int64_t Sum(int32_t code, int64_t object, int64_t window, int64_t type, void* data, EventDataRelease release) {
  return code + object + window + type + static_cast<int64_t>(reinterpret_cast<intptr_t>(data)) +
         static_cast<int64_t>(reinterpret_cast<intptr_t>(release));
}

// Nanoseconds per call of round(consume), over `rounds` calls.
template <typename Round>
double NanosecondsPerRound(int rounds, Round round) {
  int64_t total = 0;
  auto consume = [&total](int32_t code, int64_t object, int64_t window, int64_t type, void* data,
                          EventDataRelease release) { total += Sum(code, object, window, type, data, release); };
  double start = Seconds();
  for (int i = 0; i < rounds; i++) round(consume);
  double elapsed = Seconds() - start;
  sink = sink + total;
  return elapsed / rounds * 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  long events = argc > 1 ? strtol(argv[1], nullptr, 10) : 3000000;
  if (events < 1) events = 1;
  ProcessHeapStart();
  EventLibraryStart();
  printf("%-6s %12s %12s %7s\n", "burst", "queue ns", "deque ns", "ratio");
  for (int burst : {3, 64, 1024}) {
    int rounds = static_cast<int>(std::max<long>(1, events / burst));
    double queue[REPETITIONS], deque[REPETITIONS];
    for (int i = 0; i < REPETITIONS; i++) {
      queue[i] = NanosecondsPerRound(rounds, [burst](auto consume) { QueueRound(burst, consume); });
      std::deque<QueuedEvent> records;
      deque[i] = NanosecondsPerRound(rounds, [burst, &records](auto consume) { DequeRound(records, burst, consume); });
    }
    std::sort(queue, queue + REPETITIONS);
    std::sort(deque, deque + REPETITIONS);
    double q = queue[REPETITIONS / 2], d = deque[REPETITIONS / 2];
    printf("%-6d %12.1f %12.1f %7.2f\n", burst, q, d, q / d);
  }
  return 0;
}
