// Command line of cardcode. See cardcode_options.h.
#include "app/cardcode/cardcode_options.h"

#include <stdlib.h>
#include <string.h>

static int ProblemSet(char* problem, size_t size, const char* first, const char* second, const char* third) {
  const char* pieces[] = {first, second, third};
  size_t length = 0;
  for (const char* piece : pieces) {
    for (; piece && *piece && length + 1 < size; piece++) problem[length++] = *piece;
  }
  problem[length] = 0;
  return OPTIONS_USAGE_ERROR;
}

static const char HELP_HINT[] = " (Hilfe: cardcode --help)";

// A column number: decimal digits only, 1 or more, not too large.
static int ColumnNumber(const char* text) {
  long value = 0;
  if (!*text) return 0;
  for (; *text; text++) {
    if (*text < '0' || *text > '9' || value > 1000000) return 0;
    value = value * 10 + (*text - '0');
  }
  return (int)value;
}

static int ValueOption(CardcodeOptions* options, const char* option, const char* value, char* problem, size_t size) {
  if (strcmp(option, "--column") == 0) {
    int number = ColumnNumber(value);
    if (number > 0) {
      options->column.number = number - 1;
    } else if (value[0] && strspn(value, "0123456789") != strlen(value)) {
      options->column.name = value;
    } else {
      return ProblemSet(problem, size, "--column braucht eine Spaltennummer ab 1 oder einen Spaltennamen, nicht \"",
                        value, "\"");
    }
    return OPTIONS_OK;
  }
  if (strcmp(value, ";") == 0 || strcmp(value, ",") == 0) {
    options->separator = value[0];
  } else if (strcmp(value, "tab") == 0 || strcmp(value, "\t") == 0) {
    options->separator = '\t';
  } else {
    return ProblemSet(problem, size, "--separator nimmt \";\", \",\" oder \"tab\", nicht \"", value, "\"");
  }
  return OPTIONS_OK;
}

int OptionsParse(int argc, char** argv, CardcodeOptions* options, char* problem, size_t size) {
  memset(options, 0, sizeof *options);
  options->inputs = static_cast<CardcodeInput*>(calloc((size_t)(argc > 0 ? argc : 1), sizeof(CardcodeInput)));
  if (!options->inputs) return ProblemSet(problem, size, "zu wenig Speicher", nullptr, nullptr);
  problem[0] = 0;
  int optionsEnded = 0;
  int valueOptionSeen = 0;  // --column, --separator or --header
  for (int i = 1; i < argc; i++) {
    const char* argument = argv[i];
    CardcodeInput* input = &options->inputs[options->inputCount];
    input->index = i;
    if (!optionsEnded && (strcmp(argument, "-h") == 0 || strcmp(argument, "/?") == 0)) {
      options->help = 1;
      continue;
    }
    if (!optionsEnded && argument[0] == '-' && argument[1] == '-') {
      static const struct {
        const char* name;
        size_t offset;
      } flags[] = {
          {"--help", offsetof(CardcodeOptions, help)},     {"--version", offsetof(CardcodeOptions, version)},
          {"--verify", offsetof(CardcodeOptions, verify)}, {"--tsv", offsetof(CardcodeOptions, tsv)},
          {"--csv", offsetof(CardcodeOptions, csv)},       {"--header", offsetof(CardcodeOptions, header)},
          {"--strict", offsetof(CardcodeOptions, strict)},
      };
      int known = 0;
      if (strcmp(argument, "--") == 0) {
        optionsEnded = 1;
        known = 1;
      }
      for (const auto& flag : flags) {
        if (strcmp(argument, flag.name) == 0) {
          *reinterpret_cast<int32_t*>(reinterpret_cast<char*>(options) + flag.offset) = 1;
          known = 1;
        }
      }
      if (strcmp(argument, "--header") == 0) valueOptionSeen = 1;
      if (strcmp(argument, "--column") == 0 || strcmp(argument, "--separator") == 0) {
        if (i + 1 >= argc) return ProblemSet(problem, size, argument, " braucht einen Wert", HELP_HINT);
        if (ValueOption(options, argument, argv[++i], problem, size) != OPTIONS_OK) return OPTIONS_USAGE_ERROR;
        valueOptionSeen = 1;
        known = 1;
      }
      if (!known) return ProblemSet(problem, size, "unbekannte Option \"", argument, "\" (Hilfe: cardcode --help)");
      continue;
    }
    if (!optionsEnded && strcmp(argument, "-f") == 0) {
      if (i + 1 >= argc) return ProblemSet(problem, size, "-f braucht einen Dateinamen", HELP_HINT, nullptr);
      const char* name = argv[++i];
      input->kind = strcmp(name, "-") == 0 ? INPUT_STDIN : INPUT_FILE;
      input->text = input->kind == INPUT_FILE ? name : nullptr;
    } else if (!optionsEnded && strcmp(argument, "-") == 0) {
      input->kind = INPUT_STDIN;
      input->text = nullptr;
    } else {
      input->kind = INPUT_TEXT;
      input->text = argument;
    }
    options->inputCount++;
  }
  if (options->csv && options->tsv) {
    return ProblemSet(problem, size, "--csv und --tsv gehen nicht zusammen", HELP_HINT, nullptr);
  }
  if (valueOptionSeen && !options->csv) {
    return ProblemSet(problem, size, "--column, --separator und --header gelten nur mit --csv", HELP_HINT, nullptr);
  }
  options->layout = options->csv ? LAYOUT_CSV : options->tsv ? LAYOUT_TSV : LAYOUT_LINES;
  if (options->column.name) options->header = 1;
  options->inputNamed = options->inputCount > 0;
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
