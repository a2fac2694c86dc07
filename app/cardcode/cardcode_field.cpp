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

// Byte i of a UTF-8 text with ASCII capitals and the accented capitals of
// Latin-1 (C3 80 to C3 9E, not the sign C3 97) turned small.
static unsigned Folded(const char* text, size_t i) {
  unsigned char c = (unsigned char)text[i];
  if (c >= 'A' && c <= 'Z') return c + 32u;
  if (i > 0 && (unsigned char)text[i - 1] == 0xC3 && c >= 0x80 && c <= 0x9E && c != 0x97) return c + 32u;
  return c;
}

// Header field text against --column NAME: blanks around either and case
// (ASCII and umlauts) do not count.
static int NameMatches(const char* field, size_t length, const char* name) {
  size_t nameLength = strlen(name);
  while (length && (field[0] == ' ' || field[0] == '\t')) field++, length--;
  while (length && (field[length - 1] == ' ' || field[length - 1] == '\t')) length--;
  while (nameLength && (name[0] == ' ' || name[0] == '\t')) name++, nameLength--;
  while (nameLength && (name[nameLength - 1] == ' ' || name[nameLength - 1] == '\t')) nameLength--;
  if (length != nameLength) return 0;
  for (size_t i = 0; i < length; i++) {
    if (Folded(field, i) != Folded(name, i)) return 0;
  }
  return 1;
}

void HeaderName(void* context, int32_t, const char* bytes, size_t length) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  size_t* kept = &run->field.nameLength;
  Keep(run->nameText, sizeof run->nameText, *kept, bytes, length);
  // One byte past the room marks a name too long to match.
  size_t room = sizeof run->nameText - (*kept < sizeof run->nameText ? *kept : sizeof run->nameText);
  *kept += length < room ? length : room + 1;
}

void HeaderNameEnd(void* context, int32_t field) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  if (run->column == COLUMN_MISSING && run->field.nameLength <= sizeof run->nameText &&
      NameMatches(run->nameText, run->field.nameLength, run->plan->column.name)) {
    run->column = field;
  }
  run->field.nameLength = 0;
}
