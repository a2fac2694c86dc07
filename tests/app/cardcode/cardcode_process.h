// Runs the cardcode program under test as a child process, its standard
// input fed from a string, a generator or a file, its output and errors
// captured. The program's path is the test program's first argument.
//
// The runner exists for POSIX (cardcode_process.cpp, every field of
// ProcessSetup) and for Windows (win32/: args, input, and closeOutputAfter,
// where the pipe is closed before anything is read), so that the
// tables of cardcode_table_test.cpp check the native program and
// cardcode.exe alike.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "support/card_code_model.h"
#include "support/child_process.h"

extern const char* cardcodePath;

struct ProcessSetup {
  std::vector<std::string> args;
  std::string input;                               // standard input, through a pipe
  std::function<size_t(char*, size_t)> generate;   // or generated: fills up to size bytes, 0 at the end
  std::string inputPath;                           // or this file as standard input
  std::string outputPath;                          // standard output into this file instead of a pipe
  size_t closeOutputAfter = 0;                     // >0: stop reading and close the pipe after this many bytes
  bool keepOutputTail = false;                     // keep only the last 4 KiB of the output (huge outputs)
};

struct ProcessResult {
  std::string out;        // standard output (or its tail)
  std::string err;        // standard error
  uint64_t outBytes = 0;  // all bytes of standard output
  int exitCode = -1;      // -1 when ended by a signal
  int signal = 0;
  long maxResidentKb = 0; // peak resident memory of the child
};

ProcessResult RunCardcode(const ProcessSetup& setup);
// The usual case: arguments, and text on a pipe to standard input.
inline ProcessResult RunCardcode(std::vector<std::string> args, std::string input = std::string()) {
  ProcessSetup setup;
  setup.args = std::move(args);
  setup.input = std::move(input);
  return RunCardcode(setup);
}

// text with each "\n" as the program under test ends its lines ("\r\n" on
// Windows).
std::string PlatformLines(const std::string& text);
// A fresh file name in the test's temporary folder.
std::string TemporaryPath(const char* name);
// Files named in UTF-8, on Windows too.
inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream file(std::filesystem::u8path(path), std::ios::binary);
  EXPECT_TRUE(file.write(content.data(), (std::streamsize)content.size()) && file.flush()) << path;
}
// The content of a file; empty when there is none.
inline std::string FileContent(const std::string& path) {
  std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// cardcode with a pseudo-terminal as standard input and, when
// outputToTerminal, as standard output too (else a pipe); standard error is
// a pipe. raw: bytes reach cardcode as typed, else line by line as from a
// keyboard or card reader (canonical mode). Echo is off.
struct TerminalChild {
  support::ChildProcess process = {};
  int master = -1;   // the keyboard side: write to type, read the terminal's output
  int slave = -1;    // kept open here too, so that hang-ups are the master's doing
  int output = -1;   // standard output pipe, when not the terminal
  int errors = -1;   // standard error pipe
};
// A pseudo-terminal pair with echo off (see StartOnTerminal for raw).
bool TerminalOpen(bool raw, int* master, int* slave);
TerminalChild StartOnTerminal(const std::vector<std::string>& args, bool outputToTerminal, bool raw);
// Reads fd until the text read so far ends with `wanted` or `seconds` pass;
// returns what was read.
std::string ReadUntil(int fd, const std::string& wanted, double seconds);
// Closes the master (if still open) and the pipes, collects the rest of
// standard output and error, waits (bounded) for the child; the exit code,
// or -1.
int FinishOnTerminal(TerminalChild* child, std::string* out, std::string* err);
