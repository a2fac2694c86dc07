// Results of cardcode: for each input line, record or argument one output
// line, the code of the field text (what the window shows under
// "berechnet:" for the same text) or, with --verify, the verdict on a code;
// with --tsv the input and a tab come first; with --csv the record as read,
// the separator and the result.
//
// Inputs are read in blocks (an encoding mark dropped, UTF-16 decoded) and
// each record's number is parsed as its bytes arrive, so a record of any
// length takes bounded memory. A field the number rule reads only in part,
// or whose number wraps, still gets the window's code, and a warning.
#pragma once

#include <stdint.h>

#include "app/cardcode/cardcode_options.h"

struct ResultMode {
  const CardcodeOptions* plan;
  int32_t allValid;     // cleared by the first code that does not verify
  uint64_t warnings;    // warnings so far (only the first few are shown)
};

// One argument's result line; `index` is its place on the command line.
void ResultOfText(ResultMode* mode, const char* text, int index);
// One result line per record of the stream. name is how warnings call the
// input; first: the input is the first one (its encoding mark is kept on
// the output of --csv). Returns 0, an errno of a failed read (the
// unfinished line's output has been withdrawn), or RECORDS_STOPPED when the
// output failed.
int ResultsOfStream(ResultMode* mode, int descriptor, const char* name, int first);
// The closing line about warnings that were only counted, if any.
void WarningsSummarize(const ResultMode* mode);
