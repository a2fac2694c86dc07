// Timing shared by the benchmarks of the Windows build, which run under Wine
// where Google Benchmark is not available. A comparison measures both sides
// in the same run, one repetition of each in turn, so that a noisy stretch of
// the shared machine hits both alike, and reports the medians.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <algorithm>

const int REPETITIONS = 9;

// Nanoseconds per call of work(), over `calls` calls.
template <typename Work>
double NanosecondsPerCall(long calls, Work& work) {
  LARGE_INTEGER start, end, frequency;
  QueryPerformanceCounter(&start);
  for (long i = 0; i < calls; i++) work();
  QueryPerformanceCounter(&end);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart) / calls * 1e9;
}

inline void PrintHeader(const char* measured, const char* baseline) {
  printf("%-16s %12s %12s %8s\n", "", measured, baseline, "speedup");
}

// One row: the median nanoseconds per call of each side, and how many times
// faster `measured` is than `baseline` (below 1: slower).
template <typename Measured, typename Baseline>
void PrintComparison(const char* name, long calls, Measured measured, Baseline baseline) {
  double measuredNs[REPETITIONS], baselineNs[REPETITIONS];
  for (int i = 0; i < REPETITIONS; i++) {
    measuredNs[i] = NanosecondsPerCall(calls, measured);
    baselineNs[i] = NanosecondsPerCall(calls, baseline);
  }
  std::sort(measuredNs, measuredNs + REPETITIONS);
  std::sort(baselineNs, baselineNs + REPETITIONS);
  double m = measuredNs[REPETITIONS / 2], b = baselineNs[REPETITIONS / 2];
  printf("%-16s %12.1f %12.1f %8.2f\n", name, m, b, b / m);
}
