// Runs the cardcode program under test as a child process, its standard
// input fed from a string, a generator or a file, its output and errors
// captured. The program's path is the test program's first argument.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

extern const char* cardcodePath;

struct ProcessSpec {
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

ProcessResult RunCardcode(const ProcessSpec& spec);
ProcessResult RunCardcode(std::vector<std::string> args, std::string input = std::string());

// The code the window shows for the number n, from an independent model of
// the format.
std::string ModelCode(int64_t n);
// A fresh file name in the test's temporary folder.
std::string TemporaryPath(const char* name);
void WriteFile(const std::string& path, const std::string& content);
