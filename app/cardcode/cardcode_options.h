// cardcode's command line.
//
// --help, --verify and --tsv may stand anywhere before "--" and apply to
// every input; "--" ends the options. The inputs, in their order, are field
// texts (every other argument, so "-15" is the number -15), "-f FILE" and
// "-" (standard input). Without inputs, standard input is read. Any other
// argument starting with "--" is a usage error, found before any input is
// read, so nothing has been printed when it is reported.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { INPUT_TEXT = 0, INPUT_FILE = 1, INPUT_STDIN = 2 };

struct CardcodeInput {
  int32_t kind;      // INPUT_TEXT, INPUT_FILE or INPUT_STDIN
  const char* text;  // the field text or the file name (argv storage); null for stdin
};

struct CardcodeOptions {
  int32_t help;            // --help: print the usage text, read nothing
  int32_t verify;          // --verify: inputs are codes to check
  int32_t tsv;             // --tsv: each result line starts with the input and a tab
  int32_t inputCount;      // entries in inputs
  CardcodeInput* inputs;   // at most argc entries, owned by the options
};

enum { OPTIONS_OK = 0, OPTIONS_USAGE_ERROR = 2 };

// Fills options from argv. On a usage error writes a one-line reason into
// problem (size bytes, terminated) and returns OPTIONS_USAGE_ERROR.
int OptionsParse(int argc, char** argv, CardcodeOptions* options, char* problem, size_t size);
void OptionsDispose(CardcodeOptions* options);
