#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>

#include "net/socket_library.h"

namespace ws {
namespace {

TEST(SocketLibrary, WritingToAClosedPeerDoesNotEndTheProcess) {
  // The test binary has started the library already (net/test_server.h): back to the default.
  std::signal(SIGPIPE, SIG_DFL);
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
