// Checking a code of the window's format ("1D ", upper-case hexadecimal, a
// blank, the decimal check value).
//
// A text passes only when it is, byte for byte, the code that CardCode makes
// for the number it spells, so every code cardcode or the window prints
// passes and nothing else does. The reasons for a failure are German, in
// UTF-8, one line each.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Longer texts cannot be codes ("1D ", 16 digits, " ", 2 digits is 22
// bytes); a line reader keeps at most this many bytes of a line.
enum { CODE_TEXT_LIMIT = 64 };

// Checks the length bytes at text (a line may hold any byte, zeros too);
// length may exceed CODE_TEXT_LIMIT, then only the length counts. Writes
// the verdict from position by the string buffer's calling convention:
// "<card number> OK", or the reason. Returns 1 for a valid code (its card
// number in *number), else 0.
int CodeVerify(const char* text, size_t length, int32_t position, int64_t* number);

struct CardcodeRun;
// Writes the verdict on the current record's field, or for a line
// "input<TAB>code" on the code after the tab, which must also be the
// input's; separator: quote the verdict as a field of delimited output
// (0: as it is).
void VerdictResult(CardcodeRun* run, int32_t separator);
