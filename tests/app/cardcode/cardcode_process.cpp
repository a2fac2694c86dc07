// Child-process runner for the cardcode tests. See cardcode_process.h.
#include "cardcode_process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

const char* cardcodePath = nullptr;

static double NowSeconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

ProcessResult RunCardcode(const ProcessSetup& setup) {
  ProcessResult result;
  int inPipe[2] = {-1, -1}, outPipe[2] = {-1, -1}, errPipe[2];
  bool pipedInput = setup.inputPath.empty();
  bool pipedOutput = setup.outputPath.empty();
  if (pipedInput && pipe(inPipe) != 0) ADD_FAILURE() << "pipe: " << strerror(errno);
  if (pipedOutput && pipe(outPipe) != 0) ADD_FAILURE() << "pipe: " << strerror(errno);
  if (pipe(errPipe) != 0) ADD_FAILURE() << "pipe: " << strerror(errno);
  support::ChildStreams streams;
  streams.input = pipedInput ? inPipe[0] : open(setup.inputPath.c_str(), O_RDONLY);
  streams.output = pipedOutput ? outPipe[1] : open(setup.outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  streams.errors = errPipe[1];
  support::ChildProcess child = {};
  if (streams.input < 0 || streams.output < 0) {
    ADD_FAILURE() << "cannot open " << (streams.input < 0 ? setup.inputPath : setup.outputPath);
  } else if (!support::ChildStart(&child, cardcodePath, setup.args, streams)) {
    ADD_FAILURE() << "cannot start " << cardcodePath << ": " << strerror(child.startError);
  }
  if (streams.input >= 0) close(streams.input);
  if (streams.output >= 0) close(streams.output);
  close(errPipe[1]);

  int inFd = pipedInput ? inPipe[1] : -1;
  int outFd = pipedOutput ? outPipe[0] : -1;
  int errFd = errPipe[0];
  if (inFd >= 0) fcntl(inFd, F_SETFL, O_NONBLOCK);

  std::string pending = setup.input;  // bytes still to write
  size_t pendingAt = 0;
  bool generatorDone = !setup.generate;
  std::vector<char> block(1 << 16);
  double deadline = NowSeconds() + 120;  // guards against a hang only
  while (inFd >= 0 || outFd >= 0 || errFd >= 0) {
    if (inFd >= 0 && pendingAt == pending.size()) {
      pending.clear();
      pendingAt = 0;
      if (!generatorDone) {
        size_t made = setup.generate(block.data(), block.size());
        if (made == 0) generatorDone = true;
        pending.assign(block.data(), made);
      }
      if (pending.empty()) {
        close(inFd);
        inFd = -1;
      }
    }
    pollfd fds[3];
    int count = 0;
    if (inFd >= 0) fds[count++] = {inFd, POLLOUT, 0};
    if (outFd >= 0) fds[count++] = {outFd, POLLIN, 0};
    if (errFd >= 0) fds[count++] = {errFd, POLLIN, 0};
    if (NowSeconds() > deadline) {
      ADD_FAILURE() << "awaited the end of cardcode's output within 120 s; ended it";
      support::ChildEnd(&child);
      break;
    }
    if (poll(fds, count, 1000) <= 0) continue;
    for (int i = 0; i < count; i++) {
      if (!fds[i].revents) continue;
      int fd = fds[i].fd;
      if (fd == inFd) {
        ssize_t wrote = write(inFd, pending.data() + pendingAt, pending.size() - pendingAt);
        if (wrote > 0) {
          pendingAt += (size_t)wrote;
        } else if (wrote < 0 && errno != EAGAIN) {
          close(inFd);  // the child stopped reading
          inFd = -1;
        }
        continue;
      }
      ssize_t got = read(fd, block.data(), block.size());
      if (got <= 0) {
        close(fd);
        if (fd == outFd) outFd = -1;
        if (fd == errFd) errFd = -1;
        continue;
      }
      if (fd == errFd) {
        result.err.append(block.data(), (size_t)got);
        continue;
      }
      result.outBytes += (uint64_t)got;
      result.out.append(block.data(), (size_t)got);
      if (setup.keepOutputTail && result.out.size() > 8192) result.out.erase(0, result.out.size() - 4096);
      if (setup.closeOutputAfter && result.outBytes >= setup.closeOutputAfter) {
        close(outFd);
        outFd = -1;
      }
    }
  }
  for (int fd : {inFd, outFd, errFd}) {
    if (fd >= 0) close(fd);
  }
  if (child.pid) {
    support::ChildExit exit = support::ChildAwaitExit(&child, 120000, "the end of cardcode after its output");
    result.maxResidentKb = exit.maxResidentKb;
    result.exitCode = exit.code;
    result.signal = exit.signal;
  }
  return result;
}

std::string PlatformLines(const std::string& text) { return text; }

static std::string folder;

std::string TemporaryPath(const char* name) {
  if (folder.empty()) {
    char pattern[] = "/tmp/cardcode_tests_XXXXXX";
    folder = mkdtemp(pattern);
  }
  return folder + "/" + name;
}

bool TerminalOpen(bool raw, int* master, int* slave) {
  *master = posix_openpt(O_RDWR | O_NOCTTY);
  if (*master < 0 || grantpt(*master) != 0 || unlockpt(*master) != 0) {
    ADD_FAILURE() << "no pseudo-terminal: " << strerror(errno);
    return false;
  }
  *slave = open(ptsname(*master), O_RDWR | O_NOCTTY);
  termios mode;
  tcgetattr(*slave, &mode);
  if (raw) {
    cfmakeraw(&mode);
  } else {
    mode.c_lflag &= ~(tcflag_t)(ECHO | ECHONL);
    mode.c_oflag &= ~(tcflag_t)OPOST;
  }
  tcsetattr(*slave, TCSANOW, &mode);
  return *slave >= 0;
}

TerminalChild StartOnTerminal(const std::vector<std::string>& args, bool outputToTerminal, bool raw) {
  TerminalChild child;
  if (!TerminalOpen(raw, &child.master, &child.slave)) return child;
  int output[2] = {-1, -1}, errors[2];
  if (!outputToTerminal && pipe(output) != 0) ADD_FAILURE() << "pipe";
  if (pipe(errors) != 0) ADD_FAILURE() << "pipe";
  support::ChildStreams streams;
  streams.input = child.slave;
  streams.output = outputToTerminal ? child.slave : output[1];
  streams.errors = errors[1];
  if (!support::ChildStart(&child.process, cardcodePath, args, streams))
    ADD_FAILURE() << "cannot start " << cardcodePath << ": " << strerror(child.process.startError);
  if (!outputToTerminal) {
    close(output[1]);
    child.output = output[0];
  }
  close(errors[1]);
  child.errors = errors[0];
  return child;
}

std::string ReadUntil(int fd, const std::string& wanted, double seconds) {
  std::string text;
  double deadline = NowSeconds() + seconds;
  while (NowSeconds() < deadline) {
    if (text.size() >= wanted.size() && text.compare(text.size() - wanted.size(), wanted.size(), wanted) == 0) break;
    pollfd ready = {fd, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    char block[4096];
    ssize_t got = read(fd, block, sizeof block);
    if (got <= 0) break;
    text.append(block, (size_t)got);
  }
  return text;
}

static std::string ReadAll(int fd) {
  std::string text;
  char block[4096];
  ssize_t got;
  while ((got = read(fd, block, sizeof block)) > 0) text.append(block, (size_t)got);
  return text;
}

int FinishOnTerminal(TerminalChild* child, std::string* out, std::string* err) {
  // The end of input typed last must be read before the terminal goes away,
  // else the hang-up could be what ends cardcode.
  support::ChildExit exit =
      support::ChildAwaitExit(&child->process, 10000, "the end of cardcode after the end of its input");
  if (child->master >= 0) close(child->master);
  child->master = -1;
  if (child->output >= 0) *out += ReadAll(child->output);
  *err += ReadAll(child->errors);
  close(child->slave);
  if (child->output >= 0) close(child->output);
  close(child->errors);
  return exit.code;
}

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    fprintf(stderr, "usage: cardcode_tests PATH-OF-CARDCODE\n");
    return 2;
  }
  cardcodePath = argv[1];
  // A test that closes the output pipe early must not die of SIGPIPE itself.
  signal(SIGPIPE, SIG_IGN);
  int status = RUN_ALL_TESTS();
  if (!folder.empty()) std::filesystem::remove_all(folder);
  return status;
}
