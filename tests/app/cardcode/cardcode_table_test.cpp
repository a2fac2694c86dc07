// cardcode on what Windows and spreadsheet tools write: encodings, line
// ends, delimited records, warnings about texts read only in part, the
// options. The same tables run against the native program and, in the
// Windows build, against cardcode.exe.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "cardcode_process.h"

namespace {

struct Case {
  const char* what;
  std::vector<std::string> args;  // "{dir}" stands for the test's folder
  std::string input;              // standard input
  std::string out;                // "\n" ends a line as the platform does ...
  std::string err;                // (likewise; "{dir}" as in args)
  int exitCode;
  bool exact = false;             // ... unless the output keeps the input's own line ends
  std::vector<std::pair<std::string, std::string>> files = {};  // name and content, in {dir}
  std::pair<std::string, std::string> written = {};  // a file in {dir} and its content afterwards ("\n" as out)
};

std::string Replaced(std::string text, const std::string& dir) {
  for (size_t at = text.find("{dir}"); at != std::string::npos; at = text.find("{dir}", at + dir.size())) {
    text.replace(at, 5, dir);
  }
  return text;
}

void RunCases(const std::vector<Case>& cases) {
  std::string dir = TemporaryPath("");
  dir.pop_back();
  for (const Case& c : cases) {
    for (const auto& file : c.files) WriteFile(dir + "/" + file.first, file.second);
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(Replaced(arg, dir));
    ProcessResult run = RunCardcode(args, c.input);
    EXPECT_EQ(run.out, c.exact ? c.out : PlatformLines(c.out)) << c.what;
    EXPECT_EQ(run.err, PlatformLines(Replaced(c.err, dir))) << c.what;
    EXPECT_EQ(run.exitCode, c.exitCode) << c.what;
    std::string written = c.written.first.empty() ? "" : FileContent(dir + "/" + c.written.first);
    EXPECT_EQ(written, PlatformLines(c.written.second)) << c.what;
  }
}

// UTF-8 text as UTF-16 with its byte order mark.
std::string Utf16(const std::string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  auto unit = [&](unsigned value) {
    char high = (char)(value >> 8), low = (char)(value & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  };
  for (size_t i = 0; i < text.size();) {
    unsigned char first = (unsigned char)text[i];
    int length = first < 0x80 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
    unsigned code = length == 1 ? first : first & (0xFF >> (length + 1));
    for (int k = 1; k < length; k++) code = code << 6 | ((unsigned char)text[i + k] & 0x3F);
    i += (size_t)length;
    if (code >= 0x10000) {
      unit(0xD800 + ((code - 0x10000) >> 10));
      unit(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      unit(code);
    }
  }
  return bytes;
}

const std::string c0 = "1D 00000000 10", c1 = "1D 00000001 9", c2 = "1D 00000002 8", c3 = "1D 00000003 7",
                  c5 = "1D 00000005 5", c7 = "1D 00000007 3", c12 = "1D 0000000C 8", cBig = "1D 00BC614E 2";
const std::string mark = "\xEF\xBB\xBF";

TEST(CardcodeTable, EncodingsAreDecodedAtTheStartOfEachInput) {
  const std::string blanks(65535, ' ');  // then a line end: the next byte starts the second read block
  RunCases({
      {"UTF-8 mark skipped", {"--tsv"}, mark + "12\n", "12\t" + c12 + "\n", "", 0},
      {"UTF-16LE", {"--tsv"}, Utf16("5\r\nMüller\r\n", false), "5\t" + c5 + "\nMüller\t" + c0 + "\n",
       "cardcode: Eingabe, Zeile 2: keine Zahl: \"Müller\"\n", 0},
      {"UTF-16BE, beyond the BMP", {"--tsv"}, Utf16("7\n\xF0\x9D\x9F\x95\n", true),
       "7\t" + c7 + "\n\xF0\x9D\x9F\x95\t" + c0 + "\n", "cardcode: Eingabe, Zeile 2: keine Zahl: \"\xF0\x9D\x9F\x95\"\n", 0},
      {"a lone surrogate and an odd last byte", {"--tsv"}, std::string("\xFF\xFE" "1\0\n\0\x00\xD8" "2\0\n\0" "3", 13),
       "1\t" + c1 + "\n\xEF\xBF\xBD" "2\t" + c0 + "\n\xEF\xBF\xBD\t" + c0 + "\n",
       "cardcode: Eingabe, Zeile 2: keine Zahl: \"\xEF\xBF\xBD" "2\"\ncardcode: Eingabe, Zeile 3: keine Zahl: \"\xEF\xBF\xBD\"\n", 0},
      {"--csv: an odd last byte alone is a record", {"--csv", "--strict"}, "\xFE\xFF" "3",
       mark + "\xEF\xBF\xBD;" + c0 + "\n", "cardcode: Eingabe, Zeile 1: keine Zahl: \"\xEF\xBF\xBD\"\n", 1},
      {"--csv: a lone surrogate ends an open quote", {"--csv"}, std::string("\xFF\xFE\"\0" "5\0\0\xD8", 8),
       mark + "\"5\xEF\xBF\xBD;" + c5 + "\n", "cardcode: Eingabe, Zeile 1: Anführungszeichen bis zum Dateiende nicht "
       "geschlossen\ncardcode: Eingabe, Zeile 1: nur \"5\" gelesen, Rest ignoriert: \"\xEF\xBF\xBD\"\n", 0},
      {"NUL bytes without a mark are text", {}, std::string("5\0\n\0", 4), c5 + "\n" + c0 + "\n",
       "cardcode: Eingabe, Zeile 1: nur \"5\" gelesen, Rest ignoriert: \"?\"\ncardcode: Eingabe, Zeile 2: keine Zahl: \"?\"\n", 0},
      {"a mark later in the input is text", {}, "1\n" + mark + "2\n", c1 + "\n" + c0 + "\n",
       "cardcode: Eingabe, Zeile 2: keine Zahl: \"" + mark + "2\"\n", 0},
      {"each input has its own mark", {"-f", "{dir}/a.txt", "-f", "{dir}/b.txt", "-"}, mark + "3\n",
       c1 + "\n" + c2 + "\n" + c3 + "\n", "", 0, false, {{"a.txt", mark + "1"}, {"b.txt", Utf16("2\r\n", true)}}},
      {"only a mark", {}, mark, "", "", 0},
      {"names and arguments as typed", {"-f", "{dir}/Ω.txt", "-f", "{dir}/日本.txt", "１２"}, "",
       c5 + "\n" + c7 + "\n" + c0 + "\n", "cardcode: Argument 5: keine Zahl: \"１２\"\n", 0, false,
       {{"Ω.txt", "5\n"}, {"日本.txt", "7"}}},
      {"Windows-1252 decoded for warnings, echoed as read", {"--tsv"}, "M\xFCller\x80\x81\x9D\xFF\n",
       "M\xFCller\x80\x81\x9D\xFF\t" + c0 + "\n", "cardcode: Eingabe, Zeile 1: keine Zahl: \"Müller€\xC2\x81\xC2\x9Dÿ\"\n", 0},
      {"Windows-1252 verdict", {"--tsv", "--verify"}, "\xC4\t" + c5, "\xC4\t" + c5 + "\tCode geh\xF6rt zu 5, nicht zu 0\n", "",
       1},
      {"first non-ASCII byte after 64 KiB", {"--tsv", "-f", "{dir}/a"}, "", blanks + "\t" + c0 + "\n\xFC\t" + c0 + "\n",
       "cardcode: {dir}/a, Zeile 2: keine Zahl: \"ü\"\n", 0, false, {{"a", blanks + "\n\xFC\n"}}},
      {"UTF-8 cut by the block end, then invalid", {"--tsv", "-f", "{dir}/b"}, "", blanks.substr(1) + "\t" + c0 +
       "\nü\t" + c0 + "\n\xFC\t" + c0 + "\n", "cardcode: {dir}/b, Zeile 2: keine Zahl: \"ü\"\ncardcode: {dir}/b, Zeile 3: "
       "keine Zahl: \"\xFC\"\n", 0, false, {{"b", blanks.substr(1) + "\nü\n\xFC\n"}}},
      {"UTF-8 cut by the end", {"--csv"}, "x\xC3", "x\xC3;" + c0 + "\n", "cardcode: Eingabe, Zeile 1: keine Zahl: \"xÃ\"\n", 0},
  });
}

// Many read blocks of UTF-16, with surrogate pairs and CRLF pairs falling
// on block ends somewhere, give the same codes as the UTF-8 text.
TEST(CardcodeTable, Utf16StreamsAcrossReadBlocks) {
  std::string text, expected;
  for (int i = 0; i < 40000; i++) {
    text += std::to_string(i * 7919) + (i % 3 ? "\r\n" : "\t\xF0\x9F\x98\x80\r\n");
    expected += ModelCode(i * 7919) + "\n";
  }
  std::string path = TemporaryPath("long-utf16.txt");
  WriteFile(path, Utf16(text, true));
  ProcessResult run = RunCardcode({"-f", path});
  EXPECT_TRUE(run.out == PlatformLines(expected)) << "output of " << run.out.size() << " bytes";
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 11) << "ten warnings and the total";
}

TEST(CardcodeTable, LfCrLfAndALoneCrEachEndALine) {
  RunCases({
      {"LF", {}, "1\n2\n", c1 + "\n" + c2 + "\n", "", 0},
      {"CRLF", {}, "1\r\n2\r\n", c1 + "\n" + c2 + "\n", "", 0},
      {"CR", {}, "1\r2\r3\r", c1 + "\n" + c2 + "\n" + c3 + "\n", "", 0},
      {"mixed, the last without an end", {}, "1\n2\r\n3\r5", c1 + "\n" + c2 + "\n" + c3 + "\n" + c5 + "\n", "", 0},
      {"empty lines of each kind", {}, "\r\r\n\n\n\r", c0 + "\n" + c0 + "\n" + c0 + "\n" + c0 + "\n" + c0 + "\n", "", 0},
      {"tsv echoes the line without its end", {"--tsv"}, "7\r8\r\n 9x\n",
       "7\t" + c7 + "\n8\t1D 00000008 2\n 9x\t1D 00000009 1\n", "cardcode: Eingabe, Zeile 3: nur \"9\" gelesen, Rest ignoriert: \"x\"\n", 0},
      {"physical lines count", {}, "a\rb\r\nc\n\rd", c0 + "\n" + c0 + "\n" + c0 + "\n" + c0 + "\n" + c0 + "\n",
       "cardcode: Eingabe, Zeile 1: keine Zahl: \"a\"\ncardcode: Eingabe, Zeile 2: keine Zahl: \"b\"\ncardcode: Eingabe, Zeile 3: keine Zahl: \"c\"\n"
       "cardcode: Eingabe, Zeile 5: keine Zahl: \"d\"\n",
       0},
  });
}

TEST(CardcodeTable, CsvRecordsComeBackAsReadWithTheCodeAppended) {
  RunCases({
      {"quoted separator", {"--csv", "--column", "2"}, "\"a;b\";5\r\n", "\"a;b\";5;" + c5 + "\r\n", "", 0, true},
      {"quoted line break, lines counted", {"--csv", "--column", "2"}, "\"x\ny\";7\nq;z\n",
       "\"x\ny\";7;" + c7 + "\nq;z;" + c0 + "\n", "cardcode: Eingabe, Zeile 3: keine Zahl: \"z\"\n", 0, true},
      {"doubled quotes, quoted number", {"--csv", "--column", "2"}, "\"sag \"\"hi\"\"\";\"12\"\n",
       "\"sag \"\"hi\"\"\";\"12\";" + c12 + "\n", "", 0, true},
      {"empty field", {"--csv", "--column", "2"}, "a;;c\n", "a;;c;" + c0 + "\n", "", 0, true},
      {"missing field, none for a blank line", {"--csv", "--column", "3"}, "a;5\nb\n\n \t\n",
       "a;5;\nb;\n;\n \t;\n", "cardcode: Eingabe, Zeile 1: Spalte 3 fehlt (die Zeile hat nur 2 Spalten)\n"
       "cardcode: Eingabe, Zeile 2: Spalte 3 fehlt (die Zeile hat nur 1 Spalte)\n", 0, true},
      {"header by name", {"--csv", "--column", "KARTENNUMMER"}, "Name;\" Kartennummer \"\r\nX;5\r\n",
       "Name;\" Kartennummer \";Code\r\nX;5;" + c5 + "\r\n", "", 0, true},
      {"header name with umlauts in another case", {"--csv", "--column", "änderung"}, "X;ÄNDERUNG\n1;5\n",
       "X;ÄNDERUNG;Code\n1;5;" + c5 + "\n", "", 0, true},
      {"header name missing: nothing of that input", {"--csv", "--column", "Nummer", "-", "-f", "{dir}/n.csv"},
       "Name;Nr;Ort;Tel\nX;5\n", "Nummer;Code\n7;" + c7 + "\n",
       "cardcode: Eingabe, Zeile 1: Spalte \"Nummer\" nicht in der Kopfzeile gefunden (Spalten: \"Name\", \"Nr\", "
       "\"Ort\", ...)\n", 3, true, {{"n.csv", "Nummer\n7\n"}}},
      {"a header name of any length", {"--csv", "--column", std::string(300, 'N') + "é"},
       "x;" + std::string(300, 'n') + "É \n1;5\n", "x;" + std::string(300, 'n') + "É ;Code\n1;5;" + c5 + "\n", "",
       0, true},
      {"the last --column wins whole", {"--csv", "--column", "Nr", "--column", " 2 "}, "Nr;5\n", "Nr;5;" + c5 + "\n",
       "", 0, true},
      {"a column name of digits and more", {"--csv", "--column", "+2"}, "Nr;Code\n1;5\n", "",
       "cardcode: Eingabe, Zeile 1: Spalte \"+2\" nicht in der Kopfzeile gefunden (Spalten: \"Nr\", \"Code\")\n", 3,
       true},
      {"column 2147483647", {"--csv", "--column", "2147483647"}, "5\n", "5;\n",
       "cardcode: Eingabe, Zeile 1: Spalte 2147483647 fehlt (die Zeile hat nur 1 Spalte)\n", 0, true},
      {"header by option", {"--csv", "--header"}, "Nr\n5\n", "Nr;Code\n5;" + c5 + "\n", "", 0, true},
      {"Windows-1252 header by name", {"--csv", "--column", "Schlüssel-Nr"}, "N;Schl\xFCssel-Nr\r\nM\xFCller;5\r\n",
       "N;Schl\xFCssel-Nr;Code\r\nM\xFCller;5;" + c5 + "\r\n", "", 0, true},
      {"Windows-1252 verdict header", {"--csv", "--header", "--verify"}, "Code;K\xFCrzel\n1D 00000005 4;x\n",
       "Code;K\xFCrzel;Pr\xFC" "fung\n1D 00000005 4;x;Pr\xFC" "fwert 4 falsch, richtig w\xE4re 5\n", "", 1, true},
      {"mark kept, UTF-16 as UTF-8", {"--csv", "-", "-f", "{dir}/u.csv"}, mark + "5\n",
       mark + "5;" + c5 + "\n7;" + c7 + "\r\n", "", 0, true, {{"u.csv", Utf16("7\r\n", false)}}},
      {"each record keeps its line end", {"--csv"}, "1\r\n2\r3\n", "1;" + c1 + "\r\n2;" + c2 + "\r3;" + c3 + "\n", "",
       0, true},
      {"comma detected", {"--csv", "--column", "3"}, "a,b,5\n", "a,b,5," + c5 + "\n", "", 0, true},
      {"tab detected", {"--csv", "--column", "2"}, "a\t5\n", "a\t5\t" + c5 + "\n", "", 0, true},
      {"detection reads the first MiB", {"--csv", "--column", "2", "-f", "{dir}/in.csv", "-f", "{dir}/out.csv"}, "",
       "\"" + std::string(1048573, 'x') + "\",5," + c5 + "\n\"" + std::string(1048574, 'x') + "\",5;\n",
       "cardcode: {dir}/out.csv, Zeile 1: Spalte 2 fehlt (die Zeile hat nur 1 Spalte)\n", 0, true,
       {{"in.csv", "\"" + std::string(1048573, 'x') + "\",5\n"}, {"out.csv", "\"" + std::string(1048574, 'x') + "\",5\n"}}},
      {"a tie goes to the semicolon", {"--csv"}, "5;a,b\n", "5;a,b;" + c5 + "\n", "", 0, true},
      {"quoted separators do not count", {"--csv", "--column", "2"}, "\"a,b,c\";5\n",
       "\"a,b,c\";5;" + c5 + "\n", "", 0, true},
      {"separator given", {"--csv", "--separator", ",", "--column", "2"}, "a;5,7\n", "a;5,7," + c7 + "\n", "", 0,
       true},
      {"verdict quoted when it holds the separator", {"--csv", "--separator", ",", "--verify"}, "1D 00BC614E 3,x\n",
       "1D 00BC614E 3,x,\"Prüfwert 3 falsch, richtig wäre 2\"\n", "", 1, true},
      {"verdict header", {"--csv", "--header", "--verify"}, "Code\n1D 00000005 5\n", "Code;Prüfung\n1D 00000005 5;5 OK\n",
       "", 0, true},
      {"last record without a line end", {"--csv", "--column", "2"}, "a;5", "a;5;" + c5 + "\n", "", 0},
      {"quote left open", {"--csv"}, "\"5\r6", "\"5\r6;" + c5 + "\n",
       "cardcode: Eingabe, Zeile 1: Anführungszeichen bis zum Dateiende nicht geschlossen\n"
       "cardcode: Eingabe, Zeile 1: nur \"5\" gelesen, Rest ignoriert: \"?6\"\n", 0},
  });
}

TEST(CardcodeTable, TextsReadOnlyInPartAreWarnedAbout) {
  std::string eleven = "x\n", elevenCodes = c0 + "\n", tenWarnings;
  for (int i = 1; i <= 10; i++) {
    eleven += "x\n";
    elevenCodes += c0 + "\n";
    tenWarnings += "cardcode: Eingabe, Zeile " + std::to_string(i) + ": keine Zahl: \"x\"\n";
  }
  RunCases({
      {"what is not read", {}, "12 345 678\n12abc\n  +7  \t\n-\n$\n%2\n\t\n",
       c12 + "\n" + c12 + "\n" + c7 + "\n" + c0 + "\n" + c0 + "\n" + c0 + "\n" + c0 + "\n",
       "cardcode: Eingabe, Zeile 1: nur \"12\" gelesen, Rest ignoriert: \" 345 678\"\ncardcode: Eingabe, Zeile 2: nur \"12\" gelesen, Rest ignoriert: \"abc\"\n"
       "cardcode: Eingabe, Zeile 4: keine Zahl: \"-\"\ncardcode: Eingabe, Zeile 5: keine Zahl: \"$\"\ncardcode: Eingabe, Zeile 6: keine Zahl: \"%2\"\n",
       0},
      {"wrapping numbers", {}, "9223372036854775807\n-9223372036854775808\n9223372036854775808\n$FFFFFFFFFFFFFFFF\n"
       "$10000000000000000\n%00000000000000000000000000000000000000000000000000000000000000000001\n"
       "18446744073709551616x\n",
       "1D 7FFFFFFFFFFFFFFF 3\n1D 8000000000000000 18\n1D 8000000000000000 18\n1D FFFFFFFFFFFFFFFF 11\n" + c0 + "\n" +
           c1 + "\n" + c0 + "\n",
       "cardcode: Eingabe, Zeile 3: Zahl zu groß (mehr als 64 Bit), Code ist falsch: \"9223372036854775808\"\n"
       "cardcode: Eingabe, Zeile 5: Zahl zu groß (mehr als 64 Bit), Code ist falsch: \"$10000000000000000\"\n"
       "cardcode: Eingabe, Zeile 7: nur \"18446744073709551616\" gelesen, Rest ignoriert: \"x\"; Zahl zu groß (mehr als 64 Bit)\n",
       0},
      {"cut to 40 bytes, not inside a character", {"1" + std::string(50, 'x'), "1" + std::string(39, 'y') + "äz"}, "",
       c1 + "\n" + c1 + "\n", "cardcode: Argument 1: nur \"1\" gelesen, Rest ignoriert: \"" + std::string(40, 'x') + "...\"\n"
       "cardcode: Argument 2: nur \"1\" gelesen, Rest ignoriert: \"" + std::string(39, 'y') + "...\"\n", 0},
      {"ten shown, then one line more", {}, eleven, elevenCodes,
       tenWarnings + "cardcode: insgesamt 11 Warnungen; 1 weitere nicht angezeigt\n", 0},
      {"two hidden", {}, eleven + "y\n", elevenCodes + c0 + "\n",
       tenWarnings + "cardcode: insgesamt 12 Warnungen; 2 weitere nicht angezeigt\n", 0},
      {"--strict", {"--strict", "-f", "{dir}/w.txt"}, "", c1 + "\n" + c0 + "\n",
       "cardcode: {dir}/w.txt, Zeile 2: keine Zahl: \"x\"\n", 1, false, {{"w.txt", "1\nx\n"}}},
      {"--strict, all clean", {"--strict", "5"}, "", c5 + "\n", "", 0},
  });
}

TEST(CardcodeTable, OptionsAndUsageErrors) {
  const std::string hint = " (Hilfe: cardcode --help)\n";
  RunCases({
      {"--version", {"--version", "5"}, "", "cardcode " CARDCODE_VERSION "\n", "", 0},
      {"inputs in argument order, -f - reads standard input", {"1", "-f", "{dir}/l", "-f", "-", "2", "-f", "{dir}/l"},
       "3\n", c1 + "\n" + ModelCode(10) + "\n" + ModelCode(11) + "\n" + c3 + "\n" + c2 + "\n" + ModelCode(10) + "\n" +
       ModelCode(11) + "\n", "", 0, false, {{"l", "10\n11"}}},
      {"--csv with --tsv", {"--csv", "--tsv"}, "", "", "cardcode: --csv und --tsv können nicht zusammen verwendet werden" + hint, 2},
      {"--column without --csv", {"--column", "2"}, "", "",
       "cardcode: --column, --separator und --header sind nur zusammen mit --csv möglich" + hint, 2},
      {"--header without --csv", {"--header"}, "", "",
       "cardcode: --column, --separator und --header sind nur zusammen mit --csv möglich" + hint, 2},
      {"an unknown separator", {"--csv", "--separator", "x"}, "", "",
       "cardcode: --separator erwartet \";\", \",\" oder \"tab\", nicht \"x\"" + hint, 2},
      {"column 0", {"--csv", "--column", "0"}, "", "",
       "cardcode: --column erwartet eine Spaltennummer von 1 bis 2147483647 oder eine Überschrift, nicht \"0\"" + hint, 2},
      {"column 2147483648", {"--csv", "--column", "2147483648"}, "", "",
       "cardcode: --column erwartet eine Spaltennummer von 1 bis 2147483647 oder eine Überschrift, nicht \"2147483648\"" + hint, 2},
      {"a folder, and the status outranks a verdict", {"--verify", "-f", "{dir}", "5"}, "",
       "kein Code: beginnt nicht mit \"1D \"\n",
       "cardcode: \"{dir}\" kann nicht geöffnet werden: Das ist ein Ordner, keine Datei\n", 3},
      {"a value missing", {"--csv", "--column"}, "", "", "cardcode: --column erwartet einen Wert" + hint, 2},
      {"-f at the end", {"--tsv", "-f", "{dir}/o.txt", "-f"}, "", "", "cardcode: -f erwartet einen Dateinamen" + hint, 2},
      {"unknown after inputs", {"1", "2", "--bogus"}, "", "", "cardcode: unbekannte Option \"--bogus\"" + hint, 2},
      {"options are case-sensitive", {"--HELP"}, "", "", "cardcode: unbekannte Option \"--HELP\"" + hint, 2},
      {"a file name missing", {"5", "-o"}, "", "", "cardcode: -o erwartet einen Dateinamen" + hint, 2},
      {"a Windows option", {"5", "/f", "x.txt"}, "", "", "cardcode: unbekannte Option \"/f\"" + hint, 2},
      {"a letter", {"-x"}, "", "", "cardcode: unbekannte Option \"-x\"" + hint, 2},
      {"unknown, file kept", {"--verify=1", "-o", "{dir}/k"}, "", "", "cardcode: unbekannte Option \"--verify=1\"" + hint,
       2, false, {{"k", "alt"}}, {"k", "alt"}},
      {"-o replaces", {"5", "--output", "{dir}/o.txt"}, "", "", "", 0, false, {{"o.txt", "alt"}}, {"o.txt", c5 + "\n"}},
      {"-o names the input, last -o counts", {"--verify", "-f", "{dir}/io.txt", "-o", "x", "-o", "{dir}/io.txt"}, "",
       "", "", 1, false, {{"io.txt", "1D 00000005 5\n1D 00000005 4\n"}},
       {"io.txt", "5 OK\nPrüfwert 4 falsch, richtig wäre 5\n"}},
  });
  for (const char* help : {"-h", "/?", "--help"}) {
    ProcessResult run = RunCardcode({help, "5"});
    EXPECT_EQ(run.out.compare(0, 16, "Aufruf: cardcode"), 0) << help;
    for (const char* option : {"--tsv", "--verify", "-f DATEI", "  -  ", "  --  ", "--csv", "--column", "--separator",
                               "--header", "--strict", "--version", "UTF-16", "Windows-1252"}) {
      EXPECT_NE(run.out.find(option), std::string::npos) << help << " " << option;
    }
    EXPECT_EQ(run.out.find(c5), std::string::npos) << help << " converts nothing";
    EXPECT_EQ(run.exitCode, 0) << help;
  }
}

// cardcode big.txt | head -1: the reader goes away, cardcode stops without
// a word, with the status of a write failure.
TEST(CardcodeTable, AReaderThatWentAwayEndsTheRunSilently) {
  ProcessSetup setup;
  setup.args = {"-"};
  for (int i = 0; i < 100000; i++) setup.input += "123456\n";
  setup.closeOutputAfter = 1000;
  ProcessResult run = RunCardcode(setup);
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.err, "");
}

TEST(CardcodeTable, VerifyReadsBackWhatTsvWrote) {
  RunCases({
      {"pairs", {"--verify"}, "5\t1D 00000005 5\n\t1D 00000000 10\n12\t" + cBig + "\nx\ty\n a\tb\t1D 00000005 5\n",
       "5 OK\n0 OK\nCode gehört zu 12345678, nicht zu 12\nkein Code: beginnt nicht mit \"1D \"\n"
       "Code gehört zu 5, nicht zu 0\n",
       "", 1},
  });
  std::string list = TemporaryPath("list.txt"), codes = TemporaryPath("codes.tsv");
  WriteFile(list, "0012\r\n-15\r\n$FF\r\n\r\n12345678\r\n");
  ProcessResult tsv = RunCardcode({"--tsv", "-f", list});
  WriteFile(codes, tsv.out);
  ProcessResult verified = RunCardcode({"--verify", "-f", codes});
  EXPECT_EQ(verified.out, PlatformLines("12 OK\n-15 OK\n255 OK\n0 OK\n12345678 OK\n"));
  EXPECT_EQ(verified.exitCode, 0);
}

}  // namespace
