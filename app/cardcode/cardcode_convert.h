// Results of cardcode: for each input line or argument one output line, the
// code of the field text (what the window shows under "berechnet:" for the
// same text) or, with --verify, the verdict on a code; with --tsv the input
// and a tab come first.
//
// Streams are read in blocks and each line's number is parsed as its bytes
// arrive (IntegerParse), so a line of any length takes bounded memory; the
// code is then made by CardCode from the number's decimal text, which parses
// back to the same number.
#pragma once

#include <stdint.h>

struct ResultMode {
  int32_t verify;     // inputs are codes to check
  int32_t tsv;        // echo the input and a tab before each result
  int32_t allValid;   // cleared by the first code that does not verify
};

// One argument's result line.
void ResultOfText(ResultMode* mode, const char* text);
// One result line per line of the stream: 0, an errno of a failed read
// (the unfinished line's output has been withdrawn), or LINES_STOPPED when
// the output failed.
int ResultsOfStream(ResultMode* mode, int descriptor);
