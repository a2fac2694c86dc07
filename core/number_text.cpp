// Number text conversion. See number_text.h.
//
// The number format has one definition, the two steps IntegerParsePrefix
// and IntegerParseDigit, run by IntegerParseFeed over blocks of a stream;
// ParseInteger feeds it the whole text with its terminator, so the two
// cannot disagree and the steps exist once in the program.
#include "core/number_text.h"

#include <string.h>

#include "core/string_buffer.h"

namespace {

enum {
  PARSE_BLANKS = 0,  // skipping blanks and tabs; a sign may come next (IntegerParseBlank knows this value)
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

// The two steps below are the whole number format; both parsers run
// them. IntegerParsePrefix takes the bytes before the first digit (blanks,
// the sign, the base prefix) and returns non-zero for a byte it did not
// consume, which is then the first candidate digit. IntegerParseDigit takes
// one candidate digit and returns non-zero when it is none: the number has
// ended. Splitting them lets the digit loop run without a stage switch.
inline int IntegerParsePrefix(IntegerParse* parse, unsigned char byte) {
  if (parse->stage == PARSE_BLANKS) {
    if (byte == ' ' || byte == '\t') return 0;
    parse->stage = PARSE_PREFIX;
    if (byte == '-') {
      parse->negative = 1;
      return 0;
    }
    if (byte == '+') return 0;
  }
  // Neither blank nor sign: this byte is the base prefix or a digit.
  parse->stage = PARSE_DIGITS;
  if (byte == '$') {
    parse->base = 16;
    parse->limit = UINT64_MAX >> 4;
    return 0;
  }
  if (byte == '%') {
    parse->base = 2;
    parse->limit = UINT64_MAX >> 1;
    return 0;
  }
  parse->base = 10;
  parse->limit = (UINT64_MAX - 9) / 10;
  return 1;
}

// Called only for a value above the limit, so the common digit pays one
// compare. Decimal has a last value that still takes the digits 0 to 5.
inline void IntegerParseCarry(IntegerParse* parse, unsigned worth) {
  if (parse->base != 10 || parse->value > UINT64_MAX / 10 || worth > UINT64_MAX % 10) parse->wrapped = 1;
}

inline int IntegerParseDigit(IntegerParse* parse, unsigned char byte) {
  unsigned worth = digitTable.worth[byte];
  if (worth >= (unsigned)parse->base) {
    parse->stage = PARSE_ENDED;
    return 1;
  }
  if (parse->value > parse->limit) IntegerParseCarry(parse, worth);
  parse->value = parse->value * (unsigned)parse->base + worth;
  parse->digits++;
  return 0;
}

}  // namespace

void IntegerParseStart(IntegerParse* parse) {
  parse->stage = PARSE_BLANKS;
  parse->negative = 0;
  parse->base = 10;
  parse->wrapped = 0;
  parse->value = 0;
  parse->limit = 0;
  parse->digits = 0;
  parse->used = 0;
}

int IntegerParseFeed(IntegerParse* parse, const char* bytes, size_t length) {
  if (parse->stage == PARSE_ENDED) return 1;
  const unsigned char* start = reinterpret_cast<const unsigned char*>(bytes);
  const unsigned char* at = start;
  const unsigned char* end = at + length;
  while (parse->stage != PARSE_DIGITS) {
    if (at == end) {
      parse->used += length;
      return 0;
    }
    if (!IntegerParsePrefix(parse, *at)) at++;
  }
  for (; at != end; at++) {
    if (IntegerParseDigit(parse, *at)) {
      parse->used += (uint64_t)(at - start);
      return 1;
    }
  }
  parse->used += length;
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
  // The terminator is neither blank, sign nor prefix, and no digit of any
  // base, so the number ends there at the latest.
  IntegerParseFeed(&parse, text, strlen(text) + 1);
  return IntegerParseResult(&parse);
}

int HexDigitsWrite(int64_t value, int minimumDigits, char* out) {
  static const char digits[] = "0123456789ABCDEF";
  uint64_t pattern = (uint64_t)value;
  // Count the significant nibbles by halving the range, then write the
  // digits from the least significant end.
  int written = 1;
  uint64_t rest = pattern;
  if (rest >> 32) { written += 8; rest >>= 32; }
  if (rest >> 16) { written += 4; rest >>= 16; }
  if (rest >> 8) { written += 2; rest >>= 8; }
  if (rest >> 4) written += 1;
  if (written < minimumDigits) written = minimumDigits;
  char* at = out + written;
  do {
    *--at = digits[pattern & 15];
    pattern >>= 4;
  } while (at != out);
  return written;
}

int64_t FormatHex(int64_t value, int32_t position) {
  char* destination = StringReserve(16, position);
  int written = HexDigitsWrite(value, 1, destination);
  destination[written] = 0;
  return StringUnreserve(16 - written);
}

// Digits come least significant first; filling from the end leaves them in
// reading order.
char* DecimalDigitsBefore(uint64_t magnitude, char* end) {
  char* first = end;
  do {
    *--first = (char)('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  return first;
}

// The signed decimal of value (at most 20 characters), ending just before
// end; returns its first character. FormatDecimal and the names share it.
static char* SignedDecimalBefore(int64_t value, char* end) {
  uint64_t magnitude = (uint64_t)value;
  if (value < 0) magnitude = 0 - magnitude;
  char* first = DecimalDigitsBefore(magnitude, end);
  if (value < 0) *--first = '-';
  return first;
}

int64_t FormatDecimal(int64_t value, int32_t position) {
  char* destination = StringReserve(64, position);
  char scratch[20];
  char* end = scratch + sizeof scratch;
  char* first = SignedDecimalBefore(value, end);
  int written = (int)(end - first);
  memcpy(destination, first, (size_t)written);
  destination[written] = 0;
  return StringUnreserve(64 - written);
}

void NameWithNumber(char* name, size_t size, const char* prefix, int64_t value) {
  if (size == 0) return;
  // A local array, not the buffer: names are made inside WM_NCDESTROY and
  // while a caller's text waits in the area, so naming neither writes nor
  // grows it (and so can never stop the process).
  char digits[20];
  char* end = digits + sizeof digits;
  size_t at = 0;
  for (const char* from = prefix; *from && at + 1 < size; from++) name[at++] = *from;
  for (const char* from = SignedDecimalBefore(value, end); from != end && at + 1 < size; from++) name[at++] = *from;
  name[at] = 0;
}
