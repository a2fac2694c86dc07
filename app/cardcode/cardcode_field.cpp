// The chosen field. See cardcode_field.h.
#include "app/cardcode/cardcode_field.h"

#include <string.h>

FieldState FieldStart(void) {
  FieldState field = {};
  IntegerParseStart(&field.parse);
  return field;
}

static void Keep(char* kept, size_t size, uint64_t at, const char* bytes, size_t length) {
  if (at >= size) return;
  size_t room = (size_t)(size - at);
  memcpy(kept + at, bytes, length < room ? length : room);
}

// Bytes after the end of the number: only blanks and tabs may follow.
static void TrailingScan(CardcodeRun* run, const char* bytes, size_t length) {
  FieldState* field = &run->field;
  if (field->unreadLength < sizeof run->unread) {
    Keep(run->unread, sizeof run->unread, field->unreadLength, bytes, length);
    size_t room = sizeof run->unread - field->unreadLength;
    field->unreadLength += length < room ? length : room;
  }
  if (field->unreadText) return;
  for (size_t i = 0; i < length; i++) {
    if (bytes[i] != ' ' && bytes[i] != '\t') {
      field->unreadText = 1;
      return;
    }
  }
}

void FieldNumber(void* context, int32_t, const char* bytes, size_t length) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  FieldState* field = &run->field;
  Keep(run->head, sizeof run->head, field->length, bytes, length);
  if (field->numberEnded) {
    TrailingScan(run, bytes, length);
  } else if (IntegerParseFeed(&field->parse, bytes, length)) {
    field->numberEnded = 1;
    size_t taken = (size_t)(field->parse.used - field->length);
    TrailingScan(run, bytes + taken, length - taken);
  }
  field->length += length;
}

void FieldCode(void* context, int32_t, const char* bytes, size_t length) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  Keep(run->head, sizeof run->head, run->field.length, bytes, length);
  run->field.length += length;
}

void FieldCodeLine(void* context, int32_t, const char* bytes, size_t length) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  FieldState* field = &run->field;
  FieldCode(context, 0, bytes, length);
  // Follow the input's number up to each tab, and keep what comes after
  // the last one.
  for (;;) {
    const char* tab = static_cast<const char*>(memchr(bytes, '\t', length));
    size_t piece = tab ? (size_t)(tab - bytes) : length;
    Keep(run->tail, sizeof run->tail, field->tailLength, bytes, piece);
    field->tailLength += piece;
    IntegerParseFeed(&field->parse, bytes, piece);
    if (!tab) return;
    field->tabSeen = 1;
    field->tabParse = field->parse;
    field->tailLength = 0;
    IntegerParseFeed(&field->parse, tab, 1);
    bytes = tab + 1;
    length -= piece + 1;
  }
}

// A byte of UTF-8 text with ASCII capitals and the accented capitals of
// Latin-1 (C3 80 to C3 9E, not the sign C3 97) turned small; afterC3: the
// byte before was C3.
static unsigned Folded(unsigned char c, int afterC3) {
  if (c >= 'A' && c <= 'Z') return c + 32u;
  if (afterC3 && c >= 0x80 && c <= 0x9E && c != 0x97) return c + 32u;
  return c;
}

// A header field against --column NAME as its bytes arrive, so that a name
// of any length is compared in full: blanks around the field and case
// (ASCII and umlauts) do not count. While the field matches, its byte
// before is the name's, so the name tells whether that was C3.
void HeaderName(void* context, int32_t, const char* bytes, size_t length) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  FieldState* field = &run->field;
  const ColumnChoice* column = &run->plan->column;
  const unsigned char* name = reinterpret_cast<const unsigned char*>(column->name);
  Keep(run->nameText, sizeof run->nameText, field->nameLength, bytes, length);
  field->nameLength += length;
  for (size_t i = 0; i < length && !field->nameDiffers; i++) {
    unsigned char c = (unsigned char)bytes[i];
    int blank = c == ' ' || c == '\t';
    if (field->nameAt == 0 && blank) continue;
    uint64_t at = field->nameAt++;
    if (at >= column->nameLength) {
      field->nameDiffers = !blank;
    } else {
      int afterC3 = at > 0 && name[at - 1] == 0xC3;
      field->nameDiffers = Folded(c, afterC3) != Folded(name[at], afterC3);
    }
  }
}

void HeaderNameEnd(void* context, int32_t field) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  FieldState* state = &run->field;
  if (run->column == COLUMN_MISSING) {
    if (!state->nameDiffers && state->nameAt >= run->plan->column.nameLength) {
      run->column = field;
    } else if (field < HEADER_FIELDS_SHOWN) {
      // The first fields, for the message when none matches.
      memcpy(run->headerFields[field], run->nameText, sizeof run->nameText);
      run->headerFieldLengths[field] = state->nameLength;
    }
    run->headerFieldCount = field + 1;
  }
  state->nameLength = state->nameAt = 0;
  state->nameDiffers = 0;
}
