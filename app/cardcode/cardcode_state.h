// The state of one run of cardcode, in one record that starts zeroed and is
// reached through CardcodeState(): the plan it follows, its results so far,
// the output buffer, the input being read and the record being read.
#pragma once

#include "app/cardcode/cardcode_decode.h"
#include "app/cardcode/cardcode_options.h"
#include "app/cardcode/cardcode_records.h"
#include "app/cardcode/cardcode_verify.h"
#include "core/number_text.h"

enum {
  INPUT_BLOCK = 1 << 16,      // bytes read at a time
  OUTPUT_CAPACITY = 1 << 16,  // bytes of output collected for one write
  QUOTE_LIMIT = 40,           // bytes of a text quoted in a warning
  HEADER_FIELDS_SHOWN = 3,    // header fields named when --column NAME finds none
  SCAN_LIMIT = 1 << 20,       // bytes of an input's first record that choose its separator
  COLUMN_MISSING = -2,        // --column NAME found no field of that name (yet)
};

struct OutputState {
  int32_t descriptor;     // where the output goes
  int32_t flushEachLine;  // non-zero: write at every line end
  int32_t error;          // errno of the first failed write, 0 while none failed
  int32_t lineStreamed;   // part of the unfinished line has been written
  size_t used;            // bytes held in bytes[]
  size_t lineStart;       // where the unfinished line begins in bytes[]
  char bytes[OUTPUT_CAPACITY];
};

struct InputState {
  int32_t descriptor;
  int32_t kind;          // TEXT_PLAIN, TEXT_UTF8_MARK, TEXT_UTF16LE or TEXT_UTF16BE
  int32_t firstPending;  // the first bytes have not been handed on yet
  int32_t ended;         // the end of the input has been read
  int32_t finished;      // ... and handed on, with what the decoder held
  int32_t error;         // errno of a failed read, else 0
  size_t have;           // bytes in block while the first ones are read
  size_t markLength;     // bytes of the encoding mark at the start
  size_t heldLength;     // bytes of text in held
  SeparatorScan scan;    // --csv without --separator: the first record so far
  Utf16Decoder decoder;
  PlainDecoder plain;    // TEXT_PLAIN: UTF-8 or Windows-1252
  unsigned char block[INPUT_BLOCK];
  char decoded[PLAIN_DECODED_MAX(INPUT_BLOCK)];  // also room for UTF16_DECODED_MAX
  char held[SCAN_LIMIT + PLAIN_DECODED_MAX(INPUT_BLOCK)];  // the text of the first bytes
};

// What the bytes of the current record so far say about its chosen field;
// reset for each record by assignment from FieldStart().
struct FieldState {
  IntegerParse parse;     // the number of the chosen field
  int32_t numberEnded;    // later bytes cannot change the number
  int32_t unreadText;     // a byte other than blank or tab followed the number
  int32_t tabSeen;        // --verify of a line "input<TAB>code"
  IntegerParse tabParse;  // the parse as it stood at the last tab
  uint64_t length;        // bytes of the chosen field so far
  uint64_t tailLength;    // bytes after the last tab
  size_t unreadLength;    // bytes kept in unread
  uint64_t nameLength;    // --column NAME: bytes of the header field being read
  uint64_t nameAt;        // its bytes after the blanks in front
  int32_t nameDiffers;    // those bytes are not the name and blanks
};

struct CardcodeRun {
  const CardcodeOptions* plan;
  // Chosen once from the plan (cardcode_output.cpp).
  const RecordSink* dataSink;
  const RecordSink* argumentSink;
  void (*result)(CardcodeRun* run, int32_t separator);  // the code or the verdict
  // Results so far.
  uint64_t warnings;  // only the first few are shown
  int32_t notValid;   // a code did not verify
  int32_t refused;    // an input could not be converted (its --column NAME is not in its header)
  // The input being read.
  const CardcodeInput* input;
  int32_t separator;  // --csv: the input's separator
  int32_t column;     // the number's field in this input, or COLUMN_MISSING
  RecordReader reader;
  InputState in;
  // The record being read; the texts are valid up to the lengths in field.
  FieldState field;
  char head[CODE_TEXT_LIMIT + 1];  // the field's first bytes
  char unread[QUOTE_LIMIT + 1];    // the first bytes after the number
  char tail[CODE_TEXT_LIMIT + 1];  // --verify: the bytes after the last tab
  char nameText[QUOTE_LIMIT + 1];  // --column NAME: the header field's first bytes
  // --column NAME not found yet: the header's first fields, for the message.
  int32_t headerFieldCount;
  uint64_t headerFieldLengths[HEADER_FIELDS_SHOWN];
  char headerFields[HEADER_FIELDS_SHOWN][QUOTE_LIMIT + 1];
  OutputState out;
};

inline CardcodeRun* CardcodeState(void) {
  static CardcodeRun run;
  return &run;
}
