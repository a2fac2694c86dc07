// Command line of cardcode. See cardcode_options.h.
#include "app/cardcode/cardcode_options.h"

#include <stdlib.h>
#include <string.h>

static void ProblemSet(char* problem, size_t size, const char* first, const char* second, const char* third) {
  const char* pieces[] = {first, second, third};
  size_t length = 0;
  for (const char* piece : pieces) {
    for (; piece && *piece && length + 1 < size; piece++) problem[length++] = *piece;
  }
  problem[length] = 0;
}

int OptionsParse(int argc, char** argv, CardcodeOptions* options, char* problem, size_t size) {
  memset(options, 0, sizeof *options);
  options->inputs = static_cast<CardcodeInput*>(calloc((size_t)(argc > 0 ? argc : 1), sizeof(CardcodeInput)));
  if (!options->inputs) {
    ProblemSet(problem, size, "zu wenig Speicher", nullptr, nullptr);
    return OPTIONS_USAGE_ERROR;
  }
  problem[0] = 0;
  int optionsEnded = 0;
  for (int i = 1; i < argc; i++) {
    const char* argument = argv[i];
    CardcodeInput* input = &options->inputs[options->inputCount];
    if (!optionsEnded && argument[0] == '-' && argument[1] == '-') {
      if (strcmp(argument, "--") == 0) {
        optionsEnded = 1;
      } else if (strcmp(argument, "--help") == 0) {
        options->help = 1;
      } else if (strcmp(argument, "--verify") == 0) {
        options->verify = 1;
      } else if (strcmp(argument, "--tsv") == 0) {
        options->tsv = 1;
      } else {
        ProblemSet(problem, size, "unbekannte Option \"", argument, "\" (Hilfe: cardcode --help)");
        return OPTIONS_USAGE_ERROR;
      }
      continue;
    }
    if (!optionsEnded && strcmp(argument, "-f") == 0) {
      if (i + 1 >= argc) {
        ProblemSet(problem, size, "-f braucht einen Dateinamen (Hilfe: cardcode --help)", nullptr, nullptr);
        return OPTIONS_USAGE_ERROR;
      }
      input->kind = INPUT_FILE;
      input->text = argv[++i];
    } else if (!optionsEnded && strcmp(argument, "-") == 0) {
      input->kind = INPUT_STDIN;
      input->text = nullptr;
    } else {
      input->kind = INPUT_TEXT;
      input->text = argument;
    }
    options->inputCount++;
  }
  if (options->inputCount == 0) {
    options->inputs[0].kind = INPUT_STDIN;
    options->inputs[0].text = nullptr;
    options->inputCount = 1;
  }
  return OPTIONS_OK;
}

void OptionsDispose(CardcodeOptions* options) {
  free(options->inputs);
  options->inputs = nullptr;
  options->inputCount = 0;
}
