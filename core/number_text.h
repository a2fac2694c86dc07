// Conversions between signed 64-bit integers and text. The formatters write
// into the temporary string buffer by its calling convention; the parser
// only reads. All arithmetic wraps modulo 2^64.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Decimal, or hexadecimal after '$', or binary after '%'; leading blanks and
// tabs, one sign before the base prefix. Never fails; no digits give 0.
int64_t ParseInteger(const char* text);
// Upper-case hexadecimal of the two's complement pattern, no leading zeros.
// Returns the new writePosition.
int64_t FormatHex(int64_t value, int32_t position);
// The same digits into out (room for 16, no terminator), zero-padded on the
// left to at least minimumDigits (1..16); returns how many were written.
// FormatHex and the card code both write their digits here.
int HexDigitsWrite(int64_t value, int minimumDigits, char* out);
// Signed decimal. Returns the new writePosition.
int64_t FormatDecimal(int64_t value, int32_t position);
// The decimal digits of magnitude, written backwards so that the last one
// lies just before end (room for 20); returns the first. FormatDecimal and
// cardcode's message numbers both take their digits from here.
char* DecimalDigitsBefore(uint64_t magnitude, char* end);
// prefix and the signed decimal of value into name[size] (names of window
// classes and properties); cut to fit and always terminated. Made in a local
// array: the temporary string buffer is neither written nor grown.
void NameWithNumber(char* name, size_t size, const char* prefix, int64_t value);

// The same parse, fed in pieces, for texts that arrive as a stream (a line
// of any length read in blocks): the result equals ParseInteger of the whole
// text. Start, feed bytes until Feed returns non-zero (the number ended;
// later bytes cannot change it), then take the result.
//
// It also tells what a reader of a list must know to warn about a text the
// rule reads only in part: how many digits there were, how many bytes the
// number took (the rest of the text was not read), and whether the number
// wrapped: more than 64 bits of hexadecimal or binary digits, or a decimal
// beyond the signed 64-bit range.
struct IntegerParse {
  int32_t stage;     // blanks (a sign may follow), base prefix, digits, ended
  int32_t negative;
  int32_t base;      // 10, 16 or 2 once known
  int32_t wrapped;   // some digit carried the value past 64 bits
  uint64_t value;    // wraps modulo 2^64
  uint64_t limit;    // largest value that takes one more digit without fail
  uint64_t digits;   // digits read
  uint64_t used;     // bytes taken by the number once it has ended
};
void IntegerParseStart(IntegerParse* parse);
// Returns non-zero once the number has ended (a byte that is no digit of
// the base, or a terminator byte 0 inside the bytes fed).
int IntegerParseFeed(IntegerParse* parse, const char* bytes, size_t length);
int64_t IntegerParseResult(const IntegerParse* parse);
// Non-zero when the number does not fit: see IntegerParse. Decimal is a
// signed number, so its magnitude must stay within 2^63, which only a
// negative number reaches. (Inline, as the two below are needed only by
// list readers, not by the window.)
inline int IntegerParseWrapped(const IntegerParse* parse) {
  if (parse->wrapped) return 1;
  if (parse->base != 10) return 0;
  return parse->value > (uint64_t)INT64_MAX + (parse->negative ? 1u : 0u);
}
// Non-zero while nothing but blanks and tabs has been fed.
inline int IntegerParseBlank(const IntegerParse* parse) { return parse->stage == 0; }
