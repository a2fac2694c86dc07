// RegistryLookup of a number and of a dynamic handle value, with 10 and
// with 10,000 dynamic objects in the registry. A handle value is checked
// against the registry's index of live objects before it is used, and that
// check must not grow with the number of objects; DynamicListSearch walks
// the dynamic list instead, to show what a linear check would cost.
#include <benchmark/benchmark.h>

#include <stdint.h>

#include <vector>

#include "core/process_heap.h"
#include "core/registry.h"

namespace {

struct BenchRecord {
  int64_t handle;
  int64_t payload[6];
};

struct Filled {
  ObjectRegistry* registry;
  std::vector<int64_t> handles;  // in creation order
};

Filled MakeRegistry(int64_t dynamicCount) {
  Filled filled;
  filled.registry = RegistryCreate(sizeof(BenchRecord), 16, nullptr);
  for (int64_t number = 0; number < 16; number++) {
    static_cast<BenchRecord*>(RegistryAllocate(filled.registry, number))->handle = number + 1;
  }
  for (int64_t i = 0; i < dynamicCount; i++) {
    BenchRecord* record = static_cast<BenchRecord*>(RegistryAllocate(filled.registry, OBJECT_ANY));
    record->handle = i + 1;
    filled.handles.push_back(static_cast<int64_t>(reinterpret_cast<uintptr_t>(record)));
  }
  return filled;
}

void LookupNumber(benchmark::State& state) {
  Filled filled = MakeRegistry(state.range(0));
  int64_t number = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(RegistryLookup(filled.registry, number));
    number = (number + 1) & 15;
  }
  state.SetItemsProcessed(state.iterations());
}

// Cycles through every live handle value, so the large registry is not
// measured on one cache-hot object.
void LookupDynamic(benchmark::State& state) {
  Filled filled = MakeRegistry(state.range(0));
  size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(RegistryLookup(filled.registry, filled.handles[next]));
    if (++next == filled.handles.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

// One handle value over and over, so that the index and not the memory of
// 10,000 records is what is timed.
void LookupDynamicSameObject(benchmark::State& state) {
  Filled filled = MakeRegistry(state.range(0));
  int64_t oldest = filled.handles.front();
  for (auto _ : state) benchmark::DoNotOptimize(RegistryLookup(filled.registry, oldest));
  state.SetItemsProcessed(state.iterations());
}

void LookupWildValue(benchmark::State& state) {
  Filled filled = MakeRegistry(state.range(0));
  int64_t wild = filled.handles.front() + 8;
  for (auto _ : state) benchmark::DoNotOptimize(RegistryLookup(filled.registry, wild));
  state.SetItemsProcessed(state.iterations());
}

void DynamicListSearch(benchmark::State& state) {
  Filled filled = MakeRegistry(state.range(0));
  size_t next = 0;
  for (auto _ : state) {
    void* wanted = reinterpret_cast<void*>(static_cast<uintptr_t>(filled.handles[next]));
    void* found = nullptr;
    for (DynamicObjectNode* node = filled.registry->dynamicHead; node; node = node->next) {
      if (ListPayloadOf(node) == wanted) {
        found = wanted;
        break;
      }
    }
    benchmark::DoNotOptimize(found);
    if (++next == filled.handles.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(LookupNumber)->Arg(10)->Arg(10000);
BENCHMARK(LookupDynamic)->Arg(10)->Arg(10000);
BENCHMARK(LookupDynamicSameObject)->Arg(10)->Arg(10000);
BENCHMARK(LookupWildValue)->Arg(10)->Arg(10000);
BENCHMARK(DynamicListSearch)->Arg(10)->Arg(10000);

}  // namespace

int main(int argc, char** argv) {
  ProcessHeapStart();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
