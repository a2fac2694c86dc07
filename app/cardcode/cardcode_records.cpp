// Record reading. See cardcode_records.h.
#include "app/cardcode/cardcode_records.h"

#include <string.h>

namespace {

// What a byte means to the reader; ordinary bytes are 0, so the scan over a
// field's text is one table look-up per byte.
enum { KIND_TEXT = 0, KIND_QUOTE = 1, KIND_SEPARATOR = 2, KIND_CR = 3, KIND_LF = 4 };

enum {
  STATE_FIELD_START = 0,  // a quote here opens a quoted field
  STATE_UNQUOTED = 1,     // text up to a separator or line end (also after a closing quote)
  STATE_QUOTED = 2,       // inside quotes
  STATE_QUOTE_SEEN = 3,   // inside quotes, after a quote: "" or the closing one
  STATE_QUOTED_CR = 4,    // inside quotes, after a CR: an LF next is the same line break
  STATE_CR_SEEN = 5,      // a CR ended the record; an LF next belongs to its line end
};

struct Feed {
  RecordReader* reader;
  const char* rawStart;  // first byte of the record not yet given to the sink
};

inline void RawFlush(Feed* feed, const char* upTo) {
  RecordReader* reader = feed->reader;
  if (upTo > feed->rawStart && reader->sink->raw) reader->sink->raw(reader->context, feed->rawStart, (size_t)(upTo - feed->rawStart));
  feed->rawStart = upTo;
}

inline void ContentGive(RecordReader* reader, const char* bytes, size_t length) {
  if (length && (reader->wantedField == reader->field || reader->wantedField == RECORD_EVERY_FIELD)) {
    reader->sink->content(reader->context, reader->field, bytes, length);
  }
}

inline void FieldEnd(RecordReader* reader) {
  if (reader->sink->fieldEnd) reader->sink->fieldEnd(reader->context, reader->field);
}

int RecordEnd(RecordReader* reader, const char* lineEnd, size_t length) {
  FieldEnd(reader);
  int stop = reader->sink->end(reader->context, lineEnd, length);
  reader->field = 0;
  reader->recordOpen = 0;
  reader->quoteOpen = 0;
  reader->state = STATE_FIELD_START;
  reader->recordLine = reader->line;
  return stop ? RECORDS_STOPPED : 0;
}

}  // namespace

void RecordsStart(RecordReader* reader, int32_t separator, const RecordSink* sink, void* context) {
  memset(reader, 0, sizeof *reader);
  reader->sink = sink;
  reader->context = context;
  reader->separator = separator;
  reader->line = 1;
  reader->recordLine = 1;
  reader->kinds[(unsigned char)'\r'] = KIND_CR;
  reader->kinds[(unsigned char)'\n'] = KIND_LF;
  if (separator != RECORD_LINES) {
    reader->kinds[(unsigned char)'"'] = KIND_QUOTE;
    reader->kinds[(unsigned char)separator] = KIND_SEPARATOR;
  }
}

int RecordsFeed(RecordReader* reader, const char* bytes, size_t length) {
  Feed feed = {reader, bytes};
  const char* at = bytes;
  const char* end = bytes + length;
  const unsigned char* kinds = reader->kinds;
  while (at != end) {
    switch (reader->state) {
      case STATE_CR_SEEN: {
        reader->state = STATE_FIELD_START;
        if (*at == '\n') {
          feed.rawStart = ++at;
          if (RecordEnd(reader, "\r\n", 2)) return RECORDS_STOPPED;
        } else if (RecordEnd(reader, "\r", 1)) {
          return RECORDS_STOPPED;
        }
        break;
      }
      case STATE_FIELD_START:
        if (kinds[(unsigned char)*at] == KIND_QUOTE) {
          reader->recordOpen = 1;
          reader->state = STATE_QUOTED;
          at++;
          break;
        }
        reader->state = STATE_UNQUOTED;
        // fall through
      case STATE_UNQUOTED: {
        const char* start = at;
        // A quote inside unquoted text is text.
        while (at != end && kinds[(unsigned char)*at] <= KIND_QUOTE) at++;
        if (at != start) {
          reader->recordOpen = 1;
          ContentGive(reader, start, (size_t)(at - start));
        }
        if (at == end) break;
        unsigned kind = kinds[(unsigned char)*at];
        if (kind == KIND_SEPARATOR) {
          reader->recordOpen = 1;
          FieldEnd(reader);
          reader->field++;
          reader->state = STATE_FIELD_START;
          at++;
          break;
        }
        RawFlush(&feed, at);
        reader->line++;
        at++;
        feed.rawStart = at;
        if (kind == KIND_LF) {
          if (RecordEnd(reader, "\n", 1)) return RECORDS_STOPPED;
        } else {
          // A CR: the next byte tells whether the line end is "\r\n".
          reader->state = STATE_CR_SEEN;
        }
        break;
      }
      case STATE_QUOTED: {
        const char* start = at;
        while (at != end && kinds[(unsigned char)*at] != KIND_QUOTE && kinds[(unsigned char)*at] != KIND_CR &&
               kinds[(unsigned char)*at] != KIND_LF) {
          at++;
        }
        ContentGive(reader, start, (size_t)(at - start));
        if (at == end) break;
        unsigned kind = kinds[(unsigned char)*at];
        if (kind == KIND_QUOTE) {
          reader->state = STATE_QUOTE_SEEN;
          at++;
          break;
        }
        // A line break inside quotes is content; a CRLF counts as one line.
        reader->line++;
        ContentGive(reader, at, 1);
        if (kind == KIND_CR) reader->state = STATE_QUOTED_CR;
        at++;
        break;
      }
      case STATE_QUOTED_CR:
        reader->state = STATE_QUOTED;
        if (*at == '\n') {
          ContentGive(reader, at, 1);
          at++;
        }
        break;
      case STATE_QUOTE_SEEN:
        if (*at == '"') {
          ContentGive(reader, at, 1);
          reader->state = STATE_QUOTED;
          at++;
        } else {
          reader->state = STATE_UNQUOTED;
        }
        break;
    }
  }
  // The record goes on in the next block; its bytes so far go out now.
  if (reader->state != STATE_CR_SEEN) RawFlush(&feed, end);
  return 0;
}

int RecordsFinish(RecordReader* reader) {
  if (reader->state == STATE_CR_SEEN) return RecordEnd(reader, "\r", 1);
  if (reader->state == STATE_QUOTED || reader->state == STATE_QUOTED_CR) reader->quoteOpen = 1;
  if (!reader->recordOpen) return 0;
  return RecordEnd(reader, "", 0);
}

int FirstRecordScan(SeparatorScan* scan, const char* bytes, size_t length) {
  static const char separators[] = {';', '\t', ','};
  for (size_t i = 0; i < length && !scan->complete; i++) {
    char c = bytes[i];
    if (c == '"') scan->quoted = !scan->quoted;
    if (scan->quoted || c == '"') continue;
    scan->complete = c == '\n' || c == '\r';
    for (int k = 0; k < 3; k++) scan->counts[k] += c == separators[k];
  }
  int best = 0;
  for (int k = 1; k < 3; k++) {
    if (scan->counts[k] > scan->counts[best]) best = k;
  }
  scan->separator = separators[best];
  return scan->complete;
}
