// Conversions between signed 64-bit integers and text. The formatters write
// into the temporary string buffer by its calling convention; the parser
// only reads. All arithmetic wraps modulo 2^64.
#pragma once

#include <stdint.h>

// Decimal, or hexadecimal after '$', or binary after '%'; leading blanks and
// tabs, one sign before the base prefix. Never fails; no digits give 0.
int64_t ParseInteger(const char* text);
// Upper-case hexadecimal of the two's complement pattern, no leading zeros.
// Returns the new writePosition.
int64_t FormatHex(int64_t value, int32_t position);
// Signed decimal. Returns the new writePosition.
int64_t FormatDecimal(int64_t value, int32_t position);
