// The record sinks of a run. See cardcode_sinks.h.
#include "app/cardcode/cardcode_sinks.h"

#include <string.h>

#include "app/cardcode/cardcode_field.h"
#include "app/cardcode/cardcode_output.h"
#include "app/cardcode/cardcode_state.h"

// The echo: Windows-1252 decodes one to one, so encoding the text gives
// back the input's bytes.
static void Raw(void*, const char* bytes, size_t length) { OutputText(bytes, length); }

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
  if (run->reader.quoteOpen) Warn("Anführungszeichen bis zum Dateiende nicht geschlossen");
  char separator = (char)run->separator;
  OutputBytes(&separator, 1);
}

static int CsvRecordEnd(void* context, const char* lineEnd, size_t length) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  const RecordReader* reader = &run->reader;
  // An empty or blank record has one field; other fields are missing then,
  // but such a line deserves no warning.
  int empty = !reader->recordOpen || (reader->field == 0 && run->column > 0 && OutputLineBlank());
  CsvAppend(run);
  if (run->column >= 0 && run->column <= reader->field && !(empty && run->column > 0)) {
    run->result(run, run->separator);
  } else if (!empty && run->column >= 0) {
    char column[24], fields[24];
    Warn("Spalte ", Decimal((uint64_t)run->column + 1, column), " fehlt (die Zeile hat nur ",
         Decimal((uint64_t)reader->field + 1, fields), reader->field == 0 ? " Spalte)" : " Spalten)");
  }
  OutputRecordEnd(lineEnd, length);
  return RecordDone(run);
}

// --column NAME names no field of the header: the input is refused whole,
// and the message shows what the header does hold.
static int ColumnMissing(CardcodeRun* run) {
  const ColumnChoice* column = &run->plan->column;
  char name[QUOTE_LIMIT + 8], fields[HEADER_FIELDS_SHOWN * (QUOTE_LIMIT + 10) + 8] = "";
  Quoted(name, column->name, column->nameLength);
  for (int32_t i = 0; i < run->headerFieldCount; i++) {
    if (i == HEADER_FIELDS_SHOWN) {
      strcat(fields, ", ...");
      break;
    }
    if (i > 0) strcat(fields, ", ");
    Quoted(fields + strlen(fields), run->headerFields[i], run->headerFieldLengths[i]);
  }
  // Only a header longer than the output buffer can have gone out in part.
  if (OutputDropLine()) OutputLineEnd();
  ReportAtRecord("Spalte ", name, " nicht in der Kopfzeile gefunden (Spalten: ", fields, ")");
  run->refused = 1;
  return 1;
}

static int HeaderEnd(void* context, const char* lineEnd, size_t length) {
  CardcodeRun* run = static_cast<CardcodeRun*>(context);
  if (run->column == COLUMN_MISSING) return ColumnMissing(run);
  CsvAppend(run);
  const char* heading = run->plan->verify ? "Prüfung" : "Code";
  OutputText(heading, strlen(heading));
  // From here on the reader passes only the chosen field on.
  run->reader.wantedField = run->column;
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

void SinksChoose(CardcodeRun* run, void (*result)(CardcodeRun* run, int32_t separator)) {
  const CardcodeOptions* plan = run->plan;
  const RecordSink* sinks = dataSinks[plan->verify ? 1 : 0];
  run->dataSink = &sinks[plan->layout];
  run->argumentSink = &sinks[plan->layout == LAYOUT_CSV ? LAYOUT_LINES : plan->layout];
  run->result = result;
}

void RecordsOfInput(CardcodeRun* run, int32_t separator) {
  const CardcodeOptions* plan = run->plan;
  run->separator = separator;
  run->column = plan->column.name ? COLUMN_MISSING : plan->column.number;
  run->headerFieldCount = 0;
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
