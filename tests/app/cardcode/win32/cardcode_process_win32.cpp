// The child-process runner on Windows, for the tables that check
// cardcode.exe (under Wine in the cross build). Standard input comes from a
// file and the output goes to files: no pipe to service while the child
// runs. See cardcode_process.h.
#include "cardcode_process.h"

#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

using support::WideText;

const char* cardcodePath = nullptr;

static HANDLE Inheritable(const std::wstring& path, bool write) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

ProcessResult RunCardcode(const ProcessSetup& setup) {
  ProcessResult result;
  static int runs = 0;
  std::string stem = TemporaryPath("run") + std::to_string(++runs);
  std::wstring inPath = WideText(stem + ".in"), outPath = WideText(stem + ".out"), errPath = WideText(stem + ".err");
  WriteFile(stem + ".in", setup.input);
  HANDLE in = Inheritable(inPath, false), out = INVALID_HANDLE_VALUE, err = Inheritable(errPath, true);
  if (setup.closeOutputAfter) {
    // A reader that has gone away: a pipe whose reading end is closed
    // before the child writes anything.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE reading = INVALID_HANDLE_VALUE;
    if (!CreatePipe(&reading, &out, &inherit, 0)) ADD_FAILURE() << "CreatePipe: error " << GetLastError();
    CloseHandle(reading);
  } else {
    out = Inheritable(outPath, true);
  }
  support::ChildStreams streams;
  streams.input = in;
  streams.output = out;
  streams.errors = err;
  support::ChildProcess child;
  if (!support::ChildStart(&child, cardcodePath, setup.args, streams)) {
    ADD_FAILURE() << "cannot start " << cardcodePath << ": error " << child.startError;
  } else {
    result.exitCode = support::ChildAwaitExit(&child, 120000, "the end of cardcode").code;
  }
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  result.out = FileContent(stem + ".out");
  result.err = FileContent(stem + ".err");
  result.outBytes = result.out.size();
  DeleteFileW(inPath.c_str());
  DeleteFileW(outPath.c_str());
  DeleteFileW(errPath.c_str());
  return result;
}

std::string PlatformLines(const std::string& text) {
  std::string lines;
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  return lines;
}

static std::string folder;

std::string TemporaryPath(const char* name) {
  if (folder.empty()) {
    wchar_t temporary[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    char narrow[4 * MAX_PATH];
    WideCharToMultiByte(CP_UTF8, 0, temporary, -1, narrow, sizeof narrow, nullptr, nullptr);
    for (int attempt = 0; folder.empty(); attempt++) {
      std::string candidate = std::string(narrow) + "cardcode_tests_" + std::to_string(GetCurrentProcessId()) + "_" +
                              std::to_string(attempt);
      if (CreateDirectoryW(WideText(candidate).c_str(), nullptr)) folder = candidate;
    }
    for (char& c : folder) {
      if (c == '\\') c = '/';
    }
  }
  return folder + "/" + name;
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    fprintf(stderr, "usage: cardcode_tests PATH-OF-CARDCODE.EXE\n");
    return 2;
  }
  // CTest hands over a Linux path when the tests run under Wine; drive Z:
  // is the root there.
  static std::string path = argv[1];
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  cardcodePath = path.c_str();
  int status = RUN_ALL_TESTS();
  if (!folder.empty()) std::filesystem::remove_all(std::filesystem::u8path(folder));
  return status;
}
