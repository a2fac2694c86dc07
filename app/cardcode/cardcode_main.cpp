// cardcode, the console companion of the utility: the window's card codes
// for lists of numbers, and checks of codes. Usage in UsageText below and
// in docs/cardcode.1.
//
// Exit codes: 0 all done (every code valid), 1 some code did not verify,
// 2 usage error (nothing was read or printed), 3 a file could not be read
// or the output could not be written (the out-of-memory stop of the core
// uses 3 as well).
#include <errno.h>

#include "app/cardcode/cardcode_convert.h"
#include "app/cardcode/cardcode_lines.h"
#include "app/cardcode/cardcode_options.h"
#include "app/cardcode/cardcode_output.h"
#include "app/cardcode/cardcode_platform.h"
#include "core/string_buffer.h"

enum { EXIT_ALL_DONE = 0, EXIT_NOT_VALID = 1, EXIT_USAGE = 2, EXIT_IO_FAILURE = 3 };

static const char UsageText[] =
    "Aufruf: cardcode [--tsv] [NUMMER | -f DATEI | -]...\n"
    "        cardcode --verify [--tsv] [CODE | -f DATEI | -]...\n"
    "\n"
    "Gibt zu jeder Kartennummer den Code aus, den \"RFID Nummer\" unter\n"
    "\"berechnet:\" zeigt, eine Zeile je Nummer. Ohne NUMMER liest cardcode\n"
    "eine Nummer je Zeile von der Standardeingabe (leere Zeile: Nummer 0).\n"
    "\n"
    "  NUMMER     dezimal (12345678), hexadezimal nach $ ($FF),\n"
    "             binär nach % (%101), mit Vorzeichen (-15)\n"
    "  -f DATEI   liest die Zeilen von DATEI\n"
    "  -          liest die Standardeingabe\n"
    "  --tsv      Eingabe, Tabulator, Ergebnis je Zeile (für Tabellen)\n"
    "  --verify   prüft Codes wie \"1D 00BC614E 2\": gibt die Kartennummer\n"
    "             und OK aus, sonst den Grund\n"
    "  --         alles Folgende ist NUMMER oder CODE (cardcode -- --5)\n"
    "  --help     diese Hilfe\n"
    "\n"
    "Beispiele: cardcode 12345678         ->  1D 00BC614E 2\n"
    "           cardcode --verify \"1D 00BC614E 2\"  ->  12345678 OK\n"
    "\n"
    "Exit-Status: 0 alles in Ordnung, 1 ein Code ist ungültig (--verify),\n"
    "2 falscher Aufruf, 3 Lese- oder Schreibfehler.\n";

// Reads one file or standard input. Returns 0, or non-zero after a failure
// that has been reported.
static int ResultsOfInput(ResultMode* mode, const CardcodeInput* input) {
  int descriptor = PLATFORM_STDIN;
  if (input->kind == INPUT_FILE) {
    descriptor = PlatformOpenRead(input->text);
    if (descriptor < 0) {
      const char* pieces[] = {"kann \"", input->text, "\" nicht öffnen: ", PlatformErrorText(errno), nullptr};
      ReportProblem(pieces);
      return 1;
    }
  }
  int status = ResultsOfStream(mode, descriptor);
  if (input->kind == INPUT_FILE) PlatformClose(descriptor);
  if (status > 0) {
    const char* name = input->kind == INPUT_FILE ? input->text : "Standardeingabe";
    const char* pieces[] = {"Lesefehler in \"", name, "\": ", PlatformErrorText(status), nullptr};
    ReportProblem(pieces);
    return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  PlatformStart();
  StringBufferStart();
  CardcodeOptions options;
  char problem[512];
  if (OptionsParse(argc, argv, &options, problem, sizeof problem) != OPTIONS_OK) {
    const char* pieces[] = {problem, nullptr};
    ReportProblem(pieces);
    OptionsDispose(&options);
    return EXIT_USAGE;
  }
  OutputStart(PLATFORM_STDOUT, PlatformIsTerminal(PLATFORM_STDOUT));
  ResultMode mode = {options.verify, options.tsv, 1};
  int readFailed = 0;
  if (options.help) {
    OutputBytes(UsageText, sizeof UsageText - 2);
    OutputLineEnd();
  } else {
    for (int32_t i = 0; i < options.inputCount && !OutputError(); i++) {
      const CardcodeInput* input = &options.inputs[i];
      if (input->kind == INPUT_TEXT) {
        ResultOfText(&mode, input->text);
      } else if (ResultsOfInput(&mode, input)) {
        readFailed = 1;
      }
    }
  }
  OptionsDispose(&options);
  if (OutputFlush()) {
    const char* pieces[] = {"Schreibfehler: ", PlatformErrorText(OutputError()), nullptr};
    ReportProblem(pieces);
    return EXIT_IO_FAILURE;
  }
  if (readFailed) return EXIT_IO_FAILURE;
  return mode.allValid ? EXIT_ALL_DONE : EXIT_NOT_VALID;
}
