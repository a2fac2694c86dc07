// Splitting an input into records: lines, or delimited records with quoted
// fields (double quotes; "" inside quotes is one quote; separators and line
// breaks inside quotes belong to the field).
//
// A line ends at "\n", "\r\n" or a lone "\r"; a "\r\n" counts once even when
// a block ends between its two bytes. A final record without a line end
// counts; the end of the input right after a line end adds none. The reader
// is fed blocks as they arrive and keeps no record, so a record of any
// length takes no memory: the sink gets the record's bytes as read, the
// chosen field's content, and the record's end with its line end.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { RECORDS_STOPPED = -1, RECORD_EVERY_FIELD = -1, RECORD_LINES = -1 };

struct RecordSink {
  // The record's bytes as read, in pieces, without its line end; may be null.
  void (*raw)(void* context, const char* bytes, size_t length);
  // Content of field `field` (quotes taken out), in pieces; only for the
  // reader's wantedField, or every field. An empty field gets no call.
  void (*content)(void* context, int32_t field, const char* bytes, size_t length);
  // Field `field` of the record is complete; may be null.
  void (*fieldEnd)(void* context, int32_t field);
  // The record is complete; lineEnd is "\n", "\r\n", "\r" or "" (the end of
  // the input). Non-zero stops the reading.
  int (*end)(void* context, const char* lineEnd, size_t length);
};

struct RecordReader {
  const RecordSink* sink;
  void* context;
  int32_t separator;     // the field separator byte, or RECORD_LINES: one field per line, quotes are text
  int32_t wantedField;   // field whose content the sink gets, or RECORD_EVERY_FIELD
  int32_t state;
  int32_t field;         // index of the current field
  int32_t recordOpen;    // bytes of the current record have been seen
  int32_t quoteOpen;     // at the record's end: a quote was still open (the input ended inside it)
  uint64_t line;         // physical line of the next byte, from 1
  uint64_t recordLine;   // physical line where the current record started
  unsigned char kinds[256];
};

// separator: ';', ',', '\t', or RECORD_LINES.
void RecordsStart(RecordReader* reader, int32_t separator, const RecordSink* sink, void* context);
// 0, or RECORDS_STOPPED when the sink asked to stop.
int RecordsFeed(RecordReader* reader, const char* bytes, size_t length);
// The input has ended: completes the open record. 0 or RECORDS_STOPPED.
int RecordsFinish(RecordReader* reader);

// The separator of delimited text, from its first record: the most frequent
// of ';', tab and ',' outside quotes, ties and none at all going in that
// order. Start zeroed; feed the text as it arrives.
struct SeparatorScan {
  uint64_t counts[3];  // of ';', tab and ','
  int32_t quoted;      // inside quotes
  int32_t complete;    // the first record has ended
  int32_t separator;   // the choice so far
};
// Non-zero once the first record is complete.
int FirstRecordScan(SeparatorScan* scan, const char* bytes, size_t length);
