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

#define HELP_HINT " (Hilfe: cardcode --help)"

// -o FILE or --output FILE; "-" is standard output. The last one counts.
static int OutputOption(CardcodeOptions* options, const char* path) {
  options->output = strcmp(path, "-") == 0 ? nullptr : path;
  return OPTIONS_OK;
}

// An argument that looks like an option and not like a number: "/" and
// anything, or "-" and a letter ("-5", "-$FF" and "-%101" are numbers).
static int OptionLike(const char* argument) {
  char second = argument[0] ? argument[1] : 0;
  if (argument[0] == '/') return 1;
  return argument[0] == '-' && ((second >= 'a' && second <= 'z') || (second >= 'A' && second <= 'Z'));
}

// --column: digits only, blanks around them ignored, make a number from 1
// to 2147483647, anything else a header field's name; the last one given
// wins whole. 0 when the value is neither.
static int ColumnSet(ColumnChoice* column, const char* value) {
  size_t start = strspn(value, " \t"), end = strlen(value);
  while (end > start && (value[end - 1] == ' ' || value[end - 1] == '\t')) end--;
  if (end == start) return 0;
  if (strspn(value + start, "0123456789") < end - start) {
    *column = {0, value + start, end - start};
    return 1;
  }
  long long number = 0;
  for (size_t i = start; i < end && number <= INT32_MAX; i++) number = number * 10 + (value[i] - '0');
  if (number < 1 || number > INT32_MAX) return 0;
  *column = {(int32_t)(number - 1), nullptr, 0};
  return 1;
}

static int ValueOption(CardcodeOptions* options, const char* option, const char* value, char* problem, size_t size) {
  if (strcmp(option, "--column") == 0) {
    if (ColumnSet(&options->column, value)) return OPTIONS_OK;
    return ProblemSet(problem, size,
                      "--column erwartet eine Spaltennummer von 1 bis 2147483647 oder eine Überschrift, nicht \"",
                      value, "\"" HELP_HINT);
  }
  int tab = strcmp(value, "tab") == 0 || strcmp(value, "\t") == 0;
  if (!tab && strcmp(value, ";") != 0 && strcmp(value, ",") != 0) {
    return ProblemSet(problem, size, "--separator erwartet \";\", \",\" oder \"tab\", nicht \"", value, "\"" HELP_HINT);
  }
  options->separator = tab ? '\t' : value[0];
  return OPTIONS_OK;
}

// An argument starting with "--" before the options ended; *i moves past
// the value of an option that takes one.
static int LongOption(CardcodeOptions* options, int argc, char** argv, int* i, int* valueOptionSeen, char* problem,
                      size_t size) {
  static const struct {
    const char* name;
    int32_t CardcodeOptions::*flag;
  } flags[] = {
      {"--help", &CardcodeOptions::help}, {"--version", &CardcodeOptions::version},
      {"--verify", &CardcodeOptions::verify}, {"--tsv", &CardcodeOptions::tsv},
      {"--csv", &CardcodeOptions::csv}, {"--header", &CardcodeOptions::header},
      {"--strict", &CardcodeOptions::strict},
  };
  const char* argument = argv[*i];
  for (const auto& flag : flags) {
    if (strcmp(argument, flag.name) != 0) continue;
    options->*flag.flag = 1;
    if (flag.flag == &CardcodeOptions::header) *valueOptionSeen = 1;
    return OPTIONS_OK;
  }
  int output = strcmp(argument, "--output") == 0;
  if (!output && strcmp(argument, "--column") != 0 && strcmp(argument, "--separator") != 0) {
    return ProblemSet(problem, size, "unbekannte Option \"", argument, "\"" HELP_HINT);
  }
  if (*i + 1 >= argc) return ProblemSet(problem, size, argument, " erwartet einen Wert", HELP_HINT);
  if (output) return OutputOption(options, argv[++*i]);
  *valueOptionSeen = 1;
  return ValueOption(options, argument, argv[++*i], problem, size);
}

static void InputAdd(CardcodeOptions* options, int32_t kind, const char* text, int32_t index) {
  CardcodeInput* input = &options->inputs[options->inputCount++];
  input->kind = kind;
  input->text = kind == INPUT_STDIN ? nullptr : text;
  input->index = index;
}

int OptionsParse(int argc, char** argv, CardcodeOptions* options, char* problem, size_t size) {
  memset(options, 0, sizeof *options);
  options->inputs = static_cast<CardcodeInput*>(calloc((size_t)(argc > 0 ? argc : 1), sizeof(CardcodeInput)));
  if (!options->inputs) {
    ProblemSet(problem, size, "Nicht genügend Arbeitsspeicher", nullptr, nullptr);
    return OPTIONS_NO_MEMORY;
  }
  int optionsEnded = 0;
  int valueOptionSeen = 0;  // --column, --separator or --header
  for (int i = 1; i < argc; i++) {
    const char* argument = argv[i];
    if (optionsEnded) {
      InputAdd(options, INPUT_TEXT, argument, i);
    } else if (strcmp(argument, "-h") == 0 || strcmp(argument, "/?") == 0) {
      options->help = 1;
    } else if (strcmp(argument, "--") == 0) {
      optionsEnded = 1;
    } else if (argument[0] == '-' && argument[1] == '-') {
      if (LongOption(options, argc, argv, &i, &valueOptionSeen, problem, size)) return OPTIONS_USAGE_ERROR;
    } else if (strcmp(argument, "-f") == 0 || strcmp(argument, "-o") == 0) {
      if (i + 1 >= argc) return ProblemSet(problem, size, argument, " erwartet einen Dateinamen", HELP_HINT);
      if (argument[1] == 'o') {
        OutputOption(options, argv[++i]);
        continue;
      }
      InputAdd(options, strcmp(argv[i + 1], "-") == 0 ? INPUT_STDIN : INPUT_FILE, argv[i + 1], i);
      i++;
    } else if (OptionLike(argument)) {
      return ProblemSet(problem, size, "unbekannte Option \"", argument, "\"" HELP_HINT);
    } else {
      InputAdd(options, strcmp(argument, "-") == 0 ? INPUT_STDIN : INPUT_TEXT, argument, i);
    }
  }
  if (options->csv && options->tsv) {
    return ProblemSet(problem, size, "--csv und --tsv können nicht zusammen verwendet werden", HELP_HINT, nullptr);
  }
  if (valueOptionSeen && !options->csv) {
    return ProblemSet(problem, size, "--column, --separator und --header sind nur zusammen mit --csv möglich", HELP_HINT, nullptr);
  }
  options->layout = options->csv ? LAYOUT_CSV : options->tsv ? LAYOUT_TSV : LAYOUT_LINES;
  if (options->column.name) options->header = 1;
  options->inputNamed = options->inputCount > 0;
  if (options->inputCount == 0) InputAdd(options, INPUT_STDIN, nullptr, 0);
  return OPTIONS_OK;
}

void OptionsDispose(CardcodeOptions* options) {
  free(options->inputs);
  options->inputs = nullptr;
  options->inputCount = 0;
}
