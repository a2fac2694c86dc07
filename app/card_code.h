// The card code: "1D ", the card number in upper-case hexadecimal padded to
// 8 digits, a blank, and 10 minus the number's remainder mod 10.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The longest code: "1D ", 16 hex digits, a blank, two check digits.
enum { CARD_CODE_MAX = 22 };

// The code of the number n into out (room for CARD_CODE_MAX bytes, no
// terminator); returns its length. Every code, the window's and cardcode's,
// is made here.
size_t CardCodeOfNumber(int64_t n, char* out);
// The code of the field text `text` (which may lie in the buffer at or after
// position), written from position by the temporary string buffer's calling
// convention; returns base + position.
char* CardCode(const char* text, int32_t position);
// n in upper-case hexadecimal, zero-padded on the left to at least 8
// digits, written from position by the same convention; returns
// base + position.
char* PaddedHex8(int64_t n, int32_t position);
