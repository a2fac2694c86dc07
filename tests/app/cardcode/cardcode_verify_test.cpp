// cardcode --verify: every code cardcode prints verifies to its number, and
// no other text is accepted.
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "cardcode_process.h"

namespace {

struct VerifyCase {
  std::string code;
  std::string verdict;
};

TEST(CardcodeVerify, EachCodeGetsItsNumberOrAReason) {
  const VerifyCase cases[] = {
      {"1D 00BC614E 2", "12345678 OK"},
      {"1D 00000000 10", "0 OK"},
      {"1D 100000000 4", "4294967296 OK"},
      {"1D FFFFFFFFFFFFFFF1 15", "-15 OK"},
      {"1D 8000000000000000 18", "-9223372036854775808 OK"},
      {"1D 00BC614E 3", "Prüfwert 3 falsch, richtig wäre 2"},
      {"1D 00BC614E 02", "Prüfwert 02 falsch, richtig wäre 2"},
      {"1D FFFFFFFFFFFFFFF1 5", "Prüfwert 5 falsch, richtig wäre 15"},
      {"1D BC614E 2", "kein Code: Hex-Zahl hat 6 statt 8 Stellen"},
      {"1D 5 5", "kein Code: Hex-Zahl hat 1 statt 8 Stellen"},
      {"1D 0100000000 4", "kein Code: zu viele führende Nullen in der Hex-Zahl"},
      {"1D 00000000000000000 10", "kein Code: mehr als 16 Hex-Ziffern"},
      {"1D 00bc614e 2", "kein Code: Hex-Ziffern A-F müssen großgeschrieben sein"},
      {"1d 00BC614E 2", "kein Code: beginnt nicht mit \"1D \""},
      {" 1D 00BC614E 2", "kein Code: beginnt nicht mit \"1D \""},
      {"12345678", "kein Code: beginnt nicht mit \"1D \""},
      {"", "kein Code: leere Zeile"},
      {"1D ", "kein Code: keine Hex-Ziffern nach \"1D \""},
      {"1D 00BC614E", "kein Code: Prüfwert fehlt"},
      {"1D 00BC614E ", "kein Code: Prüfwert fehlt"},
      {"1D 00BC614E 2 ", "kein Code: unerwartetes Zeichen an Stelle 14"},
      {"1D 00BC614E  2", "kein Code: unerwartetes Zeichen an Stelle 13"},
      {"1D 00BC614E\t2", "kein Code: beginnt nicht mit \"1D \""},  // the code "2" after a tab
      {"1D 00BC614G 2", "kein Code: unerwartetes Zeichen an Stelle 11"},
      {"1D 00BC614E 2" + std::string(60, ' '), "kein Code: Zeile zu lang"},
  };
  for (const VerifyCase& c : cases) {
    ProcessResult run = RunCardcode({"--verify", c.code});
    EXPECT_EQ(run.out, c.verdict + "\n") << "code [" << c.code << "]";
    bool valid = c.verdict.size() > 3 && c.verdict.compare(c.verdict.size() - 3, 3, " OK") == 0;
    EXPECT_EQ(run.exitCode, valid ? 0 : 1) << "code [" << c.code << "]";
  }
}

TEST(CardcodeVerify, LinesFilesAndTablesAreVerifiedLikeArguments) {
  std::string path = TemporaryPath("codes.txt");
  WriteFile(path, "1D 00000007 3\r\n1D 00000007 4");
  ProcessResult run = RunCardcode({"--verify", "--tsv", "-f", path, "-", "1D 00000001 9"}, "\n1D 00000002 8\n");
  EXPECT_EQ(run.out,
            "1D 00000007 3\t7 OK\n"
            "1D 00000007 4\tPrüfwert 4 falsch, richtig wäre 3\n"
            "\tkein Code: leere Zeile\n"
            "1D 00000002 8\t2 OK\n"
            "1D 00000001 9\t1 OK\n");
  EXPECT_EQ(run.exitCode, 1) << "one code did not verify";
  run = RunCardcode({"--verify"}, "1D 00000007 3\n1D 00000002 8\n");
  EXPECT_EQ(run.out, "7 OK\n2 OK\n");
  EXPECT_EQ(run.exitCode, 0);
}

uint64_t NextRandom(uint64_t* state) {
  *state = *state * 6364136223846793005ull + 1442695040888963407ull;
  uint64_t x = *state;
  x ^= x >> 29;
  x *= 0xBF58476D1CE4E5B9ull;
  return x ^ (x >> 32);
}

std::vector<int64_t> NumbersAcrossTheRange() {
  std::vector<int64_t> numbers = {0, 1, -1, 9, 10, 11, -9, -10, -11, INT64_MAX, INT64_MIN, INT64_MAX - 1,
                                  INT64_MIN + 1, 4294967295ll, 4294967296ll, -4294967296ll};
  for (int bit = 0; bit < 64; bit++) {
    uint64_t power = 1ull << bit;
    for (int64_t delta = -1; delta <= 1; delta++) {
      numbers.push_back((int64_t)(power + (uint64_t)delta));
      numbers.push_back((int64_t)(0 - power + (uint64_t)delta));
    }
  }
  uint64_t state = 12345;
  for (int i = 0; i < 200000; i++) {
    uint64_t value = NextRandom(&state);
    // Every magnitude, not just the huge values a uniform draw gives.
    numbers.push_back((int64_t)(value >> (NextRandom(&state) % 64)));
    if (i % 2) numbers.back() = -numbers.back();
  }
  return numbers;
}

// The round trip: number -> cardcode -> --verify -> the same number.
TEST(CardcodeVerify, EveryPrintedCodeVerifiesToItsNumber) {
  std::vector<int64_t> numbers = NumbersAcrossTheRange();
  std::string input;
  std::string expectedCodes;
  for (int64_t n : numbers) {
    input += std::to_string(n) + "\n";
    expectedCodes += ModelCode(n) + "\n";
  }
  ProcessResult codes = RunCardcode({}, input);
  ASSERT_EQ(codes.exitCode, 0);
  ASSERT_TRUE(codes.out == expectedCodes) << "cardcode's codes differ from the model of the format";
  ProcessResult verdicts = RunCardcode({"--verify"}, codes.out);
  EXPECT_EQ(verdicts.exitCode, 0);
  size_t at = 0;
  for (int64_t n : numbers) {
    size_t end = verdicts.out.find('\n', at);
    ASSERT_NE(end, std::string::npos);
    ASSERT_EQ(verdicts.out.substr(at, end - at), std::to_string(n) + " OK") << "code " << ModelCode(n);
    at = end + 1;
  }
}

// The model's answer: is this text the code of the number its hex spells?
bool ModelIsCode(const std::string& text, int64_t* number) {
  if (text.compare(0, 3, "1D ") != 0) return false;
  size_t blank = text.find(' ', 3);
  if (blank == std::string::npos || blank == 3 || blank > 19) return false;
  uint64_t value = 0;
  for (size_t i = 3; i < blank; i++) {
    char c = text[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    value = value * 16 + (uint64_t)(c <= '9' ? c - '0' : c - 'A' + 10);
  }
  *number = (int64_t)value;
  return ModelCode(*number) == text;
}

// Altered codes: every one-character change, deletion and insertion. The
// format's check value is weak (a hex digit changed by 5 can keep it), so an
// alteration may spell another number's genuine code; those, and only
// those, verify, to that number.
TEST(CardcodeVerify, AlteredCodesVerifyOnlyWhenTheyAreAnotherNumbersCode) {
  // No tab: a line with one is an "input<TAB>code" pair, tested on its own.
  const std::string replacements = "0159AFafG -";
  std::vector<std::string> altered;
  uint64_t state = 99;
  std::vector<int64_t> numbers = {0, 12345678, -15, INT64_MIN, INT64_MAX, 4294967295ll, 4294967296ll};
  for (int i = 0; i < 40; i++) numbers.push_back((int64_t)(NextRandom(&state) >> (i % 64)));
  for (int64_t n : numbers) {
    std::string code = ModelCode(n);
    for (size_t at = 0; at <= code.size(); at++) {
      if (at < code.size()) altered.push_back(code.substr(0, at) + code.substr(at + 1));
      for (char c : replacements) {
        if (at < code.size() && code[at] != c) altered.push_back(code.substr(0, at) + c + code.substr(at + 1));
        altered.push_back(code.substr(0, at) + c + code.substr(at));
      }
    }
  }
  std::string input;
  for (const std::string& text : altered) input += text + "\n";
  ProcessResult run = RunCardcode({"--verify"}, input);
  EXPECT_EQ(run.exitCode, 1);
  size_t at = 0;
  int accepted = 0;
  for (const std::string& text : altered) {
    size_t end = run.out.find('\n', at);
    ASSERT_NE(end, std::string::npos);
    std::string verdict = run.out.substr(at, end - at);
    at = end + 1;
    int64_t number = 0;
    if (ModelIsCode(text, &number)) {
      accepted++;
      EXPECT_EQ(verdict, std::to_string(number) + " OK") << "[" << text << "] is a genuine code";
    } else {
      EXPECT_TRUE(verdict.size() < 3 || verdict.compare(verdict.size() - 3, 3, " OK") != 0)
          << "[" << text << "] accepted as " << verdict;
    }
  }
  // Of the one-character changes of a hex digit, those by 5, 10 or 15 keep
  // the check value; everything else must be refused.
  EXPECT_LT(accepted, (int)altered.size() / 5) << "most alterations are refused";
}

}  // namespace
