// Number text conversion. See number_text.h.
//
// The number format has one definition, IntegerParseStep: ParseInteger runs
// it over a terminated text, IntegerParseFeed over blocks of a stream, so
// the two cannot disagree. The step is inline and the per-parse state lives
// in registers, which keeps ParseInteger a single tight pass.
#include "core/number_text.h"

#include "core/string_buffer.h"

namespace {

enum {
  PARSE_BLANKS = 0,  // skipping blanks and tabs; a sign may come next
  PARSE_PREFIX = 1,  // after the sign: '$', '%' or the first decimal digit
  PARSE_DIGITS = 2,  // reading digits of the chosen base
  PARSE_ENDED = 3,   // a byte that is no digit ended the number
};

// Worth of every byte as a digit: 0-9 for '0'-'9', 10-15 for 'A'-'F' and
// 'a'-'f', 255 otherwise. A byte is a digit of base B when its worth is
// below B, so one table serves bases 2, 10 and 16.
struct DigitTable {
  unsigned char worth[256];
};

constexpr DigitTable MakeDigitTable() {
  DigitTable table{};
  for (int i = 0; i < 256; i++) table.worth[i] = 255;
  for (int i = 0; i < 10; i++) table.worth['0' + i] = (unsigned char)i;
  for (int i = 0; i < 6; i++) {
    table.worth['A' + i] = (unsigned char)(10 + i);
    table.worth['a' + i] = (unsigned char)(10 + i);
  }
  return table;
}

constexpr DigitTable digitTable = MakeDigitTable();

// Takes one byte; returns non-zero once the number has ended.
inline int IntegerParseStep(IntegerParse* parse, unsigned char byte) {
  switch (parse->stage) {
    case PARSE_BLANKS:
      if (byte == ' ' || byte == '\t') return 0;
      parse->stage = PARSE_PREFIX;
      if (byte == '-') {
        parse->negative = 1;
        return 0;
      }
      if (byte == '+') return 0;
      // Neither blank nor sign: the same byte is the base prefix or a digit.
      [[fallthrough]];
    case PARSE_PREFIX:
      parse->stage = PARSE_DIGITS;
      if (byte == '$') {
        parse->base = 16;
        return 0;
      }
      if (byte == '%') {
        parse->base = 2;
        return 0;
      }
      parse->base = 10;
      [[fallthrough]];
    case PARSE_DIGITS: {
      unsigned worth = digitTable.worth[byte];
      if (worth >= (unsigned)parse->base) {
        parse->stage = PARSE_ENDED;
        return 1;
      }
      parse->value = parse->value * (unsigned)parse->base + worth;
      return 0;
    }
    default:
      return 1;
  }
}

}  // namespace

void IntegerParseStart(IntegerParse* parse) {
  parse->stage = PARSE_BLANKS;
  parse->negative = 0;
  parse->base = 10;
  parse->value = 0;
}

int IntegerParseFeed(IntegerParse* parse, const char* bytes, size_t length) {
  if (parse->stage == PARSE_ENDED) return 1;
  const unsigned char* at = reinterpret_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i < length; i++) {
    if (IntegerParseStep(parse, at[i])) return 1;
  }
  return 0;
}

int64_t IntegerParseResult(const IntegerParse* parse) {
  uint64_t value = parse->negative ? 0 - parse->value : parse->value;
  return (int64_t)value;
}

int64_t ParseInteger(const char* text) {
  if (!text) return 0;
  IntegerParse parse;
  IntegerParseStart(&parse);
  // The terminator is no digit of any base, so the step ends there at the
  // latest.
  const unsigned char* at = reinterpret_cast<const unsigned char*>(text);
  while (!IntegerParseStep(&parse, *at)) at++;
  return IntegerParseResult(&parse);
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
