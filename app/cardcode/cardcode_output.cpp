// Buffered standard output of cardcode. See cardcode_output.h.
#include "app/cardcode/cardcode_output.h"

#include <errno.h>
#include <string.h>

#include "app/cardcode/cardcode_field.h"
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
    OutputFlush();
    return;
  }
  OutputWrite(output->bytes, output->used);
  output->used = 0;
  output->lineStreamed = 1;
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

char* OutputReserve(size_t length) {
  // The second round, if needed, sends the unfinished line too.
  while (OUTPUT_CAPACITY - output->used < length) OutputMakeRoom();
  return output->bytes + output->used;
}

void OutputCommit(size_t length) {
  if (!output->error) output->used += length;
}

// Whether the current record echoes an input in Windows-1252.
static int EchoIsAnsi(const CardcodeRun* run) {
  return run->plan->layout != LAYOUT_LINES && run->input->kind != INPUT_TEXT && run->in.kind == TEXT_PLAIN &&
         run->in.plain.kind == PLAIN_WINDOWS_1252;
}

void OutputText(const char* text, size_t length) {
  if (!EchoIsAnsi(CardcodeState())) return OutputBytes(text, length);
  while (length > 0) {
    size_t piece = length < 4096 ? length : 4096;
    while (piece < length && piece > 1 && ((unsigned char)text[piece] & 0xC0) == 0x80) piece--;
    OutputCommit(Windows1252Encode(text, piece, OutputReserve(piece)));
    text += piece;
    length -= piece;
  }
}

void OutputLineEnd(void) { OutputRecordEnd("", 0); }

void OutputRecordEnd(const char* lineEnd, size_t length) {
  if (!length) lineEnd = PLATFORM_LINE_END, length = sizeof PLATFORM_LINE_END - 1;
  OutputBytes(lineEnd, length);
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

void ReportProblem(const char* a, const char* b, const char* c, const char* d, const char* e, const char* f,
                   const char* g) {
  char line[1024] = "cardcode: ";
  size_t length = strlen(line);
  const char* pieces[] = {a, b, c, d, e, f, g, nullptr};
  for (const char* const* piece = pieces; *piece; piece++) {
    for (const unsigned char* at = (const unsigned char*)*piece; *at && length < sizeof line - 4; at++) {
      line[length++] = *at < 0x20 || *at == 0x7F ? '?' : (char)*at;
    }
  }
  memcpy(line + length, PLATFORM_LINE_END, sizeof PLATFORM_LINE_END - 1);
  length += sizeof PLATFORM_LINE_END - 1;
  // Nothing sensible is left to do when even standard error cannot be written.
  (void)PlatformWrite(PLATFORM_STDERR, line, length);
}

void ReportAtRecord(const char* a, const char* b, const char* c, const char* d, const char* e) {
  CardcodeRun* run = CardcodeState();
  const CardcodeInput* input = run->input;
  char place[48], number[24];
  const char* name = input->kind == INPUT_FILE ? input->text : "Eingabe";
  uint64_t at = input->kind == INPUT_TEXT ? (uint64_t)input->index : run->reader.recordLine;
  strcpy(place, input->kind == INPUT_TEXT ? "Argument " : ", Zeile ");
  strcat(strcat(place, Decimal(at, number)), ": ");
  ReportProblem(input->kind == INPUT_TEXT ? "" : name, place, a, b, c, d, e);
}

void Warn(const char* a, const char* b, const char* c, const char* d, const char* e) {
  if (++CardcodeState()->warnings <= WARNINGS_SHOWN) ReportAtRecord(a, b, c, d, e);
}

void WarningsSummarize(void) {
  uint64_t warnings = CardcodeState()->warnings;
  if (warnings <= WARNINGS_SHOWN) return;
  char total[24], hidden[24];
  ReportProblem("insgesamt ", Decimal(warnings, total), " Warnungen; ", Decimal(warnings - WARNINGS_SHOWN, hidden),
                " weitere nicht angezeigt");
}

void Quoted(char* out, const char* text, uint64_t length) {
  size_t kept = length > (uint64_t)QUOTE_LIMIT ? (size_t)QUOTE_LIMIT : (size_t)length;
  while (kept < length && kept > 0 && ((unsigned char)text[kept] & 0xC0) == 0x80) kept--;
  size_t at = 0;
  out[at++] = '"';
  for (size_t i = 0; i < kept; i++) {
    unsigned char c = (unsigned char)text[i];
    out[at++] = c < 0x20 || c == 0x7F ? '?' : (char)c;
  }
  // The closing quote, after "..." when the text was cut, and the end.
  memcpy(out + at, kept < length ? "...\"" : "\"", kept < length ? 5 : 2);
}

const char* Decimal(uint64_t n, char* out) {
  out[23] = 0;
  return DecimalDigitsBefore(n, out + 23);
}

void OutputField(int32_t separator, const char* text, size_t length) {
  size_t plain = separator ? 0 : length;
  while (plain < length && text[plain] != separator && !memchr("\"\r\n", text[plain], 3)) plain++;
  if (plain == length) return OutputText(text, length);
  OutputBytes("\"", 1);
  for (;;) {
    // Each quote is doubled.
    const char* quote = static_cast<const char*>(memchr(text, '"', length));
    size_t piece = quote ? (size_t)(quote - text) + 1 : length;
    OutputText(text, piece);
    if (!quote) break;
    OutputBytes("\"", 1);
    text += piece;
    length -= piece;
  }
  OutputBytes("\"", 1);
}

int OutputLineBlank(void) {
  for (size_t i = output->lineStart; i < output->used; i++) {
    if (output->bytes[i] != ' ' && output->bytes[i] != '\t') return 0;
  }
  return !output->lineStreamed;
}
