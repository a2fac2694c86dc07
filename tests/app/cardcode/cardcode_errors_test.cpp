// cardcode's failures: usage errors, failed reads and failed writes
// each give one line on standard error, a failure exit code, and never a
// partial result line.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cardcode_process.h"

namespace {

TEST(CardcodeErrors, AnUnreadableFileIsReportedAndTheOtherInputsGoOn) {
  std::string missing = TemporaryPath("missing.txt");
  ProcessResult run = RunCardcode({"1", "-f", missing, "2"});
  EXPECT_EQ(run.out, ModelCode(1) + "\n" + ModelCode(2) + "\n");
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.err, "cardcode: \"" + missing + "\" kann nicht geöffnet werden: Datei oder Ordner nicht gefunden\n");

  // With -o the old file stays as it was, and nothing is left beside it.
  std::string kept = TemporaryPath("kept.txt");
  WriteFile(kept, "alt\n");
  run = RunCardcode({"5", "-f", missing, "-o", kept});
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(FileContent(kept), "alt\n");
  for (const auto& entry : std::filesystem::directory_iterator(TemporaryPath("")))
    EXPECT_EQ(entry.path().filename().string().find("kept.txt."), std::string::npos) << entry.path();
}

TEST(CardcodeErrors, AFullDiskIsAWriteFailure) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"1"}, std::vector<std::string>{"-"}}) {
    ProcessSetup setup;
    setup.args = args;
    setup.outputPath = "/dev/full";
    for (int i = 0; i < 100000; i++) setup.input += "123456\n";
    ProcessResult run = RunCardcode(setup);
    EXPECT_EQ(run.exitCode, 3) << args[0];
    EXPECT_EQ(run.err, "cardcode: Schreibfehler in der Ausgabe: Nicht genügend Speicherplatz auf dem Datenträger\n");
  }
}

// A connection reset by the peer makes the next read fail: the line sent so
// far must not appear half converted, the lines before it and the inputs
// after it must.
TEST(CardcodeErrors, AReadFailureInsideALineWithdrawsThatLine) {
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address;
  memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(bind(listener, (sockaddr*)&address, sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  ASSERT_EQ(getsockname(listener, (sockaddr*)&address, &size), 0);
  int sender = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(connect(sender, (sockaddr*)&address, sizeof address), 0);
  int receiver = accept(listener, nullptr, nullptr);
  ASSERT_GE(receiver, 0);
  close(listener);

  // Standard output is a terminal, so each result line shows at once and
  // tells that cardcode has read what came before it.
  int master, slave;
  ASSERT_TRUE(TerminalOpen(true, &master, &slave));
  int errors[2];
  ASSERT_EQ(pipe(errors), 0);
  support::ChildStreams streams;
  streams.input = receiver;
  streams.output = slave;
  streams.errors = errors[1];
  support::ChildProcess child;
  ASSERT_TRUE(support::ChildStart(&child, cardcodePath, {"--tsv", "-", "7"}, streams));
  close(receiver);
  close(errors[1]);
  const char sent[] = "5\n12";
  ASSERT_EQ(write(sender, sent, sizeof sent - 1), (ssize_t)(sizeof sent - 1));
  std::string shown = ReadUntil(master, ModelCode(5) + "\n", 10);
  EXPECT_EQ(shown, "5\t" + ModelCode(5) + "\n") << "the first line's result within 10 s";
  linger reset = {1, 0};
  setsockopt(sender, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  close(sender);

  support::ChildExit exit = support::ChildAwaitExit(&child, 10000, "the end of cardcode after the reset");
  std::string err;
  char block[4096];
  ssize_t got;
  while ((got = read(errors[0], block, sizeof block)) > 0) err.append(block, (size_t)got);
  // Whatever else reached the terminal after the first line.
  std::string rest;
  pollfd ready = {master, POLLIN, 0};
  while (poll(&ready, 1, 0) > 0 && (got = read(master, block, sizeof block)) > 0) rest.append(block, (size_t)got);
  close(errors[0]);
  close(slave);
  close(master);
  EXPECT_EQ(rest, "7\t" + ModelCode(7) + "\n") << "no part of the line \"12\", then the next input";
  EXPECT_EQ(exit.code, 3);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("Lesefehler"), std::string::npos) << err;
}

}  // namespace
