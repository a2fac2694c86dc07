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
#pragma once

#include <stddef.h>

void OutputStart(int descriptor, int flushEachLine);
void OutputBytes(const char* bytes, size_t length);
void OutputText(const char* text);
// Room for length bytes (at most 4 KiB) at the end of the output, to be
// filled and then taken with OutputCommit.
char* OutputReserve(size_t length);
void OutputCommit(size_t length);
// Ends the current line with the platform's line end ("\r\n" on Windows,
// "\n" elsewhere).
void OutputLineEnd(void);
// Ends the current line with lineEnd, or with the platform's when empty.
void OutputRecordEnd(const char* lineEnd, size_t length);
// Forgets the unfinished line. Returns non-zero when part of it has already
// been written and could not be taken back.
int OutputDropLine(void);
// Writes what the buffer holds. Returns OutputError().
int OutputFlush(void);
// 0, or the errno of the first write that failed.
int OutputError(void);

// One line on standard error: "cardcode: " and the pieces, with control
// characters shown as '?' so that a strange argument cannot break the line.
// pieces ends with a null pointer.
void ReportProblem(const char* const* pieces);
