// cardcode, the console companion of the utility: the window's card codes
// for lists of numbers, and checks of codes. Usage in UsageText below and
// in docs/cardcode.1.
//
// Exit codes: 0 all done (every code valid), 1 some code did not verify or
// (with --strict) there was a warning, 2 usage error (nothing was read or
// printed, no file made), 3 a file could not be read or converted (--column
// NAME not in its header), the output could not be written, or memory was
// short (a closed pipe without a word). With -o the file is replaced only on
// 0 or 1.
#include <errno.h>
#include <stdlib.h>

#include "app/cardcode/cardcode_convert.h"
#include "app/cardcode/cardcode_input.h"
#include "app/cardcode/cardcode_options.h"
#include "app/cardcode/cardcode_output.h"
#include "app/cardcode/cardcode_platform.h"
#include "app/cardcode/cardcode_records.h"
#include "app/cardcode/cardcode_sinks.h"
#include "app/cardcode/cardcode_state.h"
#include "app/cardcode/cardcode_verify.h"
#include "core/string_buffer.h"

enum { EXIT_ALL_DONE = 0, EXIT_NOT_VALID = 1, EXIT_USAGE = 2, EXIT_IO_FAILURE = 3 };

#ifdef _WIN32
#define END_OF_INPUT_KEYS "Strg+Z und Eingabetaste"
#else
#define END_OF_INPUT_KEYS "Strg+D"
#endif

static const char UsageText[] =
    "Aufruf: cardcode [--tsv] [--strict] [-o DATEI] [NUMMER | -f DATEI | -]...\n"
    "        cardcode --verify [--tsv] [-o DATEI] [CODE | -f DATEI | -]...\n"
    "        cardcode --csv [--column N|NAME] [--separator ZEICHEN] [--header]\n"
    "                 [--verify] [--strict] [-o DATEI] [-f DATEI | -]...\n"
    "\n"
    "Gibt zu jeder Kartennummer den Code aus, den „RFID Nummer“ unter\n"
    "„berechnet:“ zeigt, eine Zeile pro Nummer. Ohne NUMMER liest cardcode\n"
    "eine Nummer pro Zeile aus der Eingabe (leere Zeile: Nummer 0). Dateien\n"
    "dürfen UTF-8, UTF-16 („Unicode“) oder ANSI (Windows-1252) sein, mit\n"
    "Zeilenenden von Windows, Linux oder Mac. Ob eine Datei UTF-8 oder ANSI\n"
    "ist, entscheidet ihr erstes Zeichen außerhalb von ASCII. Die Ausgabe ist\n"
    "UTF-8; mit --tsv und --csv bleibt eine ANSI-Eingabe ANSI, auch was\n"
    "cardcode anfügt.\n"
    "\n"
    "  NUMMER        dezimal (12345678), hexadezimal mit vorangestelltem $\n"
    "                ($FF), binär mit vorangestelltem % (%101), auch\n"
    "                negativ (-15)\n"
    "  -f DATEI      liest die Zeilen aus DATEI (-f - liest die Eingabe)\n"
    "  -             liest die Eingabe\n"
    "  -o DATEI      schreibt die Ausgabe in DATEI; die Datei wird erst am\n"
    "                Ende ersetzt und nur bei Rückgabecode 0 oder 1\n"
    "                (in Windows PowerShell 5.1 statt > DATEI)\n"
    "  --tsv         pro Zeile Eingabe, Tabulator und Ergebnis (für Tabellen)\n"
    "  --verify      prüft Codes wie \"1D 00BC614E 2\": gibt die Kartennummer\n"
    "                und OK aus, sonst den Grund; bei Zeilen „Eingabe<TAB>Code“\n"
    "                (von --tsv) wird zudem geprüft, ob der Code zur Eingabe\n"
    "                gehört\n"
    "  --csv         gibt jede Zeile einer CSV-Datei unverändert aus, mit dem\n"
    "                Code (bei --verify dem Ergebnis) als neuer Spalte\n"
    "  --column N|NAME  Spalte mit der Kartennummer: nur Ziffern sind eine\n"
    "                Spaltennummer ab 1 (Standard: 1), sonst eine Überschrift\n"
    "                aus der Kopfzeile (schließt --header ein); das letzte\n"
    "                --column gilt\n"
    "  --separator ZEICHEN  \";\", \",\" oder tab; sonst an der ersten Zeile\n"
    "                erkannt (an höchstens 1 MiB davon)\n"
    "  --header      die erste Zeile jeder Datei ist die Kopfzeile\n"
    "  --strict      Rückgabecode 1 bei jeder Warnung\n"
    "  --            alles Folgende ist NUMMER oder CODE\n"
    "  --help, -h, /?  Hilfe anzeigen\n"
    "  --version     Version anzeigen\n"
    "\n"
    "Optionen beginnen mit - oder --. Ein unbekanntes Argument wie /f oder -x\n"
    "ist ein Aufruffehler; negative Nummern wie -5 gehen ohne Weiteres.\n"
    "\n"
    "Beispiele: cardcode 12345678         ->  1D 00BC614E 2\n"
    "           cardcode --verify \"1D 00BC614E 2\"  ->  12345678 OK\n"
    "           cardcode --csv --column Nummer -f liste.csv -o codes.csv\n"
    "           cardcode --tsv -f liste.txt -o codes.tsv\n"
    "           cardcode --verify -f codes.tsv\n"
    "\n"
    "Was nicht ganz als Nummer gelesen wird („12 345“, „Müller“) oder über\n"
    "64 Bit hinausgeht, erhält trotzdem den Code, den auch das Fenster zeigt\n"
    "(meist falsch), und eine Warnung mit dem Ort, zum Beispiel:\n"
    "  cardcode: nummern.txt, Zeile 3: keine Zahl: \"Müller\"\n"
    "\n"
    "Rückgabecode (ERRORLEVEL): 0 alles in Ordnung, 1 ein Code ist ungültig\n"
    "(--verify) oder eine Warnung mit --strict, 2 falscher Aufruf, 3 eine\n"
    "Datei ließ sich nicht lesen oder umrechnen (die Spalte von --column NAME\n"
    "fehlt in ihrer Kopfzeile), die Ausgabe ließ sich nicht schreiben, oder\n"
    "der Arbeitsspeicher reichte nicht.\n";

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
  if (!separator) separator = in->scan.separator;
  RecordsOfInput(run, separator);
  do {
    // Stopped by a failed output (reported at the end) or a refused input.
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
      ReportProblem("\"", input->text, "\" kann nicht geöffnet werden: ", PlatformErrorText(errno));
      return 1;
    }
  }
  run->input = input;
  int error = RecordsRead(run, descriptor, first);
  if (input->kind == INPUT_FILE) PlatformClose(descriptor);
  if (error) {
    if (input->kind == INPUT_FILE) {
      ReportProblem("Lesefehler in \"", input->text, "\": ", PlatformErrorText(error));
    } else {
      ReportProblem("Lesefehler in der Eingabe: ", PlatformErrorText(error));
    }
    return 1;
  }
  return 0;
}

// The output of the plan: help, version, or the results of every input.
// Non-zero when an input could not be read.
static int ResultsOfPlan(CardcodeRun* run, const CardcodeOptions* plan) {
  if (plan->help) {
    LinesOutput(UsageText);
    return 0;
  }
  if (plan->version) {
    LinesOutput("cardcode " CARDCODE_VERSION "\n");
    return 0;
  }
  if (!plan->inputNamed && PlatformInputIsConsole()) {
    ReportProblem(plan->verify ? "Geben Sie die Codes ein, einen pro Zeile. "
                               : "Geben Sie die Nummern ein, eine pro Zeile. ",
                  "Beenden mit " END_OF_INPUT_KEYS ". (Hilfe: cardcode --help)");
  }
  int readFailed = 0;
  for (int32_t i = 0; i < plan->inputCount && !OutputError(); i++) {
    const CardcodeInput* input = &plan->inputs[i];
    if (input->kind == INPUT_TEXT) {
      ResultOfArgument(run, input);
    } else if (ResultsOfInput(run, input, i == 0)) {
      readFailed = 1;
    }
  }
  return readFailed;
}

// -o: the new file takes the old one's place only when the run went well
// enough (status 0 or 1); otherwise it goes and the old file stays as it
// was. Returns the final status.
static int OutputFileEnd(const char* path, int descriptor, char* temporary, int status) {
  int failed = PlatformClose(descriptor) != 0;
  if (!temporary) return failed && status <= EXIT_NOT_VALID ? EXIT_IO_FAILURE : status;
  if (failed && status <= EXIT_NOT_VALID) {
    ReportProblem("Schreibfehler in \"", path, "\": ", PlatformErrorText(errno));
    status = EXIT_IO_FAILURE;
  } else if (status <= EXIT_NOT_VALID && PlatformReplace(temporary, path) != 0) {
    ReportProblem("\"", path, "\" kann nicht ersetzt werden: ", PlatformErrorText(errno));
    status = EXIT_IO_FAILURE;
  }
  if (status > EXIT_NOT_VALID) PlatformRemove(temporary);
  free(temporary);
  return status;
}

// Writes the results of the plan to descriptor; the exit status.
static int CardcodeRunPlan(CardcodeRun* run, const CardcodeOptions* plan, int descriptor) {
  run->plan = plan;
  SinksChoose(run, plan->verify ? VerdictResult : CodeResult);
  OutputStart(descriptor, PlatformIsTerminal(descriptor));
  int readFailed = ResultsOfPlan(run, plan);
  int writeFailed = OutputFlush();
  WarningsSummarize();
  if (writeFailed) {
    // A reader that has gone away wants no more, not even a message.
    if (plan->output) {
      ReportProblem("Schreibfehler in \"", plan->output, "\": ", PlatformErrorText(writeFailed));
    } else if (writeFailed != EPIPE) {
      ReportProblem("Schreibfehler in der Ausgabe: ", PlatformErrorText(writeFailed));
    }
    return EXIT_IO_FAILURE;
  }
  if (readFailed || run->refused) return EXIT_IO_FAILURE;
  if (run->notValid || (plan->strict && run->warnings)) return EXIT_NOT_VALID;
  return EXIT_ALL_DONE;
}

static int CardcodeMain(int argc, char** argv) {
  PlatformStart();
  StringBufferStart();
  CardcodeOptions options;
  char problem[512];
  int parsed = OptionsParse(argc, argv, &options, problem, sizeof problem);
  if (parsed != OPTIONS_OK) {
    ReportProblem(problem);
    OptionsDispose(&options);
    return parsed == OPTIONS_NO_MEMORY ? EXIT_IO_FAILURE : EXIT_USAGE;
  }
  int status = EXIT_IO_FAILURE;
  char* temporary = nullptr;
  if (!options.output) {
    status = CardcodeRunPlan(CardcodeState(), &options, PLATFORM_STDOUT);
  } else {
    int descriptor = PlatformCreateBeside(options.output, &temporary);
    if (descriptor < 0) {
      ReportProblem("\"", options.output, "\" kann nicht angelegt werden: ", PlatformErrorText(errno));
    } else {
      status = CardcodeRunPlan(CardcodeState(), &options, descriptor);
      status = OutputFileEnd(options.output, descriptor, temporary, status);
    }
  }
  OptionsDispose(&options);
  return status;
}

#ifdef _WIN32
int wmain(int argc, wchar_t** wideArgv) {
  char** argv = PlatformArguments(argc, wideArgv);
  return argv ? CardcodeMain(argc, argv) : EXIT_IO_FAILURE;
}
#else
int main(int argc, char** argv) { return CardcodeMain(argc, argv); }
#endif
