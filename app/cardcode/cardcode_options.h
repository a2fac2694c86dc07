// cardcode's command line.
//
// The options may stand anywhere before "--" and apply to every input; "--"
// ends the options. The inputs, in their order, are field texts (every
// other argument, so "-15" is the number -15), "-f FILE" and "-" or "-f -"
// (standard input). Without inputs, standard input is read. Options with a
// value take it from the next argument. An unknown option (an argument
// starting with "/", or with "-" and a letter, or with "--"), a missing
// value and options that do not go together are usage errors, found before
// any input is read or the output is created, so nothing has been printed
// when one is reported.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { INPUT_TEXT = 0, INPUT_FILE = 1, INPUT_STDIN = 2 };

struct CardcodeInput {
  int32_t kind;      // INPUT_TEXT, INPUT_FILE or INPUT_STDIN
  const char* text;  // the field text or the file name (argv storage); null for stdin
  int32_t index;     // its place on the command line
};

// --column: a field number, or a header field's name; the last one given.
struct ColumnChoice {
  int32_t number;     // from 0
  const char* name;   // argv storage without the blanks around it, else null
  size_t nameLength;  // bytes of name
};

enum { LAYOUT_LINES = 0, LAYOUT_TSV = 1, LAYOUT_CSV = 2 };

// Filled once by OptionsParse; the rest of cardcode reads it as const.
struct CardcodeOptions {
  int32_t help;            // --help, -h or /?: print the usage text, read nothing
  int32_t version;         // --version: print the version, read nothing
  int32_t verify;          // --verify: inputs are codes to check
  int32_t tsv;             // --tsv as given (read layout instead)
  int32_t csv;             // --csv as given (read layout instead)
  int32_t layout;          // LAYOUT_LINES; LAYOUT_TSV: the input and a tab before each result;
                           // LAYOUT_CSV: delimited records with the result appended
  int32_t header;          // --header or --column NAME: each input's first record is a header
  int32_t strict;          // --strict: a warning makes the exit status 1
  int32_t separator;       // --separator: ';', ',' or '\t'; 0 to detect
  ColumnChoice column;     // --column
  const char* output;      // -o or --output: the file to write (argv storage); null for standard output
  int32_t inputNamed;      // an input was named (an argument, a file or "-")
  int32_t inputCount;      // entries in inputs
  CardcodeInput* inputs;   // at most argc entries, owned by the options
};

enum { OPTIONS_OK = 0, OPTIONS_USAGE_ERROR = 2, OPTIONS_NO_MEMORY = 3 };

// Fills options from argv. On a usage error writes a one-line reason into
// problem (size bytes, terminated) and returns OPTIONS_USAGE_ERROR, or
// OPTIONS_NO_MEMORY when memory is short.
int OptionsParse(int argc, char** argv, CardcodeOptions* options, char* problem, size_t size);
void OptionsDispose(CardcodeOptions* options);
