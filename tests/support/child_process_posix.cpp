// The POSIX half of the child-process helper. See child_process.h.
#include "support/child_process.h"

#include <errno.h>
#include <signal.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace support {

namespace {

double NowMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

ChildExit Collected(int status, const rusage& usage) {
  ChildExit exit = {};
  exit.ended = true;
  exit.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  exit.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  exit.maxResidentKb = usage.ru_maxrss;
  return exit;
}

}  // namespace

bool ChildStart(ChildProcess* child, const std::string& program, const std::vector<std::string>& args,
                const ChildStreams& streams) {
  *child = ChildProcess();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid < 0) {
    child->startError = errno;
    return false;
  }
  if (pid == 0) {
    if (streams.input >= 0) dup2(streams.input, 0);
    if (streams.output >= 0) dup2(streams.output, 1);
    if (streams.errors >= 0) dup2(streams.errors, 2);
    for (int fd = 3; fd < 256; fd++) close(fd);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  child->pid = pid;
  return true;
}

ChildExit ChildAwaitExit(ChildProcess* child, unsigned timeoutMs, const std::string& awaited,
                         const std::function<void()>& meanwhile) {
  ChildExit exit = {};
  exit.code = -1;
  if (child->pid <= 0) {
    ADD_FAILURE() << "awaited " << awaited << ", but no program was started";
    return exit;
  }
  double deadline = NowMs() + timeoutMs;
  // Short pauses first: most children end within milliseconds.
  long pauseNs = 100 * 1000;
  int status = 0;
  rusage usage;
  for (;;) {
    memset(&usage, 0, sizeof usage);
    pid_t ended = wait4(child->pid, &status, WNOHANG, &usage);
    if (ended == child->pid) {
      child->pid = 0;
      return Collected(status, usage);
    }
    if (ended < 0 || NowMs() >= deadline) break;
    if (meanwhile) {
      meanwhile();
    } else {
      timespec pause = {0, pauseNs};
      nanosleep(&pause, nullptr);
      if (pauseNs < 10 * 1000 * 1000) pauseNs *= 2;
    }
  }
  ADD_FAILURE() << "awaited " << awaited << " within " << timeoutMs << " ms; ended it";
  ChildEnd(child);
  return exit;
}

void ChildEnd(ChildProcess* child) {
  if (child->pid <= 0) return;
  kill(child->pid, SIGKILL);
  int status = 0;
  waitpid(child->pid, &status, 0);
  child->pid = 0;
}

}  // namespace support
