// Posting and popping queued events against a std::deque of the same
// records, natively; the target is the Windows build's (bench/windows), these
// figures are for reference. Each iteration is one round of
// event_rounds.h; every popped field is kept alive, as EventPop's caller
// uses them all.
#include <benchmark/benchmark.h>

#include <deque>

#include "bench/event_rounds.h"
#include "core/process_heap.h"

namespace {

// A function object rather than a function, so that both rounds inline it.
struct Consume {
  void operator()(int32_t code, int64_t object, int64_t window, int64_t type, void* data,
                  EventDataRelease release) const {
    benchmark::DoNotOptimize(code);
    benchmark::DoNotOptimize(object);
    benchmark::DoNotOptimize(window);
    benchmark::DoNotOptimize(type);
    benchmark::DoNotOptimize(data);
    benchmark::DoNotOptimize(release);
  }
};

void QueuePostPop(benchmark::State& state) {
  const int64_t burst = state.range(0);
  for (auto _ : state) QueueRound(burst, Consume());
  state.SetItemsProcessed(state.iterations() * burst);
}

void DequePostPop(benchmark::State& state) {
  const int64_t burst = state.range(0);
  std::deque<QueuedEvent> queue;
  for (auto _ : state) DequeRound(queue, burst, Consume());
  state.SetItemsProcessed(state.iterations() * burst);
}

BENCHMARK(QueuePostPop)->Arg(3)->Arg(64)->Arg(1024);
BENCHMARK(DequePostPop)->Arg(3)->Arg(64)->Arg(1024);

}  // namespace

int main(int argc, char** argv) {
  ProcessHeapStart();
  EventLibraryStart();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
