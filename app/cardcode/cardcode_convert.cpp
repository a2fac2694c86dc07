// Results of cardcode. See cardcode_convert.h.
#include "app/cardcode/cardcode_convert.h"

#include <errno.h>
#include <stdint.h>
#include <string.h>

#include "app/card_code.h"
#include "app/cardcode/cardcode_decode.h"
#include "app/cardcode/cardcode_output.h"
#include "app/cardcode/cardcode_platform.h"
#include "app/cardcode/cardcode_records.h"
#include "app/cardcode/cardcode_verify.h"
#include "core/number_text.h"
#include "core/string_buffer.h"

enum {
  WARNINGS_SHOWN = 10,
  QUOTE_LIMIT = 40,      // bytes of a text quoted in a warning
  NAME_LIMIT = 256,      // bytes of a header field kept for matching a column name
  COLUMN_MISSING = -2,   // --column NAME found no field of that name
};

// The state of the record being read.
struct RecordResult {
  ResultMode* mode;
  RecordReader* reader;        // null for an argument
  const char* name;            // the input, as warnings name it
  int32_t separator;           // --csv: the input's separator
  int32_t isHeader;            // the current record is the input's header
  int32_t column;              // the number's field in this input
  IntegerParse parse;          // the number of the chosen field
  int32_t numberEnded;         // later bytes cannot change the number
  int32_t unreadText;          // a byte other than blank or tab followed the number
  uint64_t length;             // bytes of the chosen field so far
  size_t unreadLength;         // bytes kept in unread
  char head[CODE_TEXT_LIMIT + 1];       // the field's first bytes
  char unread[QUOTE_LIMIT + 1];         // the first bytes after the number
  // --verify of a line "input<TAB>code": the input's number (the parse as
  // it stood at the last tab) and the bytes after that tab.
  int32_t tabSeen;
  IntegerParse tabParse;
  uint64_t tailLength;
  char tail[CODE_TEXT_LIMIT + 1];
  // --column NAME: the header field being read.
  size_t nameLength;
  char nameText[NAME_LIMIT];
};

static void RecordReset(RecordResult* record) {
  IntegerParseStart(&record->parse);
  record->numberEnded = 0;
  record->unreadText = 0;
  record->length = 0;
  record->unreadLength = 0;
  record->tabSeen = 0;
  record->tailLength = 0;
  record->nameLength = 0;
}

static void Keep(char* kept, size_t size, uint64_t at, const char* bytes, size_t length) {
  if (at >= size) return;
  size_t room = (size_t)(size - at);
  memcpy(kept + at, bytes, length < room ? length : room);
}

// ---- warnings ---------------------------------------------------------

// text cut to QUOTE_LIMIT bytes (not inside a UTF-8 sequence), in quotes,
// control characters shown as '?' (zero bytes too, which would end it).
static void Quoted(char* out, const char* text, uint64_t length) {
  size_t kept = length > (uint64_t)QUOTE_LIMIT ? (size_t)QUOTE_LIMIT : (size_t)length;
  if (kept < length) {
    while (kept > 0 && ((unsigned char)text[kept] & 0xC0) == 0x80) kept--;
  }
  size_t at = 0;
  out[at++] = '"';
  for (size_t i = 0; i < kept; i++) {
    unsigned char c = (unsigned char)text[i];
    out[at++] = c < 0x20 || c == 0x7F ? '?' : (char)c;
  }
  if (kept < length) {
    memcpy(out + at, "...", 3);
    at += 3;
  }
  out[at++] = '"';
  out[at] = 0;
}

// The decimal text of n, in out (room for 24 bytes).
static const char* Decimal(uint64_t n, char* out) {
  out[23] = 0;
  return DecimalDigitsBefore(n, out + 23);
}

static void Warn(RecordResult* record, uint64_t line, const char* const* what) {
  ResultMode* mode = record->mode;
  mode->warnings++;
  if (mode->warnings > WARNINGS_SHOWN) return;
  char number[24];
  const char* pieces[10] = {record->name, ":", Decimal(line, number), ": "};
  int count = 4;
  for (; *what && count < 9; what++) pieces[count++] = *what;
  pieces[count] = nullptr;
  ReportProblem(pieces);
}

// Whether the chosen field was read in full; if not, says what was left.
static void NumberCheck(RecordResult* record, uint64_t line) {
  IntegerParse* parse = &record->parse;
  if (parse->digits == 0) {
    if (IntegerParseBlank(parse)) return;
    char text[QUOTE_LIMIT + 8];
    Quoted(text, record->head, record->length);
    const char* what[] = {"keine Zahl: ", text, nullptr};
    Warn(record, line, what);
    return;
  }
  int wrapped = IntegerParseWrapped(parse);
  if (record->unreadText) {
    char text[QUOTE_LIMIT + 8];
    Quoted(text, record->unread, record->length - parse->used);
    const char* what[] = {"nicht gelesen: ", text, wrapped ? "; die Zahl passt nicht in 64 Bit (läuft über)" : "",
                          nullptr};
    Warn(record, line, what);
  } else if (wrapped) {
    char text[QUOTE_LIMIT + 8];
    Quoted(text, record->head, record->length);
    const char* what[] = {"Zahl passt nicht in 64 Bit (läuft über): ", text, nullptr};
    Warn(record, line, what);
  }
}

void WarningsSummarize(const ResultMode* mode) {
  if (mode->warnings <= WARNINGS_SHOWN) return;
  uint64_t hidden = mode->warnings - WARNINGS_SHOWN;
  char total[24], last[24];
  const char* pieces[] = {"insgesamt ", Decimal(mode->warnings, total), " Warnungen; ",
                          hidden == 1 ? "die letzte wurde" : "die letzten ", hidden == 1 ? "" : Decimal(hidden, last),
                          hidden == 1 ? "" : " wurden", " nicht angezeigt", nullptr};
  ReportProblem(pieces);
}

// ---- the chosen field ---------------------------------------------------

// Bytes after the end of the number: only blanks and tabs may follow.
static void TrailingScan(RecordResult* record, const char* bytes, size_t length) {
  if (record->unreadLength < sizeof record->unread) {
    Keep(record->unread, sizeof record->unread, record->unreadLength, bytes, length);
    size_t room = sizeof record->unread - record->unreadLength;
    record->unreadLength += length < room ? length : room;
  }
  if (record->unreadText) return;
  for (size_t i = 0; i < length; i++) {
    if (bytes[i] != ' ' && bytes[i] != '\t') {
      record->unreadText = 1;
      return;
    }
  }
}

static void ContentConvert(void* context, int32_t, const char* bytes, size_t length) {
  RecordResult* record = static_cast<RecordResult*>(context);
  if (record->isHeader) return;
  Keep(record->head, sizeof record->head, record->length, bytes, length);
  if (record->numberEnded) {
    TrailingScan(record, bytes, length);
  } else if (IntegerParseFeed(&record->parse, bytes, length)) {
    record->numberEnded = 1;
    size_t taken = (size_t)(record->parse.used - record->length);
    TrailingScan(record, bytes + taken, length - taken);
  }
  record->length += length;
}

static void ContentVerify(void* context, int32_t, const char* bytes, size_t length) {
  RecordResult* record = static_cast<RecordResult*>(context);
  if (record->isHeader) return;
  Keep(record->head, sizeof record->head, record->length, bytes, length);
  record->length += length;
  if (record->reader && record->mode->plan->layout == LAYOUT_CSV) return;
  // The line may be "input<TAB>code": follow the input's number up to each
  // tab, and keep what comes after the last one.
  for (;;) {
    const char* tab = static_cast<const char*>(memchr(bytes, '\t', length));
    size_t piece = tab ? (size_t)(tab - bytes) : length;
    Keep(record->tail, sizeof record->tail, record->tailLength, bytes, piece);
    record->tailLength += piece;
    IntegerParseFeed(&record->parse, bytes, piece);
    if (!tab) return;
    record->tabSeen = 1;
    record->tabParse = record->parse;
    record->tailLength = 0;
    IntegerParseFeed(&record->parse, tab, 1);
    bytes = tab + 1;
    length -= piece + 1;
  }
}

static void Raw(void*, const char* bytes, size_t length) { OutputBytes(bytes, length); }

// --csv: the result as a field, quoted when it holds the separator, a quote
// or a line break.
static void FieldOutput(int32_t separator, const char* text, size_t length) {
  int quote = 0;
  for (size_t i = 0; i < length; i++) {
    char c = text[i];
    if (c == separator || c == '"' || c == '\r' || c == '\n') quote = 1;
  }
  if (!quote) {
    OutputBytes(text, length);
    return;
  }
  OutputBytes("\"", 1);
  for (size_t i = 0; i < length; i++) {
    OutputBytes(text + i, 1);
    if (text[i] == '"') OutputBytes("\"", 1);
  }
  OutputBytes("\"", 1);
}

static void VerdictOutput(RecordResult* record) {
  TempStringBuffer* buffer = StringBuffer();
  int64_t saved = buffer->writePosition;
  const char* code = record->tabSeen ? record->tail : record->head;
  uint64_t codeLength = record->tabSeen ? record->tailLength : record->length;
  int64_t number = 0;
  int valid = CodeVerify(code, (size_t)codeLength, (int32_t)saved, &number);
  if (valid && record->tabSeen && number != IntegerParseResult(&record->tabParse)) {
    // A valid code, but of another number than the one in front of it.
    buffer->writePosition = saved;
    StringAppend("Code gehört zu ");
    FormatDecimal(number, (int32_t)buffer->writePosition);
    StringAppend(", nicht zu ");
    FormatDecimal(IntegerParseResult(&record->tabParse), (int32_t)buffer->writePosition);
    valid = 0;
  }
  if (!valid) record->mode->allValid = 0;
  const char* verdict = buffer->base + saved;
  size_t length = (size_t)(buffer->writePosition - saved);
  if (record->reader && record->mode->plan->layout == LAYOUT_CSV) {
    FieldOutput(record->separator, verdict, length);
  } else {
    OutputBytes(verdict, length);
  }
  buffer->writePosition = saved;
}

// ---- record ends --------------------------------------------------------

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

static void HeaderContent(void* context, int32_t field, const char* bytes, size_t length) {
  RecordResult* record = static_cast<RecordResult*>(context);
  if (!record->isHeader) {
    if (field == record->column) record->mode->plan->verify ? ContentVerify(context, field, bytes, length)
                                                      : ContentConvert(context, field, bytes, length);
    return;
  }
  Keep(record->nameText, sizeof record->nameText, record->nameLength, bytes, length);
  size_t room = sizeof record->nameText - (record->nameLength < sizeof record->nameText ? record->nameLength : sizeof record->nameText);
  record->nameLength += length < room ? length : room + 1;
}

static void HeaderFieldEnd(void* context, int32_t field) {
  RecordResult* record = static_cast<RecordResult*>(context);
  if (!record->isHeader) return;
  if (record->column == COLUMN_MISSING && record->nameLength <= sizeof record->nameText &&
      NameMatches(record->nameText, record->nameLength, record->mode->plan->column.name)) {
    record->column = field;
  }
  record->nameLength = 0;
}

static int RecordEndResult(void* context, const char* lineEnd, size_t lineEndLength) {
  RecordResult* record = static_cast<RecordResult*>(context);
  ResultMode* mode = record->mode;
  RecordReader* reader = record->reader;
  int csv = reader && mode->plan->layout == LAYOUT_CSV;  // an argument is one field, also with --csv
  uint64_t line = reader ? reader->recordLine : 1;
  if (reader && reader->quoteOpen) {
    const char* what[] = {"Anführungszeichen bis zum Ende der Eingabe nicht geschlossen", nullptr};
    Warn(record, line, what);
  }
  if (record->isHeader) {
    char separator = (char)record->separator;
    OutputBytes(&separator, 1);
    OutputText(mode->plan->verify ? "Prüfung" : "Code");
    if (record->column == COLUMN_MISSING) {
      char text[QUOTE_LIMIT + 8];
      Quoted(text, mode->plan->column.name, strlen(mode->plan->column.name));
      const char* what[] = {"keine Spalte ", text, " in der Kopfzeile", nullptr};
      Warn(record, line, what);
    }
    record->isHeader = 0;
    // From here on the reader passes only the chosen field on.
    reader->wantedField = record->column >= 0 ? record->column : INT32_MAX;
  } else {
    if (csv) {
      char separator = (char)record->separator;
      OutputBytes(&separator, 1);
    } else if (mode->plan->layout == LAYOUT_TSV) {
      OutputBytes("\t", 1);
    }
    // An empty record has one empty field; other fields are missing then,
    // but an empty line deserves no warning.
    int empty = reader && !reader->recordOpen;
    int present = !csv || (record->column >= 0 && record->column <= reader->field);
    if (present && !(empty && record->column > 0)) {
      if (mode->plan->verify) {
        VerdictOutput(record);
      } else {
        char* code = OutputReserve(CARD_CODE_MAX);
        OutputCommit(CardCodeOfNumber(IntegerParseResult(&record->parse), code));
        NumberCheck(record, line);
      }
    } else if (!empty && record->column >= 0) {
      char column[24], fields[24];
      const char* what[] = {"Spalte ", Decimal((uint64_t)record->column + 1, column), " fehlt (der Datensatz hat nur ",
                            Decimal((uint64_t)reader->field + 1, fields), reader->field == 0 ? " Feld)" : " Felder)",
                            nullptr};
      Warn(record, line, what);
    }
  }
  OutputRecordEnd(lineEnd, csv ? lineEndLength : 0);
  RecordReset(record);
  return OutputError() != 0;
}

// ---- inputs ---------------------------------------------------------------

void ResultOfText(ResultMode* mode, const char* text, int index) {
  // An argument is one field text, also with --csv.
  ResultMode argumentMode = *mode;
  char number[24];
  char name[40] = "Argument ";
  strcat(name, Decimal((uint64_t)index, number));
  static RecordResult record;
  memset(&record, 0, sizeof record);
  record.mode = &argumentMode;
  record.name = name;
  RecordReset(&record);
  size_t length = strlen(text);
  if (mode->plan->layout == LAYOUT_TSV) Raw(nullptr, text, length);
  if (mode->plan->verify) {
    ContentVerify(&record, 0, text, length);
  } else {
    ContentConvert(&record, 0, text, length);
  }
  RecordEndResult(&record, "", 0);
  mode->allValid = argumentMode.allValid;
  mode->warnings = argumentMode.warnings;
}

enum { INPUT_BLOCK = 1 << 16 };

static unsigned char readBlock[INPUT_BLOCK];
static char decodedBlock[UTF16_DECODED_MAX(INPUT_BLOCK)];

struct StreamText {
  int kind;
  Utf16Decoder decoder;
};

// The UTF-8 text of bytes read: the bytes themselves, or decoded.
static const char* TextOf(StreamText* stream, const unsigned char* bytes, size_t length, size_t* textLength) {
  if (stream->kind == TEXT_UTF16LE || stream->kind == TEXT_UTF16BE) {
    *textLength = Utf16Decode(&stream->decoder, bytes, length, decodedBlock);
    return decodedBlock;
  }
  *textLength = length;
  return reinterpret_cast<const char*>(bytes);
}

int ResultsOfStream(ResultMode* mode, int descriptor, const char* name, int first) {
  // The first bytes: until the encoding mark (or its absence) is certain,
  // and with --csv and no --separator until the first record is complete,
  // so that its separator can be counted.
  size_t have = 0;
  size_t markLength = 0;
  int ended = 0;
  StreamText stream;
  for (;;) {
    long got = PlatformRead(descriptor, (char*)readBlock + have, sizeof readBlock - have);
    if (got < 0) return errno ? errno : EIO;
    if (got == 0) ended = 1;
    have += (size_t)got;
    int full = have == sizeof readBlock;
    stream.kind = TextKindOf(readBlock, have, !ended && !full, &markLength);
    if (stream.kind == TEXT_UNDECIDED) continue;
    if (mode->plan->layout != LAYOUT_CSV || mode->plan->separator || ended || full) break;
    Utf16Start(&stream.decoder, stream.kind == TEXT_UTF16BE);
    size_t textLength = 0;
    const char* text = TextOf(&stream, readBlock + markLength, have - markLength, &textLength);
    if (FirstRecordComplete(text, textLength)) break;
  }
  if (first && mode->plan->layout == LAYOUT_CSV && markLength) OutputBytes("\xEF\xBB\xBF", 3);

  static RecordResult record;
  memset(&record, 0, sizeof record);
  record.mode = mode;
  record.name = name;
  record.isHeader = mode->plan->header;
  record.column = mode->plan->column.name ? COLUMN_MISSING : mode->plan->column.number;
  RecordReset(&record);
  static const RecordSink convertSink = {nullptr, ContentConvert, nullptr, RecordEndResult};
  static const RecordSink verifySink = {nullptr, ContentVerify, nullptr, RecordEndResult};
  static const RecordSink echoConvertSink = {Raw, ContentConvert, nullptr, RecordEndResult};
  static const RecordSink echoVerifySink = {Raw, ContentVerify, nullptr, RecordEndResult};
  static const RecordSink headerSink = {Raw, HeaderContent, HeaderFieldEnd, RecordEndResult};
  const RecordSink* sink = mode->plan->verify ? (mode->plan->layout == LAYOUT_TSV ? &echoVerifySink : &verifySink)
                                        : (mode->plan->layout == LAYOUT_TSV ? &echoConvertSink : &convertSink);
  Utf16Start(&stream.decoder, stream.kind == TEXT_UTF16BE);
  size_t textLength = 0;
  const char* text = TextOf(&stream, readBlock + markLength, have - markLength, &textLength);
  RecordReader reader;
  if (mode->plan->layout == LAYOUT_CSV) {
    record.separator = mode->plan->separator ? mode->plan->separator : SeparatorDetect(text, textLength);
    sink = record.isHeader ? &headerSink : mode->plan->verify ? &echoVerifySink : &echoConvertSink;
    RecordsStart(&reader, record.separator, sink, &record);
    reader.wantedField = record.isHeader ? RECORD_EVERY_FIELD : record.column;
  } else {
    RecordsStart(&reader, RECORD_LINES, sink, &record);
  }
  record.reader = &reader;

  int status = 0;
  for (;;) {
    if (RecordsFeed(&reader, text, textLength)) return RECORDS_STOPPED;
    if (ended) break;
    long got = PlatformRead(descriptor, (char*)readBlock, sizeof readBlock);
    if (got < 0) {
      status = errno ? errno : EIO;
      break;
    }
    if (got == 0) {
      ended = 1;
      textLength = 0;
      if (stream.kind == TEXT_UTF16LE || stream.kind == TEXT_UTF16BE) {
        textLength = Utf16Finish(&stream.decoder, decodedBlock);
        text = decodedBlock;
      }
      continue;
    }
    text = TextOf(&stream, readBlock, (size_t)got, &textLength);
  }
  if (status) {
    // Only a record longer than the output buffer can have gone out in
    // part; it is ended there so that the lines of later inputs stay lines
    // of their own.
    if (OutputDropLine()) OutputLineEnd();
    return status;
  }
  return RecordsFinish(&reader);
}
