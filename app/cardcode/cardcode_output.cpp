// Buffered standard output of cardcode. See cardcode_output.h.
#include "app/cardcode/cardcode_output.h"

#include <errno.h>
#include <string.h>

#include "app/cardcode/cardcode_platform.h"
#include "app/cardcode/cardcode_state.h"
#include "core/number_text.h"

enum { WARNINGS_SHOWN = 10 };

static OutputState* const output = &CardcodeState()->out;

static void OutputWrite(const char* bytes, size_t length) {
  if (output->error || length == 0) return;
  if (PlatformWrite(output->descriptor, bytes, length) != 0) output->error = errno ? errno : EIO;
}

void OutputStart(int descriptor, int flushEachLine) {
  output->descriptor = descriptor;
  output->flushEachLine = flushEachLine;
}

// Frees space by writing the complete lines; when the unfinished line alone
// fills the buffer, it has to go out too.
static void OutputMakeRoom(void) {
  if (output->lineStart > 0) {
    OutputWrite(output->bytes, output->lineStart);
    memmove(output->bytes, output->bytes + output->lineStart, output->used - output->lineStart);
    output->used -= output->lineStart;
    output->lineStart = 0;
  } else {
    OutputWrite(output->bytes, output->used);
    output->used = 0;
    output->lineStreamed = 1;
  }
}

void OutputBytes(const char* bytes, size_t length) {
  while (length > 0) {
    if (output->error) return;
    if (output->used == OUTPUT_CAPACITY) OutputMakeRoom();
    size_t room = OUTPUT_CAPACITY - output->used;
    size_t piece = length < room ? length : room;
    memcpy(output->bytes + output->used, bytes, piece);
    output->used += piece;
    bytes += piece;
    length -= piece;
  }
}

void OutputText(const char* text) { OutputBytes(text, strlen(text)); }

char* OutputReserve(size_t length) {
  // The second round, if needed, sends the unfinished line too.
  while (OUTPUT_CAPACITY - output->used < length) OutputMakeRoom();
  return output->bytes + output->used;
}

void OutputCommit(size_t length) {
  if (!output->error) output->used += length;
}

void OutputLineEnd(void) { OutputRecordEnd("", 0); }

void OutputRecordEnd(const char* lineEnd, size_t length) {
  if (length) {
    OutputBytes(lineEnd, length);
  } else {
    OutputBytes(PLATFORM_LINE_END, sizeof PLATFORM_LINE_END - 1);
  }
  output->lineStart = output->used;
  output->lineStreamed = 0;
  if (output->flushEachLine) OutputFlush();
}

int OutputDropLine(void) {
  int streamed = output->lineStreamed;
  output->used = output->lineStart;
  output->lineStreamed = 0;
  return streamed;
}

int OutputFlush(void) {
  OutputWrite(output->bytes, output->lineStart);
  memmove(output->bytes, output->bytes + output->lineStart, output->used - output->lineStart);
  output->used -= output->lineStart;
  output->lineStart = 0;
  return output->error;
}

int OutputError(void) { return output->error; }

void ReportPieces(const char* const* pieces) {
  char line[1024];
  size_t length = 0;
  const char* prefix = "cardcode: ";
  memcpy(line, prefix, strlen(prefix));
  length = strlen(prefix);
  for (; *pieces; pieces++) {
    for (const unsigned char* at = (const unsigned char*)*pieces; *at && length < sizeof line - 4; at++) {
      line[length++] = *at < 0x20 || *at == 0x7F ? '?' : (char)*at;
    }
  }
  memcpy(line + length, PLATFORM_LINE_END, sizeof PLATFORM_LINE_END - 1);
  length += sizeof PLATFORM_LINE_END - 1;
  // Nothing sensible is left to do when even standard error cannot be written.
  (void)PlatformWrite(PLATFORM_STDERR, line, length);
}

void ReportProblem(const char* a, const char* b, const char* c, const char* d) {
  const char* pieces[] = {a, b, c, d, nullptr};
  ReportPieces(pieces);
}

void Warn(const char* a, const char* b, const char* c, const char* d, const char* e) {
  CardcodeRun* run = CardcodeState();
  if (++run->warnings > WARNINGS_SHOWN) return;
  const CardcodeInput* input = run->input;
  char name[40] = "Argument ", number[24], line[24];
  if (input->kind == INPUT_TEXT) strcat(name, Decimal((uint64_t)input->index, number));
  const char* pieces[10] = {input->kind == INPUT_TEXT ? name : input->kind == INPUT_FILE ? input->text : "-", ":",
                            Decimal(input->kind == INPUT_TEXT ? 1 : run->reader.recordLine, line), ": ", a, b, c, d, e};
  ReportPieces(pieces);
}

void WarningsSummarize(void) {
  uint64_t warnings = CardcodeState()->warnings;
  if (warnings <= WARNINGS_SHOWN) return;
  uint64_t hidden = warnings - WARNINGS_SHOWN;
  char total[24], last[24];
  const char* pieces[] = {"insgesamt ", Decimal(warnings, total), " Warnungen; ",
                          hidden == 1 ? "die letzte wurde" : "die letzten ", hidden == 1 ? "" : Decimal(hidden, last),
                          hidden == 1 ? "" : " wurden", " nicht angezeigt", nullptr};
  ReportPieces(pieces);
}

void Quoted(char* out, const char* text, uint64_t length) {
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

const char* Decimal(uint64_t n, char* out) {
  out[23] = 0;
  return DecimalDigitsBefore(n, out + 23);
}

void OutputField(int32_t separator, const char* text, size_t length) {
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
