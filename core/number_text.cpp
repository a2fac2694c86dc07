// Number text conversion. See number_text.h.
#include "core/number_text.h"

#include "core/string_buffer.h"

int64_t ParseInteger(const char* text) {
  if (!text) return 0;
  const unsigned char* at = reinterpret_cast<const unsigned char*>(text);
  while (*at == ' ' || *at == '\t') at++;
  bool negative = false;
  if (*at == '-') {
    negative = true;
    at++;
  } else if (*at == '+') {
    at++;
  }
  uint64_t value = 0;
  if (*at == '$') {
    for (at++;; at++) {
      unsigned digit;
      if (*at >= '0' && *at <= '9') digit = *at - '0';
      else if (*at >= 'A' && *at <= 'F') digit = *at - 'A' + 10;
      else if (*at >= 'a' && *at <= 'f') digit = *at - 'a' + 10;
      else break;
      value = value * 16 + digit;
    }
  } else if (*at == '%') {
    for (at++; *at == '0' || *at == '1'; at++) value = value * 2 + (*at - '0');
  } else {
    for (; *at >= '0' && *at <= '9'; at++) value = value * 10 + (*at - '0');
  }
  if (negative) value = 0 - value;
  return (int64_t)value;
}

int64_t FormatHex(int64_t value, int32_t position) {
  static const char digits[] = "0123456789ABCDEF";
  char* destination = StringReserve(16, position);
  uint64_t pattern = (uint64_t)value;
  int written = 0;
  for (int shift = 60; shift >= 0; shift -= 4) {
    unsigned nibble = (unsigned)(pattern >> shift) & 15;
    if (nibble == 0 && written == 0 && shift != 0) continue;
    destination[written++] = digits[nibble];
  }
  destination[written] = 0;
  return StringUnreserve(16 - written);
}

int64_t FormatDecimal(int64_t value, int32_t position) {
  char* destination = StringReserve(64, position);
  int written = 0;
  uint64_t magnitude = (uint64_t)value;
  if (value < 0) {
    destination[written++] = '-';
    magnitude = 0 - magnitude;
  }
  char scratch[20];
  int count = 0;
  do {
    scratch[count++] = (char)('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) destination[written++] = scratch[--count];
  destination[written] = 0;
  return StringUnreserve(64 - written);
}
