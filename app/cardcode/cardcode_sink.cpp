// The record sinks. See cardcode_sink.h.
#include "app/cardcode/cardcode_sink.h"

#include <string.h>

#include "app/cardcode/cardcode_convert.h"
#include "app/cardcode/cardcode_field.h"
#include "app/cardcode/cardcode_output.h"
#include "app/cardcode/cardcode_verify.h"

static void Raw(void*, const char* bytes, size_t length) { OutputBytes(bytes, length); }

// The record is done; non-zero stops the reading.
static int RecordDone(CardcodeRun* run) {
  run->field = FieldStart();
  return OutputError() != 0;
}

static int LineEnd(void* context, const char*, size_t) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  run->result(run, 0);
  OutputLineEnd();
  return RecordDone(run);
}

static int TsvLineEnd(void* context, const char* lineEnd, size_t length) {
  OutputBytes("\t", 1);
  return LineEnd(context, lineEnd, length);
}

// The start of what --csv adds to a record.
static void CsvAppend(CardcodeRun* run) {
  if (run->reader.quoteOpen) {
    Warn("Anführungszeichen bis zum Ende der Eingabe nicht geschlossen");
  }
  char separator = (char)run->separator;
  OutputBytes(&separator, 1);
}

static int CsvRecordEnd(void* context, const char* lineEnd, size_t length) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  const RecordReader* reader = &run->reader;
  CsvAppend(run);
  // An empty record has one empty field; other fields are missing then,
  // but an empty line deserves no warning.
  int empty = !reader->recordOpen;
  if (run->column >= 0 && run->column <= reader->field && !(empty && run->column > 0)) {
    run->result(run, run->separator);
  } else if (!empty && run->column >= 0) {
    char column[24], fields[24];
    Warn("Spalte ", Decimal((uint64_t)run->column + 1, column), " fehlt (der Datensatz hat nur ",
         Decimal((uint64_t)reader->field + 1, fields), reader->field == 0 ? " Feld)" : " Felder)");
  }
  OutputRecordEnd(lineEnd, length);
  return RecordDone(run);
}

static int HeaderEnd(void* context, const char* lineEnd, size_t length) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  CsvAppend(run);
  OutputText(run->plan->verify ? "Prüfung" : "Code");
  if (run->column == COLUMN_MISSING) {
    char text[QUOTE_LIMIT + 8];
    Quoted(text, run->plan->column.name, strlen(run->plan->column.name));
    Warn("keine Spalte ", text, " in der Kopfzeile");
  }
  // From here on the reader passes only the chosen field on.
  run->reader.wantedField = run->column >= 0 ? run->column : INT32_MAX;
  run->reader.sink = run->dataSink;
  OutputRecordEnd(lineEnd, length);
  return RecordDone(run);
}

// By --verify and layout.
static const RecordSink dataSinks[2][3] = {
    {{nullptr, FieldNumber, nullptr, LineEnd}, {Raw, FieldNumber, nullptr, TsvLineEnd},
     {Raw, FieldNumber, nullptr, CsvRecordEnd}},
    {{nullptr, FieldCodeLine, nullptr, LineEnd}, {Raw, FieldCodeLine, nullptr, TsvLineEnd},
     {Raw, FieldCode, nullptr, CsvRecordEnd}},
};
static const RecordSink headerSink = {Raw, HeaderName, HeaderNameEnd, HeaderEnd};

void SinksChoose(CardcodeRun* run) {
  const CardcodeOptions* plan = run->plan;
  const RecordSink* sinks = dataSinks[plan->verify ? 1 : 0];
  run->dataSink = &sinks[plan->layout];
  run->argumentSink = &sinks[plan->layout == LAYOUT_CSV ? LAYOUT_LINES : plan->layout];
  run->result = plan->verify ? VerdictResult : CodeResult;
}

void RecordsOfInput(CardcodeRun* run, int32_t separator) {
  const CardcodeOptions* plan = run->plan;
  run->separator = separator;
  run->column = plan->column.name ? COLUMN_MISSING : plan->column.number;
  run->field = FieldStart();
  RecordsStart(&run->reader, separator, plan->header ? &headerSink : run->dataSink, run);
  run->reader.wantedField = plan->header ? RECORD_EVERY_FIELD : run->column;
}

void ResultOfArgument(CardcodeRun* run, const CardcodeInput* argument) {
  const RecordSink* sink = run->argumentSink;
  size_t length = strlen(argument->text);
  run->input = argument;
  run->field = FieldStart();
  if (sink->raw) sink->raw(run, argument->text, length);
  sink->content(run, 0, argument->text, length);
  sink->end(run, "", 0);
}
