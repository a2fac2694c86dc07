// The card code: "1D ", the card number in upper-case hexadecimal padded to
// 8 digits, a blank, and 10 minus the number's remainder mod 10.
// Both operations follow the temporary string buffer's calling convention.
#pragma once

#include <stdint.h>

// The code of the field text `text` (which may lie in the buffer at or after
// position), written from position; returns base + position.
char* CardCode(const char* text, int32_t position);
// n in upper-case hexadecimal, zero-padded on the left to at least 8 digits.
char* PaddedHex8(int64_t n, int32_t position);
