// Fuzz target: arbitrary bytes as the card-number field text, through
// ParseInteger, the block-fed parser, LeftChars and CardCode, each checked
// against a model of the number format written independently of the code:
// the grammar as a scan over character sets, arithmetic in 128 bits reduced
// modulo 2^64, and the code text formatted by snprintf.
//
// Every input starts from a fresh 16-byte string area, so texts of a dozen
// bytes and more make the area move under LeftChars and CardCode.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "app/card_code.h"
#include "core/kernel.h"
#include "core/number_text.h"
#include "core/process_heap.h"
#include "core/string_buffer.h"

namespace {

typedef unsigned __int128 Wide;
const Wide twoTo64 = (Wide)1 << 64;

[[noreturn]] void Mismatch(const char* what, const std::string& input, const std::string& got,
                           const std::string& expected) {
  fprintf(stderr, "%s differs for input \"%s\" (%zu bytes):\n  got      \"%s\"\n  expected \"%s\"\n", what,
          input.c_str(), input.size(), got.c_str(), expected.c_str());
  abort();
}

// The number a text denotes, read up to its first zero byte.
int64_t ModelNumber(const std::string& bytes) {
  std::string text = bytes.substr(0, bytes.find('\0'));
  size_t at = text.find_first_not_of(" \t");
  if (at == std::string::npos) return 0;
  bool negative = text[at] == '-';
  if (text[at] == '-' || text[at] == '+') at++;
  const char* digits = "0123456789";
  Wide base = 10;
  if (at < text.size() && text[at] == '$') {
    digits = "0123456789ABCDEFabcdef";
    base = 16;
    at++;
  } else if (at < text.size() && text[at] == '%') {
    digits = "01";
    base = 2;
    at++;
  }
  size_t end = text.find_first_not_of(digits, at);
  if (end == std::string::npos) end = text.size();
  Wide value = 0;
  for (size_t i = at; i < end; i++) {
    const char* found = strchr(digits, text[i]);
    Wide worth = (Wide)(found - digits);
    if (worth >= 16) worth -= 6;  // a-f after A-F in the set
    value = (value * base + worth) % twoTo64;
  }
  if (negative) value = (twoTo64 - value) % twoTo64;
  uint64_t pattern = (uint64_t)value;
  int64_t number;
  memcpy(&number, &pattern, sizeof number);
  return number;
}

std::string ModelCode(int64_t n) {
  // Truncating remainder from the 128-bit quotient, sign following n.
  __int128 wide = n;
  __int128 remainder = wide - (wide / 10) * 10;
  char text[64];
  snprintf(text, sizeof text, "1D %08llX %lld", (unsigned long long)(uint64_t)n, (long long)(10 - remainder));
  return text;
}

std::string Decimal(int64_t n) {
  char text[32];
  snprintf(text, sizeof text, "%lld", (long long)n);
  return text;
}

void FreshArea() {
  static bool started = false;
  if (started) KernelHeapDestroy(StringBuffer()->stringHeap);
  StringBufferStart();
  started = true;
}

std::string TextAt(int64_t position) { return StringBuffer()->base + position; }

void CheckWritePosition(const char* what, const std::string& input, int64_t expected) {
  if (StringBuffer()->writePosition != expected) {
    Mismatch(what, input, Decimal(StringBuffer()->writePosition), Decimal(expected));
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ProcessHeapStart();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string text = bytes.substr(0, bytes.find('\0'));
  int64_t expected = ModelNumber(bytes);

  // ParseInteger reads the text up to its terminator.
  int64_t parsed = ParseInteger(text.c_str());
  if (parsed != expected) Mismatch("ParseInteger", bytes, Decimal(parsed), Decimal(expected));

  // The block-fed parser over the raw bytes, zero bytes included, cut at a
  // point taken from the input.
  size_t cut = size ? data[0] % (size + 1) : 0;
  IntegerParse parse;
  IntegerParseStart(&parse);
  int ended = IntegerParseFeed(&parse, bytes.data(), cut);
  if (ended && !IntegerParseFeed(&parse, bytes.data() + cut, size - cut)) {
    Mismatch("IntegerParseFeed after the end", bytes, "0", "1");
  }
  if (!ended) IntegerParseFeed(&parse, bytes.data() + cut, size - cut);
  if (IntegerParseResult(&parse) != expected) {
    Mismatch("IntegerParse", bytes, Decimal(IntegerParseResult(&parse)), Decimal(expected));
  }

  // LeftChars from a text outside the area and from one inside it, with a
  // count taken from the input (negative ones included).
  FreshArea();
  int32_t count = size ? (int32_t)(data[size - 1] % 48) - 8 : 0;
  size_t keep = count < 0 ? 0 : (size_t)count < text.size() ? (size_t)count : text.size();
  std::string prefix = text.substr(0, keep);
  LeftChars(text.c_str(), count, 0);
  if (TextAt(0) != prefix) Mismatch("LeftChars", bytes, TextAt(0), prefix);
  CheckWritePosition("LeftChars position", bytes, (int64_t)keep);
  StringBuffer()->writePosition = 0;
  StringAppend(text.c_str());
  int64_t behind = StringBuffer()->writePosition + 1;
  StringBuffer()->writePosition = behind;
  LeftChars(StringBuffer()->base, count, (int32_t)behind);
  if (TextAt(behind) != prefix) Mismatch("LeftChars of the area", bytes, TextAt(behind), prefix);
  CheckWritePosition("LeftChars of the area position", bytes, behind + (int64_t)keep);

  // CardCode of a text outside the area, then of one lying at the position
  // it writes to, as the window hands it over.
  std::string code = ModelCode(expected);
  FreshArea();
  StringAppend("x");
  int32_t position = (int32_t)StringBuffer()->writePosition;
  std::string result = CardCode(text.c_str(), position);
  if (result != code) Mismatch("CardCode", bytes, result, code);
  CheckWritePosition("CardCode position", bytes, position + (int64_t)code.size());
  FreshArea();
  StringAppend(text.c_str());
  StringBuffer()->writePosition = 0;
  result = CardCode(StringBuffer()->base, 0);
  if (result != code) Mismatch("CardCode over its input", bytes, result, code);
  CheckWritePosition("CardCode over its input position", bytes, (int64_t)code.size());
  return 0;
}
