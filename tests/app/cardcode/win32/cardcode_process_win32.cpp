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

const char* cardcodePath = nullptr;

static std::wstring Wide(const std::string& text) {
  int count = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
  std::wstring wide((size_t)count, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &wide[0], count);
  return wide;
}

// One argument as the C runtime's command-line split will give it back:
// quoted when needed, backslashes doubled only before a quote.
static void ArgumentAppend(std::wstring* line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
    *line += argument;
    return;
  }
  *line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      backslashes++;
      continue;
    }
    line->append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    *line += c;
  }
  line->append(2 * backslashes, L'\\');
  *line += L'"';
}

static std::string Contents(const std::wstring& path) {
  std::string text;
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return text;
  char block[65536];
  size_t got;
  while ((got = fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
  fclose(file);
  return text;
}

static HANDLE Inheritable(const std::wstring& path, bool write) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileW(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                     write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

ProcessResult RunCardcode(const ProcessSetup& setup) {
  ProcessResult result;
  static int runs = 0;
  std::string stem = TemporaryPath("run") + std::to_string(++runs);
  std::wstring inPath = Wide(stem + ".in"), outPath = Wide(stem + ".out"), errPath = Wide(stem + ".err");
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
  std::wstring line;
  ArgumentAppend(&line, Wide(cardcodePath));
  for (const std::string& arg : setup.args) {
    line += L' ';
    ArgumentAppend(&line, Wide(arg));
  }
  STARTUPINFOW start;
  ZeroMemory(&start, sizeof start);
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = in;
  start.hStdOutput = out;
  start.hStdError = err;
  PROCESS_INFORMATION process;
  std::wstring program = Wide(cardcodePath);
  // Under Wine on a loaded machine a start now and then fails with an
  // internal error; a second attempt succeeds.
  BOOL started = FALSE;
  DWORD error = 0;
  for (int attempt = 0; attempt < 3 && !started; attempt++) {
    started = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process);
    if (!started) error = GetLastError();
    if (!started && error != ERROR_INTERNAL_ERROR) break;
  }
  if (!started) {
    ADD_FAILURE() << "cannot start " << cardcodePath << ": error " << error;
  } else {
    if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "cardcode did not finish within 120 s";
      TerminateProcess(process.hProcess, 99);
      WaitForSingleObject(process.hProcess, INFINITE);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    result.exitCode = (int)code;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  result.out = Contents(outPath);
  result.err = Contents(errPath);
  result.outBytes = result.out.size();
  DeleteFileW(inPath.c_str());
  DeleteFileW(outPath.c_str());
  DeleteFileW(errPath.c_str());
  return result;
}

std::string ModelCode(int64_t n) {
  char text[64];
  snprintf(text, sizeof text, "1D %08llX %lld", (unsigned long long)n, (long long)(10 - n % 10));
  return text;
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
      if (CreateDirectoryW(Wide(candidate).c_str(), nullptr)) folder = candidate;
    }
    for (char& c : folder) {
      if (c == '\\') c = '/';
    }
  }
  return folder + "/" + name;
}

void WriteFile(const std::string& path, const std::string& content) {
  FILE* file = _wfopen(Wide(path).c_str(), L"wb");
  ASSERT_TRUE(file) << path;
  fwrite(content.data(), 1, content.size(), file);
  fclose(file);
}

static void FolderRemove(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((path + L"/*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") DeleteFileW((path + L"/" + name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
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
  if (!folder.empty()) FolderRemove(Wide(folder));
  return status;
}
