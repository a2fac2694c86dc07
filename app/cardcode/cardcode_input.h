// An input as UTF-8 text, block by block: its encoding mark dropped, UTF-16
// and Windows-1252 decoded (cardcode_decode.h). The first bytes are read until the mark, or
// its absence, is certain, and for separator detection until the first
// record is complete, SCAN_LIMIT bytes of text are held or the input has
// ended; the end of the input, however it is met, is handed on last.
#pragma once

#include "app/cardcode/cardcode_state.h"

// Reads the first bytes from descriptor; with wholeFirstRecord in->scan
// holds the separator of the first record. 0, or the errno of a failed read.
int InputStart(InputState* in, int descriptor, int wholeFirstRecord);
// The text of the first bytes, then of each later block: non-zero with
// *text and *length set, 0 at the end or after a failed read (in->error).
int InputNext(InputState* in, const char** text, size_t* length);
