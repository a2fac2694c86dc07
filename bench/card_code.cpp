// The card code as the window computes it (save the write position,
// convert, restore), against two ways of producing the same text with the
// C and C++ libraries: strtoll + snprintf, and strtoll + std::to_chars.
// Each runs over the same field texts: short, ten digits, negative, and
// hexadecimal with the "$" prefix. The first run of each checks that it
// produces the card code's text, so the comparison is of equal work.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <charconv>

#include "app/card_code.h"
#include "core/process_heap.h"
#include "core/string_buffer.h"

namespace {

struct BenchInput {
  const char* name;
  const char* text;
};

const BenchInput inputs[] = {
    {"short", "7"},
    {"ten_digits", "1234567890"},
    {"negative", "-15"},
    {"hex", "$BC614E"},
};

void StartCore() {
  static bool started = false;
  if (started) return;
  ProcessHeapStart();
  StringBufferStart();
  started = true;
}

// The library parse of the same field texts: blanks, a sign, an optional
// "$" for base 16, then strtoll of the digits.
long long LibraryParse(const char* text) {
  while (*text == ' ' || *text == '\t') text++;
  bool negative = *text == '-';
  if (*text == '-' || *text == '+') text++;
  int base = 10;
  if (*text == '$') {
    base = 16;
    text++;
  }
  long long magnitude = strtoll(text, nullptr, base);
  return negative ? -magnitude : magnitude;
}

int SnprintfCode(const char* text, char* out, size_t size) {
  long long n = LibraryParse(text);
  return snprintf(out, size, "1D %08llX %lld", (unsigned long long)n, 10 - n % 10);
}

int ToCharsCode(const char* text, char* out, size_t) {
  long long n = LibraryParse(text);
  char hex[17];
  char* hexEnd = std::to_chars(hex, hex + sizeof hex, (unsigned long long)n, 16).ptr;
  int digits = (int)(hexEnd - hex);
  char* at = out;
  *at++ = '1';
  *at++ = 'D';
  *at++ = ' ';
  for (int pad = digits; pad < 8; pad++) *at++ = '0';
  for (int i = 0; i < digits; i++) *at++ = hex[i] >= 'a' ? (char)(hex[i] - 'a' + 'A') : hex[i];
  *at++ = ' ';
  at = std::to_chars(at, at + 20, 10 - n % 10).ptr;
  *at = 0;
  return (int)(at - out);
}

bool SameAsCardCode(benchmark::State& state, const char* text, const char* produced) {
  TempStringBuffer* buffer = StringBuffer();
  int64_t saved = buffer->writePosition;
  bool same = strcmp(CardCode(text, (int32_t)saved), produced) == 0;
  buffer->writePosition = saved;
  if (!same) state.SkipWithError("does not produce the card code's text");
  return same;
}

void BM_CardCode(benchmark::State& state) {
  StartCore();
  const char* text = inputs[state.range(0)].text;
  TempStringBuffer* buffer = StringBuffer();
  for (auto _ : state) {
    int64_t saved = buffer->writePosition;
    char* code = CardCode(text, (int32_t)saved);
    benchmark::DoNotOptimize(code);
    benchmark::DoNotOptimize(*code);
    buffer->writePosition = saved;
  }
  state.SetLabel(inputs[state.range(0)].name);
}

template <int (*Produce)(const char*, char*, size_t)>
void BM_Library(benchmark::State& state) {
  StartCore();
  const char* text = inputs[state.range(0)].text;
  char out[64];
  Produce(text, out, sizeof out);
  if (!SameAsCardCode(state, text, out)) return;
  for (auto _ : state) {
    int length = Produce(text, out, sizeof out);
    benchmark::DoNotOptimize(length);
    benchmark::DoNotOptimize(out);
  }
  state.SetLabel(inputs[state.range(0)].name);
}

void EveryInput(benchmark::internal::Benchmark* benchmark) {
  for (size_t i = 0; i < sizeof inputs / sizeof inputs[0]; i++) benchmark->Arg((int64_t)i);
}

}  // namespace

BENCHMARK(BM_CardCode)->Apply(EveryInput);
BENCHMARK_TEMPLATE(BM_Library, SnprintfCode)->Name("BM_StrtollSnprintf")->Apply(EveryInput);
BENCHMARK_TEMPLATE(BM_Library, ToCharsCode)->Name("BM_StrtollToChars")->Apply(EveryInput);

BENCHMARK_MAIN();
