// cardcode as a converter: arguments, lines of standard input and files
// give exactly the codes the window shows for the same field texts (the
// texts and their codes are tabled in card_code_test.cpp; here, how they
// reach cardcode).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/card_code.h"
#include "cardcode_process.h"
#include "core/string_buffer.h"

namespace {

struct ArgumentCase {
  std::vector<std::string> args;
  std::string expected;
  int warnings = 0;  // arguments that are no number text in full
};

TEST(CardcodeConversion, ArgumentsGiveOneCodePerArgumentInOrder) {
  const ArgumentCase cases[] = {
      {{"12345678"}, "1D 00BC614E 2\n"},
      {{"12345678", "0012345678", "", "abc"}, "1D 00BC614E 2\n1D 00BC614E 2\n1D 00000000 10\n1D 00000000 10\n", 1},
      // A negative number is no option.
      {{"-15", "-$FF", "-%101"}, "1D FFFFFFFFFFFFFFF1 15\n1D FFFFFFFFFFFFFF01 15\n1D FFFFFFFFFFFFFFFB 15\n"},
      // After "--" option-like texts are field texts too.
      {{"--", "--5", "-", "-f", "--help", "-x", "/f", "7"},
       "1D 00000000 10\n1D 00000000 10\n1D 00000000 10\n1D 00000000 10\n1D 00000000 10\n1D 00000000 10\n1D 00000007 3\n", 6},
      {{"9", "--", "-15"}, "1D 00000009 1\n1D FFFFFFFFFFFFFFF1 15\n"},
      {{"--tsv", "0012345678", "-15"}, "0012345678\t1D 00BC614E 2\n-15\t1D FFFFFFFFFFFFFFF1 15\n"},
      {{"5", "--tsv"}, "5\t1D 00000005 5\n"},
  };
  for (const ArgumentCase& c : cases) {
    ProcessResult run = RunCardcode(c.args);
    std::string shown;
    for (const std::string& arg : c.args) shown += "[" + arg + "] ";
    EXPECT_EQ(run.out, c.expected) << shown;
    EXPECT_EQ(run.exitCode, 0) << shown;
    EXPECT_EQ((int)std::count(run.err.begin(), run.err.end(), '\n'), c.warnings) << shown << run.err;
  }
}

struct StdinCase {
  const char* what;
  std::vector<std::string> args;
  std::string input;
  std::string expected;
};

TEST(CardcodeConversion, StandardInputGivesOneCodePerLine) {
  const std::string zero = "1D 00000000 10\n";
  const StdinCase cases[] = {
      {"one line", {}, "12345678\n", "1D 00BC614E 2\n"},
      {"no input, no output", {}, "", ""},
      {"an empty line is the number 0", {}, "\n", zero},
      {"two empty lines", {}, "\n\n", zero + zero},
      {"a final line without newline counts", {}, "1\n2", "1D 00000001 9\n1D 00000002 8\n"},
      {"a zero byte ends the field text", {}, std::string("12\0" "34\n", 6), "1D 0000000C 8\n"},
      {"tsv keeps leading zeros", {"--tsv"}, "0012\n", "0012\t1D 0000000C 8\n"},
      {"tsv of an empty line", {"--tsv"}, "\n", "\t" + zero},
      {"a lone CR at the end ends the line", {"--tsv"}, "5\r", "5\t1D 00000005 5\n"},
  };
  for (const StdinCase& c : cases) {
    ProcessResult run = RunCardcode(c.args, c.input);
    EXPECT_EQ(run.out, c.expected) << c.what;
    EXPECT_EQ(run.exitCode, 0) << c.what;
  }
}

// Every line's code equals CardCode of the line as a field text: the
// block-fed parse must agree with the window's parse on every kind of text.
TEST(CardcodeConversion, LineCodesEqualTheWindowsCodeOfTheSameText) {
  std::vector<std::string> texts = {
      "", " ", "\t", "-", "+", "$", "%", "-$", "+%", "$-FF", "--5", "+-5", "- 5", "0x1F", "$Ag", "%2",
      "  \t-42", "12 34", "9223372036854775807", "9223372036854775808", "-9223372036854775808",
      "18446744073709551615", "18446744073709551616", "$FFFFFFFFFFFFFFFF", "$10000000000000000",
      "%1111111111111111111111111111111111111111111111111111111111111111", "-%101", "\xff" "12", "12\xff"};
  const char alphabet[] = " \t+-$%0123456789abcdefABCDEFxz\x80";
  uint64_t seed = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 3000; i++) {
    std::string text;
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    int length = (int)(seed >> 59);
    for (int k = 0; k < length; k++) {
      seed = seed * 6364136223846793005ull + 1442695040888963407ull;
      text += alphabet[(seed >> 33) % (sizeof alphabet - 1)];
    }
    texts.push_back(text);
  }
  std::string input;
  for (const std::string& text : texts) input += text + "\n";
  ProcessResult run = RunCardcode({}, input);
  ASSERT_EQ(run.exitCode, 0);

  StringBufferStart();
  TempStringBuffer* buffer = StringBuffer();
  size_t at = 0;
  for (const std::string& text : texts) {
    size_t end = run.out.find('\n', at);
    ASSERT_NE(end, std::string::npos) << "no line for [" << text << "]";
    int64_t saved = buffer->writePosition;
    std::string window = CardCode(text.c_str(), (int32_t)saved);
    buffer->writePosition = saved;
    EXPECT_EQ(run.out.substr(at, end - at), window) << "field text [" << text << "]";
    at = end + 1;
  }
  EXPECT_EQ(at, run.out.size());
}

// Reading a file goes in 64 KiB blocks: a line end, a "\r\n" or a number
// cut by a block's end must come out as if the line were read whole.
TEST(CardcodeConversion, LinesCutByTheReadBlocksAreWhole) {
  const size_t block = 1 << 16;
  for (size_t cut = block - 3; cut <= block + 2; cut++) {
    std::string first = "7" + std::string(cut - 1, 'x');
    std::string content = first + "\r\n" + std::string(block - 5, ' ') + "123456789\r\n4";
    std::string path = TemporaryPath("blocks.txt");
    WriteFile(path, content);
    ProcessResult run = RunCardcode({"--tsv", "-f", path});
    std::string expected = first + "\t" + ModelCode(7) + "\n" + std::string(block - 5, ' ') + "123456789\t" +
                           ModelCode(123456789) + "\n4\t" + ModelCode(4) + "\n";
    EXPECT_TRUE(run.out == expected) << "line end at byte " << cut << "; output of " << run.out.size()
                                     << " bytes, expected " << expected.size();
  }
}

// Generates `length` bytes of `fill` after `head`, then `tail`.
struct LongLine {
  std::string head;
  char fill;
  uint64_t length;
  std::string tail;
  uint64_t made = 0;
  size_t operator()(char* bytes, size_t size) {
    uint64_t total = head.size() + length + tail.size();
    size_t count = 0;
    for (; count < size && made < total; count++, made++) {
      if (made < head.size()) bytes[count] = head[made];
      else if (made < head.size() + length) bytes[count] = fill;
      else bytes[count] = tail[made - head.size() - length];
      if (made >= head.size() && made + 1 < head.size() + length && size - count > 4096) {
        uint64_t run = head.size() + length - made - 1;
        size_t piece = (size_t)std::min<uint64_t>(run, size - count - 1);
        memset(bytes + count + 1, fill, piece);
        count += piece;
        made += piece;
      }
    }
    return count;
  }
};

// A line of hundreds of megabytes is streamed: its number is read as it
// arrives and nothing holds the line, so the memory stays small.
TEST(CardcodeConversion, HugeLinesStreamInBoundedMemory) {
  const uint64_t size = 256ull << 20;
  {
    ProcessSetup setup;
    setup.generate = LongLine{"  ", '0', size, "5\n7\n"};
    ProcessResult run = RunCardcode(setup);
    EXPECT_EQ(run.out, ModelCode(5) + "\n" + ModelCode(7) + "\n") << "leading zeros are digits";
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_LT(run.maxResidentKb, 16 * 1024) << "peak memory for a 256 MB line";
  }
  {
    ProcessSetup setup;
    setup.args = {"--tsv"};
    setup.generate = LongLine{"42", 'y', size, ""};
    setup.keepOutputTail = true;
    ProcessResult run = RunCardcode(setup);
    EXPECT_EQ(run.outBytes, 2 + size + 1 + ModelCode(42).size() + 1) << "the whole line is echoed";
    std::string end = "yyyyyy\t" + ModelCode(42) + "\n";
    EXPECT_EQ(run.out.substr(run.out.size() - end.size()), end);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_LT(run.maxResidentKb, 16 * 1024) << "peak memory echoing a 256 MB line";
  }
}

}  // namespace
