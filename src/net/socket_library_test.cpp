#include "net/socket_library.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

namespace ws {
namespace {

TEST(SocketLibrary, FailedStartPrintsTheMessageAndGivesExitStatusOne) {
  std::ostringstream console;
  EXPECT_EQ(startSocketLibraryOrReport(console, [] { return false; }), 1);
  EXPECT_EQ(console.str(), "Error: WSAStartup failed\r\n");
}

TEST(SocketLibrary, SuccessfulStartIsSilent) {
  std::ostringstream console;
  EXPECT_EQ(startSocketLibraryOrReport(console, [] { return true; }), 0);
  EXPECT_EQ(console.str(), "");
}

TEST(SocketLibrary, WritingToAClosedPeerDoesNotEndTheProcess) {
  ASSERT_EQ(startSocketLibraryOrReport(std::cerr), 0);
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  close(pair[1]);
  // Without start-up this write would raise SIGPIPE and end the test binary.
  EXPECT_EQ(write(pair[0], "x", 1), -1);
  EXPECT_EQ(errno, EPIPE);
  close(pair[0]);
  stopSocketLibrary();
}

}  // namespace
}  // namespace ws
