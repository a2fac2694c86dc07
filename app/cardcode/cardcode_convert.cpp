// Results of cardcode. See cardcode_convert.h.
#include "app/cardcode/cardcode_convert.h"

#include <string.h>

#include "app/card_code.h"
#include "app/cardcode/cardcode_lines.h"
#include "app/cardcode/cardcode_output.h"
#include "app/cardcode/cardcode_verify.h"
#include "core/number_text.h"
#include "core/string_buffer.h"

// The code of a number, as CardCode makes it from the field text.
static void CodeOutput(int64_t number) {
  TempStringBuffer* buffer = StringBuffer();
  int64_t saved = buffer->writePosition;
  FormatDecimal(number, (int32_t)saved);
  CardCode(buffer->base + saved, (int32_t)saved);
  OutputBytes(buffer->base + saved, (size_t)(buffer->writePosition - saved));
  buffer->writePosition = saved;
}

static void VerdictOutput(ResultMode* mode, const char* text, size_t length) {
  TempStringBuffer* buffer = StringBuffer();
  int64_t saved = buffer->writePosition;
  if (!CodeVerify(text, length, (int32_t)saved)) mode->allValid = 0;
  OutputBytes(buffer->base + saved, (size_t)(buffer->writePosition - saved));
  buffer->writePosition = saved;
}

void ResultOfText(ResultMode* mode, const char* text) {
  if (mode->tsv) {
    OutputText(text);
    OutputBytes("\t", 1);
  }
  if (mode->verify) {
    VerdictOutput(mode, text, strlen(text));
  } else {
    TempStringBuffer* buffer = StringBuffer();
    int64_t saved = buffer->writePosition;
    CardCode(text, (int32_t)saved);
    OutputBytes(buffer->base + saved, (size_t)(buffer->writePosition - saved));
    buffer->writePosition = saved;
  }
  OutputLineEnd();
}

struct LineResult {
  ResultMode* mode;
  IntegerParse parse;               // the number of the current line, conversion only
  int numberEnded;                  // later bytes of the line cannot change it
  size_t length;                    // bytes of the current line so far
  char text[CODE_TEXT_LIMIT + 1];   // its first bytes, verification only
};

static void LineTextConvert(void* context, const char* bytes, size_t length) {
  LineResult* line = static_cast<LineResult*>(context);
  if (line->mode->tsv) OutputBytes(bytes, length);
  if (!line->numberEnded) line->numberEnded = IntegerParseFeed(&line->parse, bytes, length);
}

static int LineEndConvert(void* context) {
  LineResult* line = static_cast<LineResult*>(context);
  if (line->mode->tsv) OutputBytes("\t", 1);
  CodeOutput(IntegerParseResult(&line->parse));
  OutputLineEnd();
  IntegerParseStart(&line->parse);
  line->numberEnded = 0;
  return OutputError() != 0;
}

static void LineTextVerify(void* context, const char* bytes, size_t length) {
  LineResult* line = static_cast<LineResult*>(context);
  if (line->mode->tsv) OutputBytes(bytes, length);
  if (line->length < sizeof line->text) {
    size_t room = sizeof line->text - line->length;
    memcpy(line->text + line->length, bytes, length < room ? length : room);
  }
  line->length += length;
}

static int LineEndVerify(void* context) {
  LineResult* line = static_cast<LineResult*>(context);
  if (line->mode->tsv) OutputBytes("\t", 1);
  VerdictOutput(line->mode, line->text, line->length);
  OutputLineEnd();
  line->length = 0;
  return OutputError() != 0;
}

int ResultsOfStream(ResultMode* mode, int descriptor) {
  static const LineSink convertSink = {LineTextConvert, LineEndConvert};
  static const LineSink verifySink = {LineTextVerify, LineEndVerify};
  LineResult line;
  memset(&line, 0, sizeof line);
  line.mode = mode;
  IntegerParseStart(&line.parse);
  int status = LinesRead(descriptor, mode->verify ? &verifySink : &convertSink, &line);
  // Only a --tsv echo longer than the output buffer can have gone out in
  // part; it is ended there (it has no tab and no code) so that the lines
  // of later inputs stay lines of their own.
  if (status > 0 && OutputDropLine()) OutputLineEnd();
  return status;
}
