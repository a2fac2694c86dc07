// The chosen field of a record: its column by number, or by name from the
// header; its first bytes, its length and the number it spells, parsed as
// its bytes arrive, so that a field of any length takes bounded memory.
// The content functions of the record sinks; their context is the run.

#pragma once

#include "app/cardcode/cardcode_state.h"

FieldState FieldStart(void);
// A number to convert: its bytes, and the first bytes after it.
void FieldNumber(void* context, int32_t field, const char* bytes, size_t length);
// --verify --csv: the field is the code.
void FieldCode(void* context, int32_t field, const char* bytes, size_t length);
// --verify of a line: the code, or "input<TAB>code".
void FieldCodeLine(void* context, int32_t field, const char* bytes, size_t length);
// A header field, and its end: the first one that --column NAME names
// (compared in full, whatever its length) becomes the input's column; the
// first few others are kept for the message when none does.
void HeaderName(void* context, int32_t field, const char* bytes, size_t length);
void HeaderNameEnd(void* context, int32_t field);
