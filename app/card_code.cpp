// The card code. See card_code.h.
#include "app/card_code.h"

#include "core/number_text.h"
#include "core/string_buffer.h"

char* CardCode(const char* text, int32_t position) {
  TempStringBuffer* buffer = StringBuffer();
  buffer->writePosition = position;
  // The text usually lies where the result goes; read only the copy.
  char* copy = nullptr;
  StringDuplicate(&copy, text);
  int64_t number = ParseInteger(copy);
  int64_t start = buffer->writePosition;
  StringAppend("1D ");
  PaddedHex8(number, (int32_t)buffer->writePosition);
  StringAppend(" ");
  // The remainder truncates toward zero, so negative numbers give 10..19.
  FormatDecimal(10 - number % 10, (int32_t)buffer->writePosition);
  StringDispose(copy);
  return buffer->base + start;
}

char* PaddedHex8(int64_t n, int32_t position) {
  TempStringBuffer* buffer = StringBuffer();
  buffer->writePosition = position;
  // Measure the digits first, then put the zeros in front of them.
  FormatHex(n, position);
  int64_t length = StringLength(buffer->base + position);
  buffer->writePosition = position;
  LeftChars("0000000", (int32_t)(8 - length), position);
  FormatHex(n, (int32_t)buffer->writePosition);
  return buffer->base + position;
}
