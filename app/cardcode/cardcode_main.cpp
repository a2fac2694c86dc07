// cardcode, the console companion of the utility: the window's card codes
// for lists of numbers, and checks of codes. Usage in UsageText below and
// in docs/cardcode.1.
//
// Exit codes: 0 all done (every code valid), 1 some code did not verify or
// (with --strict) a field was read only in part, 2 usage error (nothing was
// read or printed), 3 a file could not be read or the output could not be
// written (also the core's out-of-memory stop; a closed pipe without a word).
#include <errno.h>

#include "app/cardcode/cardcode_convert.h"
#include "app/cardcode/cardcode_input.h"
#include "app/cardcode/cardcode_options.h"
#include "app/cardcode/cardcode_output.h"
#include "app/cardcode/cardcode_platform.h"
#include "app/cardcode/cardcode_records.h"
#include "app/cardcode/cardcode_state.h"
#include "app/cardcode/cardcode_verify.h"
#include "core/string_buffer.h"

enum { EXIT_ALL_DONE = 0, EXIT_NOT_VALID = 1, EXIT_USAGE = 2, EXIT_IO_FAILURE = 3 };

#ifdef _WIN32
#define END_OF_INPUT_KEYS "Strg+Z und Enter"
#else
#define END_OF_INPUT_KEYS "Strg+D"
#endif

static const char UsageText[] =
    "Aufruf: cardcode [--tsv] [--strict] [NUMMER | -f DATEI | -]...\n"
    "        cardcode --verify [--tsv] [CODE | -f DATEI | -]...\n"
    "        cardcode --csv [--column N|NAME] [--separator ZEICHEN] [--header]\n"
    "                 [--verify] [--strict] [-f DATEI | -]...\n"
    "\n"
    "Gibt zu jeder Kartennummer den Code aus, den \"RFID Nummer\" unter\n"
    "\"berechnet:\" zeigt, eine Zeile je Nummer. Ohne NUMMER liest cardcode\n"
    "eine Nummer je Zeile von der Standardeingabe (leere Zeile: Nummer 0).\n"
    "Dateien dürfen UTF-8, \"Unicode\" (UTF-16) oder ANSI (Windows-1252) sein,\n"
    "mit Zeilenenden von Windows, Linux oder Mac. Ob eine Datei UTF-8 oder ANSI\n"
    "ist, entscheidet ihr erstes Zeichen außerhalb von ASCII. Die Ausgabe ist\n"
    "UTF-8; mit --tsv und --csv bleibt eine ANSI-Eingabe ANSI, auch was\n"
    "cardcode anfügt.\n"
    "\n"
    "  NUMMER        dezimal (12345678), hexadezimal nach $ ($FF),\n"
    "                binär nach % (%101), mit Vorzeichen (-15)\n"
    "  -f DATEI      liest die Zeilen von DATEI (-f - : Standardeingabe)\n"
    "  -             liest die Standardeingabe\n"
    "  --tsv         Eingabe, Tabulator, Ergebnis je Zeile (für Tabellen)\n"
    "  --verify      prüft Codes wie \"1D 00BC614E 2\": gibt die Kartennummer\n"
    "                und OK aus, sonst den Grund; Zeilen \"Eingabe<TAB>Code\"\n"
    "                (von --tsv) prüfen zudem, ob der Code zur Eingabe gehört\n"
    "  --csv         liest CSV-Datensätze und gibt jeden unverändert aus,\n"
    "                mit dem Code (bei --verify dem Ergebnis) als neuem Feld\n"
    "  --column N|NAME  Feld mit der Nummer: Nummer ab 1 (Vorgabe 1) oder\n"
    "                Name aus der Kopfzeile (schließt --header ein)\n"
    "  --separator ZEICHEN  \";\", \",\" oder tab; sonst aus dem ersten\n"
    "                Datensatz erkannt\n"
    "  --header      der erste Datensatz jeder Eingabe ist die Kopfzeile\n"
    "  --strict      Exit-Status 1, wenn eine Nummer nicht ganz gelesen wurde\n"
    "  --            alles Folgende ist NUMMER oder CODE (cardcode -- --5)\n"
    "  --help, -h, /?  diese Hilfe\n"
    "  --version     die Version\n"
    "\n"
    "Beispiele: cardcode 12345678         ->  1D 00BC614E 2\n"
    "           cardcode --verify \"1D 00BC614E 2\"  ->  12345678 OK\n"
    "           cardcode --csv --column Nummer -f liste.csv > codes.csv\n"
    "           cardcode --tsv -f liste.txt > codes.tsv\n"
    "           cardcode --verify -f codes.tsv\n"
    "\n"
    "Was nicht ganz als Nummer gelesen wird (\"12 345\", \"Müller\") oder über\n"
    "64 Bit hinausgeht, bekommt trotzdem den Code des Fensters und eine\n"
    "Warnung: cardcode: DATEI:ZEILE: ...\n"
    "\n"
    "Exit-Status: 0 alles in Ordnung, 1 ein Code ist ungültig (--verify) oder\n"
    "eine Warnung mit --strict, 2 falscher Aufruf, 3 Lese- oder Schreibfehler.\n";

// Writes a text of "\n"-ended lines with the platform's line ends.
static void LinesOutput(const char* text) {
  while (*text) {
    const char* end = text;
    while (*end && *end != '\n') end++;
    OutputBytes(text, (size_t)(end - text));
    OutputLineEnd();
    text = *end ? end + 1 : end;
  }
}

// Reads the records of one input. 0, or the errno of a failed read (the
// unfinished line's output has been withdrawn).
static int RecordsRead(CardcodeRun* run, int descriptor, int first) {
  const CardcodeOptions* plan = run->plan;
  InputState* in = &run->in;
  int csv = plan->layout == LAYOUT_CSV;
  int error = InputStart(in, descriptor, csv && !plan->separator);
  if (error) return error;
  // The first input's encoding mark is kept on the output of --csv.
  if (first && csv && in->markLength) OutputBytes("\xEF\xBB\xBF", 3);
  const char* text = nullptr;
  size_t length = 0;
  InputNext(in, &text, &length);
  int32_t separator = csv ? plan->separator : RECORD_LINES;
  if (!separator) FirstRecordScan(text, length, &separator);
  RecordsOfInput(run, separator);
  do {
    // A failed output is reported at the end.
    if (RecordsFeed(&run->reader, text, length)) return 0;
  } while (InputNext(in, &text, &length));
  if (in->error) {
    // Only a record longer than the output buffer can have gone out in
    // part; it is ended there so that the lines of later inputs stay lines
    // of their own.
    if (OutputDropLine()) OutputLineEnd();
    return in->error;
  }
  RecordsFinish(&run->reader);
  return 0;
}

// Reads one file or standard input. Returns 0, or non-zero after a failure
// that has been reported.
static int ResultsOfInput(CardcodeRun* run, const CardcodeInput* input, int first) {
  int descriptor = PLATFORM_STDIN;
  if (input->kind == INPUT_FILE) {
    descriptor = PlatformOpenRead(input->text);
    if (descriptor < 0) {
      ReportProblem("kann \"", input->text, "\" nicht öffnen: ", PlatformErrorText(errno));
      return 1;
    }
  }
  run->input = input;
  int error = RecordsRead(run, descriptor, first);
  if (input->kind == INPUT_FILE) PlatformClose(descriptor);
  if (error) {
    const char* shown = input->kind == INPUT_FILE ? input->text : "Standardeingabe";
    ReportProblem("Lesefehler in \"", shown, "\": ", PlatformErrorText(error));
    return 1;
  }
  return 0;
}

static int CardcodeMain(int argc, char** argv) {
  PlatformStart();
  StringBufferStart();
  CardcodeRun* run = CardcodeState();
  CardcodeOptions options;
  char problem[512];
  if (OptionsParse(argc, argv, &options, problem, sizeof problem) != OPTIONS_OK) {
    ReportProblem(problem);
    OptionsDispose(&options);
    return EXIT_USAGE;
  }
  run->plan = &options;
  SinksChoose(run, options.verify ? VerdictResult : CodeResult);
  OutputStart(PLATFORM_STDOUT, PlatformIsTerminal(PLATFORM_STDOUT));
  int readFailed = 0;
  if (options.help) {
    LinesOutput(UsageText);
  } else if (options.version) {
    LinesOutput("cardcode " CARDCODE_VERSION "\n");
  } else {
    if (!options.inputNamed && PlatformInputIsConsole()) {
      ReportProblem(options.verify ? "Codes eingeben, einen je Zeile; Ende mit " END_OF_INPUT_KEYS
                                   : "Nummern eingeben, eine je Zeile; Ende mit " END_OF_INPUT_KEYS,
                    " (Hilfe: cardcode --help)");
    }
    for (int32_t i = 0; i < options.inputCount && !OutputError(); i++) {
      const CardcodeInput* input = &options.inputs[i];
      if (input->kind == INPUT_TEXT) {
        ResultOfArgument(run, input);
      } else if (ResultsOfInput(run, input, i == 0)) {
        readFailed = 1;
      }
    }
  }
  OptionsDispose(&options);
  int writeFailed = OutputFlush();
  WarningsSummarize();
  if (writeFailed) {
    // A reader that has gone away wants no more, not even a message.
    if (writeFailed != EPIPE) ReportProblem("Schreibfehler: ", PlatformErrorText(writeFailed));
    return EXIT_IO_FAILURE;
  }
  if (readFailed) return EXIT_IO_FAILURE;
  if (run->notValid || (options.strict && run->warnings)) return EXIT_NOT_VALID;
  return EXIT_ALL_DONE;
}

#ifdef _WIN32
int wmain(int argc, wchar_t** wideArgv) {
  char** argv = PlatformArguments(argc, wideArgv);
  return argv ? CardcodeMain(argc, argv) : EXIT_IO_FAILURE;
}
#else
int main(int argc, char** argv) { return CardcodeMain(argc, argv); }
#endif
