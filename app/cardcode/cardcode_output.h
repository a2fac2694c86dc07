// cardcode's standard output and its messages on standard error.
//
// Output is collected in one buffer and written in large blocks, or after
// every line when flushEachLine is set (a terminal: a card reader's user
// wants each code as soon as Enter is pressed). The unfinished line stays
// in the buffer until its line end, so that an input that fails half way
// (a read error) can take its partial line back with OutputDropLine; only a
// single line longer than the buffer (a --tsv echo of a huge line) has to
// go out before it is complete.
//
// The first failed write is kept (OutputError) and everything after it is
// discarded: callers stop at the next line end instead of checking every
// call.
//
// Warnings about the input go to standard error with where they were found;
// only the first few are shown, the rest are counted.
//
// A record that echoes an input in Windows-1252 goes out in Windows-1252,
// what cardcode adds to it too (OutputText); all else is UTF-8.
#pragma once

#include "app/cardcode/cardcode_state.h"

void OutputStart(int descriptor, int flushEachLine);
void OutputBytes(const char* bytes, size_t length);
// Room for length bytes (at most 4 KiB) at the end of the output, to be
// filled and then taken with OutputCommit.
char* OutputReserve(size_t length);
void OutputCommit(size_t length);
// cardcode's own UTF-8 text, in Windows-1252 within a record that echoes
// such an input.
void OutputText(const char* text, size_t length);
// Ends the current line with the platform's line end.
void OutputLineEnd(void);
// Ends the current line with lineEnd, or with the platform's when empty.
void OutputRecordEnd(const char* lineEnd, size_t length);
// The unfinished line holds only blanks and tabs (as far as it is held).
int OutputLineBlank(void);
// Forgets the unfinished line. Returns non-zero when part of it has already
// been written and could not be taken back.
int OutputDropLine(void);
// Writes what the buffer holds. Returns OutputError().
int OutputFlush(void);
// 0, or the errno of the first write that failed.
int OutputError(void);

// One line on standard error: "cardcode: " and the pieces up to the first
// null one, with control characters shown as '?' so that a strange argument
// cannot break the line.
void ReportProblem(const char* a, const char* b = nullptr, const char* c = nullptr, const char* d = nullptr,
                   const char* e = nullptr, const char* f = nullptr, const char* g = nullptr);
// A line on standard error about the current record of the current input:
// its place, then the pieces; not counted as a warning.
void ReportAtRecord(const char* a, const char* b = nullptr, const char* c = nullptr, const char* d = nullptr,
                    const char* e = nullptr);
// A warning about the current record of the current input: its place, then
// the pieces.
void Warn(const char* a, const char* b = nullptr, const char* c = nullptr, const char* d = nullptr,
          const char* e = nullptr);
// The closing line about warnings that were only counted, if any.
void WarningsSummarize(void);
// In out (QUOTE_LIMIT + 8 bytes): text cut to QUOTE_LIMIT bytes (not inside
// a UTF-8 sequence), in quotes, control characters shown as '?'.
void Quoted(char* out, const char* text, uint64_t length);
// The decimal text of n, in out (room for 24 bytes).
const char* Decimal(uint64_t n, char* out);
// A field of delimited output, quoted when it holds the separator, a quote
// or a line break; with separator 0 the text as it is.
void OutputField(int32_t separator, const char* text, size_t length);
